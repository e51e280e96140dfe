// SPDX-License-Identifier: GPL-3.0-or-later
// Which port the transfers use: what a start-up takes from Program.ini and the command line,
// what the Port dialog checks, and what its "OK" keeps for the run and stores.

#include "link/port_choice.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "link/port_names.hpp"
#include "model/settings_file.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

class PortChoiceTest : public ::testing::Test {
protected:
    std::filesystem::path Ini() const { return dir_.path() / "Program.ini"; }
    void WriteIni(const std::string& text) const { std::ofstream(Ini()) << text; }
    std::string ReadIni() const {
        std::ifstream in(Ini());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::TempDir dir_{"kestra-port-choice"};
    AppState state_;
};

TEST_F(PortChoiceTest, TextNamesAComPortTheDemoRadioOrADevice) {
    EXPECT_EQ(PortChoiceFromText("COM3"), PortChoice::Com(3));
    EXPECT_EQ(PortChoiceFromText(" com12 "), PortChoice::Com(12));
    EXPECT_EQ(PortChoiceFromText("\\\\.\\COM16"), PortChoice::Com(16));
    EXPECT_EQ(PortChoiceFromText("demo"), PortChoice::Demo());
    EXPECT_EQ(PortChoiceFromText("/dev/pts/4"), PortChoice::Device("/dev/pts/4"));
    // Not a port number: names no COM port, so it stays a path the open then reports.
    EXPECT_EQ(PortChoiceFromText("COM0"), PortChoice::Device("COM0"));
    EXPECT_EQ(PortChoiceFromText("Demo"), PortChoice::Device("Demo"));
    EXPECT_EQ(PortChoiceFromText("  "), PortChoice());
}

TEST_F(PortChoiceTest, StartUpTakesProgramIniAndTheCommandLineWithoutStoringIt) {
    WriteIni("[Setup]\nCOM=12\nDevice=/dev/serial/by-id/cable\n");
    SettingsFile settings(Ini());
    ChoosePortAtStartUp(state_, &settings, std::nullopt);
    EXPECT_EQ(state_.portName, "\\\\.\\COM12");
    EXPECT_EQ(ResolveDevice(state_.portName, state_.deviceOverride), "/dev/serial/by-id/cable");
    EXPECT_FALSE(IsDemoPort(state_));

    ChoosePortAtStartUp(state_, &settings, "demo");
    EXPECT_TRUE(IsDemoPort(state_));
    ChoosePortAtStartUp(state_, &settings, "COM3");
    EXPECT_EQ(ResolveDevice(state_.portName, state_.deviceOverride), DeviceForPortNumber(3));
    EXPECT_EQ(ReadIni(), "[Setup]\nCOM=12\nDevice=/dev/serial/by-id/cable\n");

    ChoosePortAtStartUp(state_, nullptr, std::nullopt);
    EXPECT_EQ(state_.portName, "COM0");
    EXPECT_EQ(state_.deviceOverride, "");
}

TEST_F(PortChoiceTest, AStoredDemoRadioIsNotHonoured) {
    // Left behind by a version that stored the demo radio: every transfer would have gone to it
    // while the real radio stayed untouched.
    WriteIni("[Setup]\nCOM=3\nDevice=demo\n");
    SettingsFile settings(Ini());
    ChoosePortAtStartUp(state_, &settings, std::nullopt);
    EXPECT_FALSE(IsDemoPort(state_));
    EXPECT_EQ(ResolveDevice(state_.portName, state_.deviceOverride), DeviceForPortNumber(3));
}

TEST_F(PortChoiceTest, TheDialogChecksTheChoiceInUse) {
    auto only5 = [](int n) { return n == 5; };
    state_.portName = "COM5";
    EXPECT_EQ(CurrentPortChoice(state_, only5), PortChoice::Com(5));
    state_.portName = "COM6";  // cannot be opened now
    EXPECT_EQ(CurrentPortChoice(state_, only5), PortChoice());
    state_.deviceOverride = "/dev/pts/2";
    EXPECT_EQ(CurrentPortChoice(state_, only5), PortChoice::Device("/dev/pts/2"));
    UsePortChoice(state_, PortChoice::Demo());
    EXPECT_EQ(CurrentPortChoice(state_, only5), PortChoice::Demo());
}

TEST_F(PortChoiceTest, OkStoresOnlyWhatTheUserPickedAndNeverTheDemoRadio) {
    WriteIni("[Setup]\nCOM=2\n");
    SettingsFile settings(Ini());
    PortSetup setup(state_, settings);

    // A --port choice left as it was: OK keeps it for the run and stores nothing.
    UsePortChoice(state_, PortChoice::Device("/dev/pts/9"));
    EXPECT_TRUE(setup.Accept(PortChoice::Device("/dev/pts/9"), false));
    EXPECT_EQ(state_.deviceOverride, "/dev/pts/9");
    EXPECT_EQ(ReadIni(), "[Setup]\nCOM=2\n");

    EXPECT_TRUE(setup.Accept(PortChoice::Demo(), true));
    EXPECT_TRUE(IsDemoPort(state_));
    EXPECT_EQ(ReadIni(), "[Setup]\nCOM=2\n");

    // The same path picked by the user is stored; a COM port picked later replaces it.
    EXPECT_TRUE(setup.Accept(PortChoice::Device("/dev/pts/9"), true));
    EXPECT_EQ(settings.GetText("Setup", "Device"), "/dev/pts/9");
    EXPECT_TRUE(setup.Accept(PortChoice::Com(7), true));
    EXPECT_EQ(settings.GetInt("Setup", "COM", 0), 7);
    EXPECT_EQ(settings.GetText("Setup", "Device"), "");
    EXPECT_EQ(ResolveDevice(state_.portName, state_.deviceOverride), DeviceForPortNumber(7));

    // Nothing checked: nothing changes.
    EXPECT_TRUE(setup.Accept(PortChoice(), true));
    EXPECT_EQ(state_.portName, "COM7");
}

TEST_F(PortChoiceTest, APickProgramIniCannotKeepHoldsForTheRunAndIsReported) {
    // A regular file where the folder should be: no write can succeed, whoever runs the test.
    std::ofstream(dir_.path() / "not-a-folder") << "x";
    SettingsFile settings;
    settings.Bind(dir_.path() / "not-a-folder" / "Program.ini");
    PortSetup setup(state_, settings);

    EXPECT_FALSE(setup.Accept(PortChoice::Com(4), true));
    EXPECT_EQ(state_.portName, "COM4");
    EXPECT_FALSE(setup.Accept(PortChoice::Device("/dev/pts/3"), true));
    EXPECT_EQ(state_.deviceOverride, "/dev/pts/3");
    const std::string text = setup.FailureText();
    EXPECT_NE(text.find((dir_.path() / "not-a-folder" / "Program.ini").string()), std::string::npos)
        << text;
    EXPECT_NE(text.find("choose the port again"), std::string::npos) << text;
    // The demo radio is never stored, so it cannot fail to be.
    EXPECT_TRUE(setup.Accept(PortChoice::Demo(), true));
}

}  // namespace
}  // namespace kestra
