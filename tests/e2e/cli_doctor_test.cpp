// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli doctor as a user runs it: against kestra-virtual-radio on a real pseudo-terminal,
// a silent one, a port that does not exist and no port at all. The system part reads this
// machine as it is, so only what does not depend on its hardware is checked.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "e2e/processes.hpp"

namespace kestra::test {
namespace {

std::vector<std::string> Lines(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix)) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(CliDoctor, VirtualRadioOnAPseudoTerminalAnswers) {
    RadioProcess radio({"--baud", "9600", "--model", "UV-TEST", "--limits", "144,148,430,440"});
    ASSERT_FALSE(radio.device().empty());
    const ProgramResult doctor = RunCli({"doctor", "--port", radio.device()});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.out << doctor.err;
    EXPECT_EQ(Lines(doctor.out, "problem:"), std::vector<std::string>{}) << doctor.out;
    const auto ok = Lines(doctor.out, "ok: Radio answered on " + radio.device());
    ASSERT_EQ(ok.size(), 1u) << doctor.out;
    EXPECT_NE(ok[0].find("model UV-TEST, firmware v1.2.3, bands 144-148 MHz and 430-440 MHz"),
              std::string::npos)
        << ok[0];
    EXPECT_EQ(Lines(doctor.out, "note: The chosen port " + radio.device()).size(), 1u);
    EXPECT_EQ(radio.Stop(), 0);
}

TEST(CliDoctor, SilentRadioAndMissingPortSayWhatToCheck) {
    RadioProcess radio({"--baud", "0", "--silent"});
    ASSERT_FALSE(radio.device().empty());
    ProgramResult doctor = RunCli({"doctor", "--port", radio.device()});
    EXPECT_EQ(doctor.exitCode, 1);
    const auto silent = Lines(doctor.out, "problem: No answer from the radio on " + radio.device());
    ASSERT_EQ(silent.size(), 1u) << doctor.out;
    EXPECT_NE(silent[0].find("switched on"), std::string::npos);

    doctor = RunCli({"doctor", "--port", "/dev/kestra-no-such-port"});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_EQ(Lines(doctor.out, "problem: The chosen port /dev/kestra-no-such-port does not exist")
                  .size(),
              1u)
        << doctor.out;
    // Nothing to test on a port that is not there.
    EXPECT_EQ(doctor.out.find("Could not open"), std::string::npos);
}

TEST(CliDoctor, WithoutAChosenPortItSaysWhereTheChoiceComesFrom) {
    TempDir home;  // no Program.ini
    const ProgramResult doctor = RunCli({"doctor"}, {"KESTRA_HOME=" + home.path().string()});
    EXPECT_EQ(doctor.exitCode, 1);
    const auto none = Lines(doctor.out, "problem: No port is chosen: no --port was given");
    ASSERT_EQ(none.size(), 1u) << doctor.out;
    EXPECT_NE(none[0].find((home / "Program.ini").string()), std::string::npos) << none[0];

    // The built-in demo radio answers without any cable.
    const ProgramResult demo = RunCli({"doctor", "--port", "demo"});
    EXPECT_EQ(demo.exitCode, 0) << demo.out << demo.err;
    EXPECT_EQ(Lines(demo.out, "ok: The demo radio answered. Model 6120E, firmware v").size(), 1u)
        << demo.out;
}

}  // namespace
}  // namespace kestra::test
