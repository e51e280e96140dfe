// SPDX-License-Identifier: GPL-3.0-or-later
// The cable doctor on fake systems: what it says about devices, permissions, busy ports, brltty
// and ModemManager, and the live test through the virtual radio.

#include "link/cable_doctor.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/simulated_clock.hpp"
#include "link/system_tree.hpp"
#include "link/virtual_radio.hpp"
#include "link/virtual_radio_link.hpp"

namespace kestra {
namespace {

using testing::SystemTree;
using testing::UsbSerialAdapter;

const std::string kById = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";

class CableDoctorTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.AddUsbSerial(UsbSerialAdapter{});
        env.root = tree.root();
        env.user.name = "alice";
        env.user.uid = tree.NodeUid() + 1;  // not the owner of the nodes
        primaryGid = tree.NodeGid() + 7;
        env.user.groups = {primaryGid, tree.NodeGid()};  // in dialout
        env.ownPid = 99;
        WriteGroups("bob");
        tree.Write("/etc/passwd",
                   "root:x:0:0:root:/root:/bin/bash\nalice:x:" + std::to_string(env.user.uid) +
                       ":" + std::to_string(primaryGid) + "::/home/alice:/bin/bash\n");
        port = {"COM1", "/dev/ttyUSB0", "", "choose another"};
    }
    void WriteGroups(const std::string& dialoutMembers) {
        tree.Write("/etc/group", "root:x:0:\ndialout:x:" + std::to_string(tree.NodeGid()) + ":" +
                                     dialoutMembers + "\nalice:x:" + std::to_string(primaryGid) +
                                     ":\n");
    }
    std::vector<Finding> Examine() const { return ExamineSystem(env, port); }

    // The findings of one level whose text holds every one of the parts.
    static std::vector<std::string> With(const std::vector<Finding>& findings, FindingLevel level,
                                         const std::vector<std::string>& parts) {
        std::vector<std::string> found;
        for (const Finding& finding : findings) {
            bool all = finding.level == level;
            for (const std::string& part : parts) {
                all = all && finding.text.find(part) != std::string::npos;
            }
            if (all) {
                found.push_back(finding.text);
            }
        }
        return found;
    }
    static std::string All(const std::vector<Finding>& findings) {
        std::string text;
        for (const Finding& finding : findings) {
            text += std::to_string(static_cast<int>(finding.level)) + " " + finding.text + "\n";
        }
        return text;
    }

    SystemTree tree;
    DoctorEnvironment env;
    unsigned primaryGid = 0;
    ChosenPort port;
};

TEST_F(CableDoctorTest, AWorkingCableIsDescribedAndHasNoProblem) {
    tree.AddConsole("tty0");
    tree.AddBuiltInPort("ttyS0", 0);  // no UART behind it
    tree.AddBuiltInPort("ttyS1", 4);  // a real 16550A
    tree.AddLayeredBuiltInPort("ttyS2");
    const auto findings = Examine();

    EXPECT_FALSE(HasProblem(findings)) << All(findings);
    EXPECT_EQ(
        With(findings, FindingLevel::Note,
             {"/dev/ttyUSB0", kById, "USB 1a86:7523 CH340", "\"USB Serial\"", "driver ch341-uart"})
            .size(),
        1u)
        << All(findings);
    EXPECT_EQ(With(findings, FindingLevel::Note, {"/dev/ttyS1", "driver serial8250"}).size(), 1u);
    EXPECT_EQ(With(findings, FindingLevel::Note, {"/dev/ttyS2: driver serial."}).size(), 1u)
        << All(findings);
    EXPECT_EQ(All(findings).find("ttyS0"), std::string::npos);
    EXPECT_EQ(All(findings).find("tty0"), std::string::npos);
    EXPECT_EQ(With(findings, FindingLevel::Good, {"You may open /dev/ttyUSB0", "dialout"}).size(),
              1u);
    EXPECT_EQ(All(findings).find("brltty"), std::string::npos);
}

TEST_F(CableDoctorTest, UserOutsideTheDevicesGroupIsToldHowToJoinIt) {
    env.user.groups = {primaryGid};
    auto findings = Examine();
    const auto denied = With(findings, FindingLevel::Problem,
                             {"may not open /dev/ttyUSB0", "group dialout",
                              "sudo usermod -aG dialout alice", "log out and in again"});
    EXPECT_EQ(denied.size(), 1u) << All(findings);
    EXPECT_TRUE(With(findings, FindingLevel::Good, {"You may open"}).empty());

    // Added to the group in the database, but this session started before that.
    WriteGroups("bob,alice");
    findings = Examine();
    EXPECT_EQ(With(findings, FindingLevel::Problem,
                   {"are in the group dialout", "session started before", "log out and in again"})
                  .size(),
              1u)
        << All(findings);
    EXPECT_EQ(All(findings).find("usermod"), std::string::npos);

    // A node that only its owner may open: no group to join.
    tree.Node("/dev/ttyUSB0", 0600);
    findings = Examine();
    EXPECT_EQ(With(findings, FindingLevel::Problem, {"rw-------", "udev"}).size(), 1u)
        << All(findings);

    // Root may open anything.
    env.user.uid = 0;
    env.user.groups = {};
    EXPECT_FALSE(HasProblem(Examine()));
}

TEST_F(CableDoctorTest, ProcessesHoldingThePortAreNamedButNotThisProgram) {
    tree.Process(4242, "minicom", {"/dev/null", "/dev/ttyUSB0"});
    tree.Process(99, "kestra-cli", {"/dev/ttyUSB0"});
    tree.Process(77, "bash", {"/dev/pts/1"});
    // Chosen by its by-id name, the port is still found open under its real name.
    port = {kById, kById, "", ""};
    const auto findings = Examine();
    EXPECT_EQ(
        With(findings, FindingLevel::Problem, {"open in another program", "minicom (pid 4242)"})
            .size(),
        1u)
        << All(findings);
    EXPECT_EQ(All(findings).find("pid 99"), std::string::npos);
    EXPECT_EQ(All(findings).find("bash"), std::string::npos);
}

TEST_F(CableDoctorTest, BrlttyIsBlamedOnlyForCh34xCables) {
    tree.Write("/usr/bin/brltty", "");
    // A second CH340 that brltty took: no serial device.
    tree.AddUsbDevice("1-3", 0x1a86, 0x7523, "USB Serial");
    // An FTDI cable without a driver is another matter.
    tree.AddUsbDevice("1-4", 0x0403, 0x6001, "FT232R USB UART");
    tree.AddUsbDevice("1-5", 0x046d, 0xc52b, "Unifying Receiver");  // not a serial adapter
    const auto findings = Examine();

    const auto taken =
        With(findings, FindingLevel::Problem,
             {"1a86:7523", "1-3", "no serial device", "brltty", "apt remove brltty"});
    EXPECT_EQ(taken.size(), 1u) << All(findings);
    EXPECT_EQ(With(findings, FindingLevel::Problem, {"0403:6001", "no driver took it"}).size(), 1u)
        << All(findings);
    EXPECT_EQ(With(findings, FindingLevel::Problem, {"0403:6001", "brltty"}).size(), 0u);
    EXPECT_EQ(All(findings).find("046d"), std::string::npos);
    // The CH340 that still has its device gets a warning, not a problem.
    EXPECT_EQ(With(findings, FindingLevel::Note, {"brltty", "disappears"}).size(), 1u);
}

TEST_F(CableDoctorTest, ModemManagerAndTheFtdiLatencyTimerAreNoted) {
    tree.AddUsbSerial({.name = "ttyUSB1",
                       .busPath = "1-6",
                       .vendor = 0x0403,
                       .product = 0x6001,
                       .productName = "FT232R USB UART",
                       .manufacturer = "FTDI",
                       .driver = "ftdi_sio",
                       .latencyTimerMs = 16,
                       .byId = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
    tree.Process(310, "ModemManager", {});
    auto findings = Examine();
    EXPECT_EQ(With(findings, FindingLevel::Note,
                   {"/dev/ttyUSB1", "FTDI FT232R", "by FTDI", "driver ftdi_sio", "16 ms"})
                  .size(),
              1u)
        << All(findings);
    EXPECT_EQ(With(findings, FindingLevel::Note, {"latency timer of /dev/ttyUSB1 is 16 ms"}).size(),
              1u);
    EXPECT_EQ(With(findings, FindingLevel::Note, {"ModemManager", "systemctl"}).size(), 1u);
    EXPECT_FALSE(HasProblem(findings));

    tree.Write("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6/1-6:1.0/ttyUSB1/latency_timer", "1");
    findings = Examine();
    EXPECT_TRUE(With(findings, FindingLevel::Note, {"latency timer of"}).empty());
}

TEST_F(CableDoctorTest, AMissingOrUnchosenPortPointsToTheDevicesThereAre) {
    port = {"COM2", "/dev/ttyUSB1", "", "test one with --port"};
    auto findings = Examine();
    EXPECT_EQ(With(findings, FindingLevel::Problem,
                   {"COM2 (/dev/ttyUSB1) does not exist", kById, "test one with --port"})
                  .size(),
              1u)
        << All(findings);
    EXPECT_TRUE(With(findings, FindingLevel::Good, {}).empty());

    port = {"", "", "Program.ini names COM0", "test one with --port"};
    findings = Examine();
    EXPECT_EQ(
        With(findings, FindingLevel::Problem, {"No port is chosen: Program.ini names COM0", kById})
            .size(),
        1u)
        << All(findings);
}

TEST_F(CableDoctorTest, WithoutAnyDeviceTheCableIsToBePluggedIn) {
    SystemTree empty;
    env.root = empty.root();
    auto findings = Examine();
    EXPECT_EQ(With(findings, FindingLevel::Problem, {"No serial device found"}).size(), 1u);
    EXPECT_EQ(With(findings, FindingLevel::Problem, {"does not exist", "Plug the cable in"}).size(),
              1u)
        << All(findings);

    // A pseudo-terminal chosen on purpose is tested; its server always holds it open.
    empty.Node("/dev/pts/3", 0620);
    empty.Process(500, "kestra-virtual-", {"/dev/pts/3"});
    port = {"/dev/pts/3", "/dev/pts/3", "", ""};
    env.user.uid = empty.NodeUid();
    findings = Examine();
    EXPECT_FALSE(HasProblem(findings)) << All(findings);
    EXPECT_EQ(With(findings, FindingLevel::Note, {"pseudo-terminal"}).size(), 1u);
}

TEST_F(CableDoctorTest, TheRadioIsTestedLiveOnlyWhenAPortIsChosen) {
    VirtualRadio radio;
    SimulatedClock clock;
    VirtualRadioLink link(radio, clock);

    DoctorReport report = RunCableDoctor(env, port, link, clock);
    EXPECT_TRUE(report.Healthy()) << All(report.findings);
    EXPECT_EQ(With(report.findings, FindingLevel::Good, {"Radio answered on /dev/ttyUSB0"}).size(),
              1u);
    EXPECT_EQ(report.findings.back().level, FindingLevel::Good);

    // A problem found in the system keeps the report from being healthy even when the radio
    // answers.
    env.user.groups = {primaryGid};
    report = RunCableDoctor(env, port, link, clock);
    EXPECT_TRUE(report.radioAnswered);
    EXPECT_FALSE(report.Healthy());

    radio.ClearLog();
    for (const ChosenPort& untestable :
         {ChosenPort{"", "", "none given", ""}, ChosenPort{"COM2", "/dev/ttyUSB1", "", ""}}) {
        report = RunCableDoctor(env, untestable, link, clock);
        EXPECT_FALSE(report.Healthy());
        EXPECT_FALSE(report.portOpened);
    }
    EXPECT_TRUE(radio.log().empty());
}

}  // namespace
}  // namespace kestra
