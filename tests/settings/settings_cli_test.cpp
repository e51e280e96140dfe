// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli settings run as a program on real files: the print, applying a settings file and
// saving as Save As does, the round trip, and refused lines that leave no output file.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "e2e/processes.hpp"
#include "model/document_file.hpp"
#include "settings/settings_text.hpp"

namespace kestra {
namespace {

class SettingsCli : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryImage image = BuiltInDocumentImage();
        image.write(0, Bcd8Encode(14652500));  // a channel, so Save As has a grid to encode
        image[0x2F84] = 7;
        image.write(0x2F88, std::vector<std::uint8_t>{0x00, 0x75, 0x08, 0xFF});
        ASSERT_TRUE(SaveDocumentFile(Path("radio.dat"), image));
    }

    std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    MemoryImage Load(const std::string& name) const {
        MemoryImage image;
        EXPECT_TRUE(LoadDocumentFile(Path(name), image)) << name;
        return image;
    }

    test::TempDir dir_;
};

TEST_F(SettingsCli, PrintsEveryDialogAsItOpens) {
    const auto printed = test::RunCli({"settings", Path("radio.dat")});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_TRUE(printed.err.empty());
    EXPECT_TRUE(printed.out.starts_with("[Optional Features]\nTOT (s)=30\n")) << printed.out;
    for (const char* line : {"\nPower on display mode=DC\n", "\n[DTMF Encode]\nSide Tone=Key\n",
                             "\nFirst Digit TIme (ms)=100\n", "\n[DTMF Decode]\nGroup Code=*\n",
                             "\n[DTMF Auto Dial]\nOwn ID=100\nDelimiter=*\nCode 0=100*100\n",
                             "\n[Radio]\nCurrent Freq=\nCurrent CH=7\nCH 1=87.500\n"}) {
        EXPECT_NE(printed.out.find(line), std::string::npos) << line;
    }
    // Printing leaves the file alone.
    EXPECT_EQ(Load("radio.dat")[0x2040], 0x1E);
}

TEST_F(SettingsCli, AppliesAFileAndSavesAsSaveAsDoes) {
    Write("kept.ini",
          "[Optional Features]\nTOT (s)=120\nPower on Message=HELLO\n"
          "[DTMF Decode]\nKill Code=12#\nDecode Time (s)=2.3\n"
          "[Radio]\nCH 2=120\nCurrent CH=3\n");
    const auto applied = test::RunCli(
        {"settings", Path("radio.dat"), "-o", Path("out.dat"), "--apply", Path("kept.ini")});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    const MemoryImage out = Load("out.dat");
    EXPECT_EQ(out[0x2040], 4);
    const auto message = out.span(0x2060, 7);
    EXPECT_EQ(std::string(message.begin(), message.end()), "HELLO  ");
    EXPECT_EQ(out[0x20C0], 1);
    EXPECT_EQ(out[0x20C2], 15);
    EXPECT_EQ(out[0x20C3], 15);
    EXPECT_EQ(out[0x20DA], 230);
    EXPECT_EQ(out[0x2F8E], 0x07);
    EXPECT_EQ(out[0x2F84], 3);

    // Written as Save As writes: saving the result again changes nothing.
    ASSERT_EQ(test::RunCli({"save-as", Path("out.dat"), Path("again.dat")}).exitCode, 0);
    EXPECT_EQ(Load("again.dat"), out);
}

TEST_F(SettingsCli, APrintAppliedBackIsTheSameAsOpeningAndClosing) {
    const auto printed = test::RunCli({"settings", Path("radio.dat")});
    ASSERT_EQ(printed.exitCode, 0);
    Write("printed.ini", printed.out);
    ASSERT_EQ(test::RunCli({"settings", Path("radio.dat"), "-o", Path("plain.dat")}).exitCode, 0);
    const auto applied = test::RunCli(
        {"settings", Path("radio.dat"), "-o", Path("applied.dat"), "--apply", Path("printed.ini")});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_EQ(Load("applied.dat"), Load("plain.dat"));
    EXPECT_EQ(Load("plain.dat")[0x2040], 1) << "the plain run opened and closed the dialogs";
}

TEST_F(SettingsCli, RefusedLinesAndBadArgumentsWriteNothing) {
    Write("bad.ini", "[Optional Features]\nTOT (s)=30\n\n[DTMF Decode]\nKill Type=Stun\n");
    const auto refused = test::RunCli(
        {"settings", Path("radio.dat"), "-o", Path("out.dat"), "--apply", Path("bad.ini")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err,
              "kestra-cli: " + Path("bad.ini") +
                  " line 5: Kill Type takes one of Off, Inhibit tx, Inhibit rx/tx, Kill, not "
                  "'Stun'; nothing was written\n");
    EXPECT_FALSE(std::filesystem::exists(Path("out.dat")));

    struct Case {
        std::vector<std::string> args;
        int code;
    };
    for (const Case& c : {
             Case{{"settings", Path("radio.dat"), "--apply", Path("bad.ini")}, 2},
             Case{{"settings", Path("radio.dat"), "-o", Path("out.dat"), "--apply"}, 2},
             Case{{"settings", Path("radio.dat"), "-o", Path("out.dat"), "--apply",
                   Path("missing.ini")},
                  1},
             Case{{"settings", Path("radio.dat"), "-o", Path("out.dat"), "--apply", Path("")}, 1},
             Case{{"settings", Path("missing.dat")}, 1},
         }) {
        const auto result = test::RunCli(c.args);
        EXPECT_EQ(result.exitCode, c.code) << c.args.back() << ": " << result.err;
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_FALSE(std::filesystem::exists(Path("out.dat")));
    }
}

TEST_F(SettingsCli, HelpNamesTheCommand) {
    const auto help = test::RunCli({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("settings FILE [-o OUT [--apply SETTINGS.ini]]"), std::string::npos);
}

}  // namespace
}  // namespace kestra
