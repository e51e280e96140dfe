// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli export, import, diff and backups run as programs on real files, and the backup a
// read from kestra-virtual-radio leaves behind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <fstream>

#include "channels/backup_store.hpp"
#include "channels/channel_csv.hpp"
#include "channels/channel_fields.hpp"
#include "e2e/processes.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace kestra::test {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class CliInterchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryImage image = BuiltInDocumentImage();
        AddChannel(image, 0, 14694000, 14634000, "RPT N");
        AddChannel(image, 1, 14652000, 14652000, "CALL");
        ChannelRecord(image, 1).SetTxToneText("D754I");
        AddChannel(image, 130, 44600625, std::nullopt, "PMR 1");
        ASSERT_TRUE(SaveDocumentFile(Path("doc.dat"), image).ok);
    }
    static void AddChannel(MemoryImage& image, int record, Frequency rx,
                           std::optional<Frequency> tx, const std::string& name) {
        WriteClearedRecord(image, record);
        ChannelRecord channel(image, record);
        channel.SetRxFrequency(rx);
        channel.SetTxFrequency(tx);
        channel.SetName(name);
        SetChannelBit(image, map::PresentMapOf(record / 128), record % 128 + 1, true);
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
    // The program directory of the runs, so that no backup lands in the user's home.
    std::vector<std::string> Home() const { return {"KESTRA_HOME=" + Path("home")}; }

    TempDir dir_;
};

TEST_F(CliInterchangeTest, ExportThenImportIntoTheSameDocumentChangesNothing) {
    const ProgramResult exported = RunCli({"export", Path("doc.dat"), "-o", Path("list.csv")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const std::string list = ReadText(Path("list.csv"));
    EXPECT_THAT(list, StartsWith(std::string(kCsvHeader) + "\n1,RPT N,146.940000,-,0.600000,"));
    EXPECT_THAT(list,
                HasSubstr("\n2,CALL,146.520000,,0.000000,Cross,88.5,88.5,754,RN,023,DTCS->,"));
    EXPECT_THAT(list, HasSubstr("\n131,PMR 1,446.006250,off,"));

    ASSERT_EQ(RunCli({"save-as", Path("doc.dat"), Path("saved.dat")}).exitCode, 0);
    const ProgramResult imported =
        RunCli({"import", Path("doc.dat"), Path("list.csv"), "-o", Path("out.dat")});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_THAT(imported.err, EndsWith("3 rows: 3 taken whole, 0 changed, 0 skipped\n"));
    const ProgramResult same = RunCli({"diff", Path("saved.dat"), Path("out.dat")});
    EXPECT_EQ(same.exitCode, 0) << same.out;
    EXPECT_EQ(same.out, "");

    // A document Kestra has saved comes back byte for byte; doc.dat was written raw, as a read
    // from a radio is, and differs from it only where every save derives its areas.
    ASSERT_EQ(RunCli({"export", Path("saved.dat"), "-o", Path("saved.csv")}).exitCode, 0);
    ASSERT_EQ(
        RunCli({"import", Path("saved.dat"), Path("saved.csv"), "-o", Path("again.dat")}).exitCode,
        0);
    EXPECT_EQ(ReadText(Path("again.dat")), ReadText(Path("saved.dat")));
    const ProgramResult derived = RunCli({"diff", Path("doc.dat"), Path("out.dat")});
    EXPECT_EQ(derived.exitCode, 1);
    EXPECT_THAT(derived.out, Not(HasSubstr("A001"))) << derived.out;  // the shift is derived
    EXPECT_THAT(derived.out, HasSubstr("and the summary areas the radio needs\n")) << derived.out;
}

// A write that fails part-way, as on a full disk: a file size limit for the program (SIGXFSZ
// ignored, so the write fails instead of killing it), which needs no privileges.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

TEST_F(CliInterchangeTest, ExportReplacesTheListWholeOrNotAtAll) {
    const std::string old = "Location,Name,Frequency\n1,OLD,145.5\n";
    WriteText("list.csv", old);
    {
        const FileSizeLimit full(256);  // the new list is over 400 bytes, a message less
        const ProgramResult failed = RunCli({"export", Path("doc.dat"), "-o", Path("list.csv")});
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_THAT(failed.err, StartsWith("kestra-cli: Cannot save \"" + Path("list.csv")));
        const ProgramResult fresh = RunCli({"export", Path("doc.dat"), "-o", Path("new.csv")});
        EXPECT_EQ(fresh.exitCode, 1);
    }
    EXPECT_EQ(ReadText(Path("list.csv")), old);
    EXPECT_FALSE(std::filesystem::exists(Path("new.csv")));  // no empty file left behind
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"doc.dat", "list.csv"}));

    // A list the user may not write is refused, as the desktop export refuses it.
    ASSERT_EQ(::chmod(Path("list.csv").c_str(), 0444), 0);
    const ProgramResult readOnly = RunCli({"export", Path("doc.dat"), "-o", Path("list.csv")});
    EXPECT_EQ(readOnly.exitCode, 1);
    EXPECT_THAT(readOnly.err, HasSubstr("the file is read-only"));
    EXPECT_EQ(ReadText(Path("list.csv")), old);
}

TEST_F(CliInterchangeTest, ImportReportsEveryRowAndSaysSoInItsExitStatus) {
    WriteText("other.csv",
              "Location,Name,Frequency,Power\r\n"
              "5,Repeater,145.5,5.0W\r\n"
              "6,Airband,121.5,1.0W\r\n"
              "7,LOW,145.6,1.0W\r\n");
    const ProgramResult imported =
        RunCli({"import", Path("doc.dat"), Path("other.csv"), "-o", Path("out.dat")});
    EXPECT_EQ(imported.exitCode, 3);
    EXPECT_THAT(imported.err, HasSubstr("line 2 (Location 5) -> A005: changed: Name \"Repeater\" "
                                        "is longer than 7 characters: cut to \"Repeate\"\n"));
    EXPECT_THAT(imported.err, HasSubstr("line 3 (Location 6): skipped: frequency 121.50000 MHz"));
    EXPECT_THAT(imported.err, HasSubstr("line 4 (Location 7) -> A007: taken\n"));
    EXPECT_THAT(imported.err, EndsWith("3 rows: 1 taken whole, 1 changed, 1 skipped\n"));
    const MemoryImage out = Load("out.dat");
    EXPECT_EQ(ConstChannelRecord(out, 4).Name(), "Repeate");
    EXPECT_TRUE(ConstChannelRecord(out, 4).HighPower());
    EXPECT_FALSE(ConstChannelRecord(out, 6).HighPower());
    EXPECT_EQ(ShownChannelCount(out), 5);

    // --append ignores Location and fills the first empty channels (A003 on).
    const ProgramResult appended = RunCli(
        {"import", Path("doc.dat"), Path("other.csv"), "-o", Path("appended.dat"), "--append"});
    EXPECT_EQ(appended.exitCode, 3);
    EXPECT_THAT(appended.err, HasSubstr("line 4 (Location 7) -> A004: taken\n"));
}

TEST_F(CliInterchangeTest, AnUnreadableListWritesNothing) {
    WriteText("binary.csv", std::string("PK\x03\x04\0\0\0", 7));
    WriteText("no-location.csv", "Name,Frequency\nX,146.52\n");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"missing.csv", "Cannot read"},
        {"binary.csv", "no text file"},
        {"no-location.csv", "no Location column"},
    };
    for (const auto& [list, reason] : cases) {
        const ProgramResult imported =
            RunCli({"import", Path("doc.dat"), Path(list), "-o", Path("out.dat")});
        EXPECT_EQ(imported.exitCode, 2) << list;
        EXPECT_THAT(imported.err, HasSubstr(reason)) << list;
        EXPECT_THAT(imported.err, HasSubstr("Nothing was written.")) << list;
        EXPECT_FALSE(std::filesystem::exists(Path("out.dat"))) << list;
    }
    EXPECT_THAT(
        RunCli({"import", Path("doc.dat"), Path("no-location.csv"), "-o", Path("out.dat")}).err,
        HasSubstr("--append"));
    EXPECT_EQ(RunCli({"import", Path("doc.dat"), Path("no-location.csv"), "-o", Path("out.dat"),
                      "--append"})
                  .exitCode,
              0);
}

TEST_F(CliInterchangeTest, DiffListsWhatDiffersAndSaysSoInItsExitStatus) {
    MemoryImage changed = Load("doc.dat");
    ChannelRecord(changed, 0).SetName("RPT S");
    changed[0x2042] = 0x07;
    ASSERT_TRUE(SaveDocumentFile(Path("changed.dat"), changed).ok);

    const ProgramResult equal = RunCli({"diff", Path("doc.dat"), Path("doc.dat")});
    EXPECT_EQ(equal.exitCode, 0);
    EXPECT_EQ(equal.out, "");
    const ProgramResult different = RunCli({"diff", Path("doc.dat"), Path("changed.dat")});
    EXPECT_EQ(different.exitCode, 1);
    EXPECT_EQ(different.out,
              "A001 CH. Name: RPT N -> RPT S\nOptional Features: Squelch Level 4 -> 7\n");
    const ProgramResult trouble = RunCli({"diff", Path("doc.dat"), Path("missing.dat")});
    EXPECT_EQ(trouble.exitCode, 2);
    EXPECT_THAT(trouble.err, HasSubstr("missing.dat"));
}

TEST_F(CliInterchangeTest, ASuccessfulReadLeavesABackupThatTheListShows) {
    ASSERT_TRUE(SaveDocumentFile(Path("radio.dat"), Load("doc.dat")).ok);
    RadioProcess radio({"--baud", "0", "--memory", Path("radio.dat")});
    ASSERT_FALSE(radio.device().empty());

    const ProgramResult none = RunCli({"backups"}, Home());
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_THAT(none.out, StartsWith("No backups in " + Path("home/backups")));

    const ProgramResult read =
        RunCli({"read", "--port", radio.device(), "-o", Path("read.dat")}, Home());
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const auto backups = ListBackups(Path("home/backups"));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].kind, BackupKind::Read);
    EXPECT_THAT(read.err, HasSubstr("backup kept as " + backups[0].path.string()));
    MemoryImage kept;
    ASSERT_TRUE(LoadDocumentFile(backups[0].path, kept).ok);
    EXPECT_EQ(kept, Load("read.dat"));

    const ProgramResult listed = RunCli({"backups"}, Home());
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_THAT(listed.out,
                HasSubstr("  read   unknown    3 channels  " + backups[0].path.string() + "\n"));
}

TEST_F(CliInterchangeTest, TheBackupListKeepsItsColumnsWhateverTheNames) {
    const std::filesystem::path folder = Path("home/backups");
    std::filesystem::create_directories(folder);
    const MemoryImage image = Load("doc.dat");
    const std::string longModel(60, 'M');
    for (const std::string& name : std::vector<std::string>{
             "2024-05-01_12-03-22Z_read_6120E_000001.dat",
             "2024-05-01_12-03-23Z_write_" + longModel + "_000002.dat",
             "2024-05-01_14-03-22_read_6120HE.dat",
             "2024-13-45_99-99-99_read_6120E.dat"}) {  // no such date: not a backup
        ASSERT_TRUE(SaveDocumentFile(folder / name, image).ok) << name;
    }
    const ProgramResult listed = RunCli({"backups"}, Home());
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = listed.out.find('\n', at)) != std::string::npos;
         at = end + 1) {
        lines.push_back(listed.out.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 4u) << listed.out;  // the heading and three backups
    const std::size_t column = lines[1].find(" channels  ");
    ASSERT_NE(column, std::string::npos) << lines[1];
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find(" channels  "), column) << lines[i];
    }
    EXPECT_THAT(lines[1], HasSubstr("_000002.dat"));  // newest by number
    EXPECT_THAT(lines[1], HasSubstr("  MMMMMMMMM...  "));
    EXPECT_THAT(lines[3], HasSubstr("2024-05-01 14:03:22  read   6120HE"));  // local already
    EXPECT_THAT(listed.out, Not(HasSubstr("2024-13-45")));
}

TEST_F(CliInterchangeTest, ABackupThatCannotBeKeptNeverFailsTheRead) {
    RadioProcess radio({"--baud", "0"});
    std::filesystem::create_directory(Path("home"));
    WriteText("home/backups", "a file where the folder should be");
    const ProgramResult read =
        RunCli({"read", "--port", radio.device(), "-o", Path("read.dat")}, Home());
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_TRUE(std::filesystem::exists(Path("read.dat")));
    EXPECT_THAT(read.err, HasSubstr("warning: no backup of this read was kept: Cannot create the "
                                    "backup folder"));

    // A failed read keeps no backup either.
    RadioProcess broken({"--baud", "0", "--no-ack-after", "10"});
    std::filesystem::remove(Path("home/backups"));
    EXPECT_NE(RunCli({"read", "--port", broken.device(), "-o", Path("x.dat")}, Home()).exitCode, 0);
    EXPECT_TRUE(ListBackups(Path("home/backups")).empty());
}

TEST_F(CliInterchangeTest, WriteVerifyReadsTheRadioBackAndFailsWhereItHoldsAWrongByte) {
    // A write that never reached a radio keeps no backup.
    EXPECT_EQ(RunCli({"write", "--port", Path("no-such-port"), Path("doc.dat")}, Home()).exitCode,
              1);
    EXPECT_TRUE(ListBackups(Path("home/backups")).empty());

    RadioProcess good({"--baud", "0"});
    const ProgramResult verified =
        RunCli({"write", "--verify", "--port", good.device(), Path("doc.dat")}, Home());
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    EXPECT_THAT(verified.err, HasSubstr("verified: the radio holds what was written"));
    // The image about to be written was kept first.
    const auto backups = ListBackups(Path("home/backups"));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].kind, BackupKind::Write);

    // A radio whose memory cell at A003's first byte holds the wrong value: the write itself
    // goes through, only the read-back finds it.
    RadioProcess faulty({"--baud", "0", "--wrong-byte", "0x0040"});
    EXPECT_EQ(RunCli({"write", "--port", faulty.device(), Path("doc.dat")}, Home()).exitCode, 0);
    const ProgramResult caught =
        RunCli({"write", "--port", faulty.device(), "--verify", Path("doc.dat")}, Home());
    EXPECT_EQ(caught.exitCode, 1);
    EXPECT_THAT(caught.err, HasSubstr("Verify failed: the radio does not hold what was written.\n"
                                      "It differs in A003.\nWrite again"));
    EXPECT_THAT(caught.err, Not(HasSubstr("verified")));
}

}  // namespace
}  // namespace kestra::test
