// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli calibration run as a program on real files: printing what the service editors
// show, applying a calibration file into a new document, and refusing a bad line without
// writing anything.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "channels/image_preparation.hpp"
#include "e2e/processes.hpp"
#include "model/document_file.hpp"

namespace kestra::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CliCalibrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryImage image;
        image[0x3F21] = 40;    // Voice Tx Gain
        image[0x2CD0] = 17;    // 520 MHz, Noise1 W High
        image[0x3E2A] = 0x0B;  // Twist, high byte
        image[0x3E2B] = 0xCD;
        ASSERT_TRUE(SaveDocumentFile(Path("radio.dat"), image).ok);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    MemoryImage Load(const std::string& name) const {
        MemoryImage image;
        EXPECT_TRUE(LoadDocumentFile(Path(name), image).ok) << name;
        return image;
    }

    TempDir dir_;
};

TEST_F(CliCalibrationTest, PrintsTheThreeEditorsValues) {
    const ProgramResult printed = RunCli({"calibration", Path("radio.dat")});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_THAT(printed.out, StartsWith("[Parameter Adjust]\nV PA Drive=15\n"));
    EXPECT_THAT(printed.out, HasSubstr("\nVoice Tx Gain=40\n"));
    EXPECT_THAT(printed.out, HasSubstr("\n[DTMF Initialization]\n"));
    EXPECT_THAT(printed.out, HasSubstr("\nTwist=BCD\n"));
    EXPECT_THAT(printed.out, HasSubstr("\n[Sql Adjust]\n"));
    EXPECT_THAT(printed.out, HasSubstr("\n400-520 520/Noise1/W High=17\n"));
    EXPECT_TRUE(printed.err.empty());
}

TEST_F(CliCalibrationTest, AppliedValuesLandInADocumentSavedAsSaveAsDoes) {
    WriteText("cal.ini",
              "; bench 3\n[Parameter Adjust]\nVoice Tx Gain=12\nTest Mode=1\n"
              "[Sql Adjust]\n136-174 141/RSSI1/N Low=99\n[DTMF Initialization]\nTwist=1A2\n");
    const ProgramResult applied = RunCli(
        {"calibration", Path("radio.dat"), "-o", Path("out.dat"), "--apply", Path("cal.ini")});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;

    const MemoryImage out = Load("out.dat");
    EXPECT_EQ(out[0x3F21], 12);
    EXPECT_EQ(out[0x3F2F] & 0x80, 0);
    EXPECT_EQ(out[0x2A1B], 99);
    EXPECT_EQ(out[0x3E2A], 0x01);
    EXPECT_EQ(out[0x3E2B], 0xA2);
    EXPECT_EQ(out[0x3F15], 0x42);          // the derived tables
    EXPECT_EQ(out[0x2CD0], 17);            // points not listed are not touched
    EXPECT_GE(ModelIndexOfImage(out), 0);  // encoded as a save does

    // Saved again as Save As does, the document does not change.
    ASSERT_EQ(RunCli({"save-as", Path("out.dat"), Path("again.dat")}).exitCode, 0);
    EXPECT_EQ(Load("again.dat"), out);

    // The printed values of the result apply back onto it unchanged.
    const ProgramResult printed = RunCli({"calibration", Path("out.dat")});
    ASSERT_EQ(printed.exitCode, 0);
    EXPECT_THAT(printed.out, HasSubstr("\nVoice Tx Gain=12\n"));
    WriteText("printed.ini", printed.out);
    ASSERT_EQ(RunCli({"calibration", Path("out.dat"), "-o", Path("same.dat"), "--apply",
                      Path("printed.ini")})
                  .exitCode,
              0);
    EXPECT_EQ(Load("same.dat"), out);
}

TEST_F(CliCalibrationTest, ABadLineIsNamedAndNothingIsWritten) {
    WriteText("cal.ini", "[Parameter Adjust]\nVolume=3\nVoice Tx Gain=99\n");
    const ProgramResult refused = RunCli(
        {"calibration", Path("radio.dat"), "-o", Path("out.dat"), "--apply", Path("cal.ini")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_THAT(refused.err, HasSubstr("line 3: Voice Tx Gain=99 needs a number from 0 to 63"));
    EXPECT_FALSE(std::filesystem::exists(Path("out.dat")));

    const ProgramResult noOutput =
        RunCli({"calibration", Path("radio.dat"), "--apply", Path("cal.ini")});
    EXPECT_EQ(noOutput.exitCode, 2);
    EXPECT_THAT(noOutput.err, HasSubstr("--apply needs -o OUT"));

    const ProgramResult missing = RunCli(
        {"calibration", Path("radio.dat"), "-o", Path("out.dat"), "--apply", Path("none.ini")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("Cannot read"));
    EXPECT_FALSE(std::filesystem::exists(Path("out.dat")));
}

TEST_F(CliCalibrationTest, OnlyARegularFileOfModestSizeIsRead) {
    // A folder once ended in an uncaught exception, /dev/zero grew without bound and a named
    // pipe hung: each is refused before a byte is read, in one line, with nothing written.
    std::filesystem::create_directory(Path("folder.ini"));
    ASSERT_EQ(::mkfifo(Path("pipe.ini").c_str(), 0600), 0);
    WriteText("huge.ini", "[Parameter Adjust]\n" + std::string(5 << 20, ';'));
    for (const std::string& source :
         {Path("folder.ini"), std::string("/dev/zero"), Path("pipe.ini"), Path("huge.ini")}) {
        for (const char* command : {"calibration", "settings"}) {
            const ProgramResult refused =
                RunCli({command, Path("radio.dat"), "-o", Path("out.dat"), "--apply", source});
            EXPECT_EQ(refused.exitCode, 1) << command << " " << source << ": " << refused.err;
            EXPECT_THAT(refused.err, StartsWith("kestra-cli: Cannot read \"" + source + "\": "));
            EXPECT_EQ(refused.err.find('\n'), refused.err.size() - 1) << refused.err;
            EXPECT_FALSE(std::filesystem::exists(Path("out.dat"))) << source;
        }
    }
}

}  // namespace
}  // namespace kestra::test
