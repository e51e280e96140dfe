// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli sort, move, insert, remove and find run as programs on real files: the rows the
// saved document shows afterwards, the records moved whole, output over the input file, and
// refusals that exit 2 and write nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "channels/image_preparation.hpp"
#include "e2e/processes.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"

namespace kestra::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class CliChannelListTest : public ::testing::Test {
protected:
    // A001 "Zeta" 146.52500, A003 "alpha" 145.00000 (Tx 145.60000), A004 unnamed 144.00000,
    // B001 "pmr" 446.00625, B128 "end" 440.00000; saved as a save leaves it.
    void SetUp() override {
        MemoryImage image = BuiltInDocumentImage();
        Put(image, 0, 14652500, 0, "Zeta");
        Put(image, 2, 14500000, 14560000, "alpha");
        Put(image, 3, 14400000, 0, "");
        Put(image, 128, 44600625, 0, "pmr");
        Put(image, 255, 44000000, 0, "end");
        PrepareImageForWrite(image, SectionLimits{});
        ASSERT_TRUE(SaveDocumentFile(Path("doc.dat"), image).ok);
        ASSERT_EQ(Run({"save-as", Path("doc.dat"), Path("doc.dat")}).exitCode, 0);
    }
    static void Put(MemoryImage& image, int record, Frequency rx, Frequency tx,
                    std::string_view name) {
        WriteClearedRecord(image, record);
        ChannelRecord channel(image, record);
        channel.SetRxFrequency(rx);
        channel.SetTxFrequency(tx == 0 ? rx : tx);
        channel.SetName(name);
        channel.SetByte(31, static_cast<std::uint8_t>(record));  // its own mark
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
    // The rows of `channels` from first to last (0-based), each "label<TAB>Rx Freq".
    std::vector<std::string> Rows(const std::string& file, int first, int last) const {
        const ProgramResult listed = Run({"channels", Path(file)});
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        std::istringstream lines(listed.out);
        std::vector<std::string> rows;
        std::string line;
        for (int row = 0; std::getline(lines, line) && row <= last; ++row) {
            if (row >= first) {
                rows.push_back(line.substr(0, line.find('\t', line.find('\t') + 1)));
            }
        }
        return rows;
    }
    // The refusal's exit status, its one line, and no file written.
    void ExpectRefused(std::vector<std::string> args, const std::string& text) const {
        const ProgramResult run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args[0] << ": " << run.err;
        EXPECT_THAT(run.err, HasSubstr(text));
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(Path("out.dat"))) << args[0];
    }

    TempDir dir_;
};

TEST_F(CliChannelListTest, SortWritesTheSortedSectionOverItsOwnFile) {
    const MemoryImage before = Load("doc.dat");
    const ProgramResult sorted =
        Run({"sort", Path("doc.dat"), "-o", Path("doc.dat"), "--by", "name", "--section", "a"});
    ASSERT_EQ(sorted.exitCode, 0) << sorted.err;
    EXPECT_THAT(Rows("doc.dat", 0, 3),
                ElementsAre("A 001\t145.00000", "A 002\t146.52500", "A 003\t144.00000", "A 004\t"));
    const MemoryImage after = Load("doc.dat");
    const std::vector<std::pair<int, int>> moved{{0, 2}, {1, 0}, {2, 3}, {128, 128}, {256, 256}};
    for (const auto& [to, from] : moved) {
        const auto a = after.span(RecordOffset(to), kRecordSize);
        const auto b = before.span(RecordOffset(from), kRecordSize);
        EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin())) << to << " from " << from;
    }

    ASSERT_EQ(Run({"sort", Path("doc.dat"), "-o", Path("rx.dat"), "--by", "rx", "--desc"}).exitCode,
              0);
    EXPECT_THAT(Rows("rx.dat", 0, 2),
                ElementsAre("A 001\t146.52500", "A 002\t145.00000", "A 003\t144.00000"));
    EXPECT_THAT(Rows("rx.dat", 128, 129), ElementsAre("B 001\t446.00625", "B 002\t440.00000"));
}

TEST_F(CliChannelListTest, MoveInsertAndRemoveShiftTheRowsOfOneSection) {
    ASSERT_EQ(Run({"move", Path("doc.dat"), "-o", Path("moved.dat"), "a3-A4", "A1"}).exitCode, 0);
    EXPECT_THAT(Rows("moved.dat", 0, 4), ElementsAre("A 001\t145.00000", "A 002\t144.00000",
                                                     "A 003\t146.52500", "A 004\t", "A 005\t"));

    ASSERT_EQ(
        Run({"insert", Path("doc.dat"), "-o", Path("doc.dat"), "A002", "--count", "2"}).exitCode,
        0);
    EXPECT_THAT(Rows("doc.dat", 0, 5),
                ElementsAre("A 001\t146.52500", "A 002\t", "A 003\t", "A 004\t", "A 005\t145.00000",
                            "A 006\t144.00000"));

    ASSERT_EQ(Run({"remove", Path("doc.dat"), "-o", Path("doc.dat"), "A001-A004"}).exitCode, 0);
    EXPECT_THAT(Rows("doc.dat", 0, 2),
                ElementsAre("A 001\t145.00000", "A 002\t144.00000", "A 003\t"));
    const MemoryImage removed = Load("doc.dat");
    EXPECT_EQ(ConstChannelRecord(removed, 0).Name(), "alpha");
    EXPECT_EQ(ConstChannelRecord(removed, 127).RxFrequency(), std::nullopt);
}

TEST_F(CliChannelListTest, FindPrintsTheMatchingRowsAsChannelsDoes) {
    const ProgramResult all = Run({"channels", Path("doc.dat")});
    const ProgramResult found = Run({"find", Path("doc.dat"), "PM"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_THAT(found.out, ::testing::StartsWith("B 001\t446.00625\t"));
    EXPECT_THAT(all.out, HasSubstr("\n" + found.out));

    const ProgramResult byFrequency = Run({"find", Path("doc.dat"), "145.6"});  // a Tx
    EXPECT_THAT(byFrequency.out, ::testing::StartsWith("A 003\t145.00000\t145.60000\t"));

    const ProgramResult none = Run({"find", Path("doc.dat"), "nothing"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_THAT(none.err, HasSubstr("\"nothing\""));
}

TEST_F(CliChannelListTest, RefusalsExitTwoAndWriteNothing) {
    const std::string in = Path("doc.dat");
    const std::string out = Path("out.dat");
    ExpectRefused({"insert", in, "-o", out, "B100", "--count", "28"},
                  "B128 holds a channel that would be pushed past the end of section B");
    ExpectRefused({"move", in, "-o", out, "A127-B2", "A1"}, "spans both sections");
    ExpectRefused({"remove", in, "-o", out, "A129"}, "'A129' is outside section A");
    ExpectRefused({"remove", in, "-o", out, "A VFO"}, "VFO channels never move");
    ExpectRefused({"sort", in, "-o", out, "--by", "power"}, "--by rx, tx or name");
    ExpectRefused({"insert", in, "-o", out, "A1", "--count", "0"}, "--count must be");
}

}  // namespace
}  // namespace kestra::test
