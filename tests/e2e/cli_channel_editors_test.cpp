// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli channel and batch run as programs on real files: what they print, the bytes they
// write (also over their own input file), and refused values that leave nothing written.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/processes.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"

namespace kestra::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CliChannelEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SaveDocumentFile(Path("doc.dat"), BuiltInDocumentImage()).ok);
    }
    std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
    MemoryImage Load(const std::string& name) const {
        MemoryImage image;
        EXPECT_TRUE(LoadDocumentFile(Path(name), image).ok) << name;
        return image;
    }
    ProgramResult Run(std::vector<std::string> args) const {
        return RunCli(std::move(args), {"KESTRA_HOME=" + Path("home")});
    }

    TempDir dir_;
};

TEST_F(CliChannelEditorsTest, ChannelEditsOneChannelInPlaceAsTheDialogDoes) {
    const ProgramResult empty = Run({"channel", Path("doc.dat"), "b5"});
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_THAT(empty.out, StartsWith("CH: B005\nRx Freq:\nTx Freq:\n"));

    const ProgramResult edited =
        Run({"channel", Path("doc.dat"), "B5", "-o", Path("doc.dat"), "Rx Freq=600", "Rx Tone=d23n",
             "CH. Name=PMR 1", "Tx Power=Low"});
    ASSERT_EQ(edited.exitCode, 0) << edited.err;
    const ProgramResult shown = Run({"channel", Path("doc.dat"), "133"});
    EXPECT_EQ(shown.out, edited.out);
    EXPECT_THAT(shown.out, HasSubstr("\nRx Freq: 136.00000\nTx Freq: 136.00000\n"
                                     "Rx Tone: D023N\nTx Tone: None\nTx Power: Low\n"));
    EXPECT_THAT(shown.out, HasSubstr("\nCH. Name: PMR 1\nScan Add: Del\n"));
    const MemoryImage saved = Load("doc.dat");
    EXPECT_EQ(ConstChannelRecord(saved, 132).Name(), "PMR 1");

    const ProgramResult refused =
        Run({"channel", Path("doc.dat"), "B5", "-o", Path("out.dat"), "W/N=Medium"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_THAT(refused.err, HasSubstr("W/N must be one of Narrow, Wide, not 'Medium'"));
    EXPECT_FALSE(std::filesystem::exists(Path("out.dat")));
}

TEST_F(CliChannelEditorsTest, BatchGeneratesTheRangeItIsGiven) {
    // What a save without a batch makes of the document, to compare the untouched records with.
    ASSERT_EQ(Run({"save-as", Path("doc.dat"), Path("settled.dat")}).exitCode, 0);
    const MemoryImage before = Load("settled.dat");
    const ProgramResult run = Run({"batch",
                                   Path("doc.dat"),
                                   "-o",
                                   Path("out.dat"),
                                   "--range",
                                   "b",
                                   "--rx-start",
                                   "400",
                                   "--rx-step",
                                   "12",
                                   "--tx",
                                   "offset",
                                   "--offset",
                                   "5",
                                   "--rx-tone",
                                   "67.0",
                                   "--rx-interval",
                                   "2",
                                   "--tx-tone",
                                   "random",
                                   "--seed",
                                   "42",
                                   "--name",
                                   "ABCDEFG",
                                   "--by-number",
                                   "--wn",
                                   "narrow"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "B001-B128: 128 channels generated\n");
    const MemoryImage out = Load("out.dat");
    const ConstChannelRecord b002(out, 129);
    EXPECT_EQ(b002.RxFrequency(), 40001250);  // a 12 kHz step is 12.5 kHz
    EXPECT_EQ(b002.TxFrequency(), 40501250);
    EXPECT_EQ(b002.RxToneText(), "71.9");
    EXPECT_EQ(b002.Name(), "ABCD130");
    EXPECT_FALSE(b002.Wide());
    for (int record : {0, 256, 257}) {
        const auto span = [record](const MemoryImage& image) {
            const auto bytes = image.span(RecordOffset(record), kRecordSize);
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        };
        EXPECT_EQ(span(out), span(before)) << "record " << record;
    }

    // The same seed draws the same tones.
    ASSERT_EQ(Run({"batch",
                   Path("doc.dat"),
                   "-o",
                   Path("again.dat"),
                   "--range",
                   "b",
                   "--rx-start",
                   "400",
                   "--rx-step",
                   "12",
                   "--tx",
                   "offset",
                   "--offset",
                   "5",
                   "--rx-tone",
                   "67.0",
                   "--rx-interval",
                   "2",
                   "--tx-tone",
                   "random",
                   "--seed",
                   "42",
                   "--name",
                   "ABCDEFG",
                   "--by-number",
                   "--wn",
                   "narrow"})
                  .exitCode,
              0);
    EXPECT_EQ(Load("again.dat"), out);

    const ProgramResult refused =
        Run({"batch", Path("doc.dat"), "-o", Path("bad.dat"), "--rx-tone", "66.6"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_THAT(refused.err, HasSubstr("--rx-tone takes"));
    EXPECT_FALSE(std::filesystem::exists(Path("bad.dat")));
}

TEST_F(CliChannelEditorsTest, ScriptsAreRefusedWhatTheDialogsWouldQuietlyTurnIntoSomethingElse) {
    // Channel labels no channel has: the dialog's box would take A200 as B072.
    for (const char* label : {"A200", "A129", "B129", "B0", "A0", "0", "259", "A1X"}) {
        const ProgramResult refused =
            Run({"channel", Path("doc.dat"), label, "-o", Path("out.dat"), "CH. Name=X"});
        EXPECT_EQ(refused.exitCode, 2) << label;
        EXPECT_THAT(refused.err, HasSubstr("no channel '" + std::string(label) + "'"));
        EXPECT_FALSE(std::filesystem::exists(Path("out.dat"))) << label;
    }
    for (const auto& [label, shown] : std::vector<std::pair<std::string, std::string>>{
             {"a128", "A128"}, {"B001", "B001"}, {"258", "B VFO"}, {"b vfo", "B VFO"}}) {
        const ProgramResult taken = Run({"channel", Path("doc.dat"), label});
        EXPECT_EQ(taken.exitCode, 0) << label << ": " << taken.err;
        EXPECT_THAT(taken.out, StartsWith("CH: " + shown + "\n")) << label;
    }

    // Ranges the dialog's boxes would turn into another: 200-100 once rewrote A001-A100.
    for (const char* range : {"200-100", "0-0", "0-5", "1-257", "300-300"}) {
        const ProgramResult refused = Run({"batch", Path("doc.dat"), "-o", Path("out.dat"),
                                           "--range", range, "--rx-start", "146"});
        EXPECT_EQ(refused.exitCode, 2) << range;
        EXPECT_THAT(refused.err, HasSubstr("--range takes FROM-TO with 1 <= FROM <= TO <= 256"));
        EXPECT_FALSE(std::filesystem::exists(Path("out.dat"))) << range;
    }
    const ProgramResult one =
        Run({"batch", Path("doc.dat"), "-o", Path("one.dat"), "--range", "5-5", "--name", "-XAB"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(one.out, "A005-A005: 1 channels generated\n");
    EXPECT_EQ(ConstChannelRecord(Load("one.dat"), 4).Name(), "-XAB");

    // A value that is an option's name is not taken, and the message says how to give it.
    const ProgramResult named =
        Run({"batch", Path("doc.dat"), "-o", Path("out.dat"), "--name", "--by-number"});
    EXPECT_EQ(named.exitCode, 2);
    EXPECT_THAT(named.err, HasSubstr("--name needs a value (for the value --by-number write "
                                     "--name=--by-number)"));
    const ProgramResult port = Run({"read", "--port", "-o", Path("out.dat")});
    EXPECT_EQ(port.exitCode, 2);
    EXPECT_THAT(port.err, HasSubstr("--port needs a value (for the value -o write --port=-o)"));
    EXPECT_FALSE(std::filesystem::exists(Path("out.dat")));
}

}  // namespace
}  // namespace kestra::test
