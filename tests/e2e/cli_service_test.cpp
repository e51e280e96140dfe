// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli service against kestra-virtual-radio on a real pseudo-terminal: a production line's
// script reads and writes one calibration area, the radio's values are backed up before every
// write, values that were never read are refused unless forced, and a bad command line or a
// failed transfer sends nothing it should not.

#include <gtest/gtest.h>

#include "channels/backup_store.hpp"
#include "e2e/processes.hpp"
#include "link/service_transfer.hpp"
#include "model/document_file.hpp"
#include "service/service_area.hpp"

namespace kestra::test {
namespace {

namespace fs = std::filesystem;

// Letters in either case, as the Password dialog takes them.
const std::string kPassword = "qvm427";

// A calibrated radio: no byte 0xFF, Voice Tx Gain 21.
MemoryImage FactoryRadio() {
    MemoryImage image;
    for (std::size_t a = 0; a < kImageSize; ++a) {
        image[a] = static_cast<std::uint8_t>((a * 7 + a / 256) % 0xF0);
    }
    image[0x3F21] = 21;
    return image;
}

MemoryImage Load(const fs::path& path) {
    MemoryImage image;
    EXPECT_TRUE(LoadDocumentFile(path, image).ok) << path;
    return image;
}

bool InWrite(ServiceArea area, std::size_t a) {
    for (const CloneRange& range : AreaInfo(area).write.UsedRanges()) {
        if (a >= range.start && a < range.end) {
            return true;
        }
    }
    return false;
}

class CliService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SaveDocumentFile(dir_ / "radio.dat", FactoryRadio()).ok);
        ASSERT_TRUE(SaveDocumentFile(dir_ / "new.dat", BuiltInDocumentImage()).ok);
    }
    // kestra-cli service VERB --area AREA --password kPassword --port DEVICE EXTRA...
    ProgramResult Service(const std::string& verb, const std::string& area,
                          const std::string& device, std::vector<std::string> extra) {
        std::vector<std::string> args{"service",    verb,      "--area", area,
                                      "--password", kPassword, "--port", device};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args, environment_);
    }
    std::vector<BackupEntry> Backups() const {
        return ListBackups(dir_ / "data" / "kestra" / "backups");
    }

    TempDir dir_;
    std::vector<std::string> environment_{"XDG_DATA_HOME=" + (dir_ / "data").string()};
};

TEST_F(CliService, NeverReadValuesAreRefusedThenForcedAfterTheRadiosAreKept) {
    RadioProcess radio({"--baud", "0", "--memory", (dir_ / "radio.dat").string(), "--save",
                        (dir_ / "after.dat").string()});
    const std::string newDoc = (dir_ / "new.dat").string();

    const ProgramResult refused = Service("write", "parameter-adjust", radio.device(), {newDoc});
    EXPECT_EQ(refused.exitCode, 2) << refused.err;
    EXPECT_NE(refused.err.find("nothing was sent"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_TRUE(Backups().empty());

    const ProgramResult forced =
        Service("write", "parameter-adjust", radio.device(), {newDoc, "--force"});
    ASSERT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_NE(forced.err.find("Write complete"), std::string::npos) << forced.err;
    ASSERT_TRUE(WaitForFile(dir_ / "after.dat", kImageSize));
    MemoryImage sent = BuiltInDocumentImage();
    PrepareServiceWrite(ServiceArea::ParameterAdjust, sent);
    const MemoryImage factory = FactoryRadio();
    const MemoryImage after = Load(dir_ / "after.dat");
    const std::vector<BackupEntry> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(forced.err.find("kept as " + backups[0].path.string()), std::string::npos)
        << forced.err;
    const MemoryImage kept = Load(backups[0].path);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool written = InWrite(ServiceArea::ParameterAdjust, a);
        ASSERT_EQ(after[a], written ? sent[a] : factory[a]) << a;
        ASSERT_EQ(kept[a], written ? factory[a] : 0xFF) << a;
    }
    EXPECT_EQ(Load(newDoc), BuiltInDocumentImage()) << "FILE itself is not changed";

    const ProgramResult listed = RunCli({"backups"}, environment_);
    EXPECT_NE(listed.out.find("service (Parameter Adjust)"), std::string::npos) << listed.out;
}

TEST_F(CliService, ReadBringsTheAreaAndWhatWasReadGoesBackUnasked) {
    RadioProcess radio({"--baud", "0", "--memory", (dir_ / "radio.dat").string()});
    const MemoryImage factory = FactoryRadio();
    const std::string out = (dir_ / "read.dat").string();

    const ProgramResult read = Service("read", "parameter-adjust", radio.device(),
                                       {(dir_ / "new.dat").string(), "-o", out});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_NE(read.err.find("Read complete"), std::string::npos) << read.err;
    MemoryImage got = Load(out);
    EXPECT_EQ(got[0x3F21], 21);
    EXPECT_EQ(got[0x3F15], 0x42) << "the dialog's commit derives the reference levels";
    EXPECT_EQ(got[0x3E00], 0xFF) << "outside the area";

    const ProgramResult sql = Service("read", "sql-adjust", radio.device(), {out, "-o", out});
    ASSERT_EQ(sql.exitCode, 0) << sql.err;
    got = Load(out);
    for (std::size_t a = 0x2A00; a < 0x2CE0; ++a) {
        ASSERT_EQ(got[a], factory[a]) << a;
    }

    const ProgramResult write = Service("write", "sql-adjust", radio.device(), {out});
    EXPECT_EQ(write.exitCode, 0) << write.err;
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(Backups()[0].dialog, "Sql Adjust");
}

TEST_F(CliService, BadCommandLinesAndFailedTransfersSendNothing) {
    const std::string newDoc = (dir_ / "new.dat").string();
    {
        // A silent radio: anything that got as far as the line would fail with 1, not 2.
        RadioProcess silent({"--baud", "0", "--silent"});
        const std::vector<std::vector<std::string>> bad{
            {"service", "write", "--area", "sql-adjust", "--password", "qvm428", "--port",
             silent.device(), newDoc, "--force"},
            {"service", "write", "--area", "sql-adjust", "--port", silent.device(), newDoc},
            {"service", "write", "--password", kPassword, "--port", silent.device(), newDoc},
            {"service", "write", "--area", "squelch", "--password", kPassword, newDoc},
            {"service", "--area", "sql-adjust", "--password", kPassword, newDoc},
            {"service", "read", "--area", "sql-adjust", "--password", kPassword, newDoc},
            {"service", "write", "--area", "sql-adjust", "--password", kPassword, newDoc, "-o",
             newDoc},
        };
        for (const std::vector<std::string>& args : bad) {
            const ProgramResult result = RunCli(args, environment_);
            EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(args) << "\n" << result.err;
            EXPECT_EQ(result.err.find("Communication error"), std::string::npos) << result.err;
            if (&args == &bad.front()) {
                EXPECT_NE(result.err.find("wrong service password"), std::string::npos)
                    << result.err;
            }
        }
    }

    RadioProcess broken({"--baud", "0", "--memory", (dir_ / "radio.dat").string(), "--no-ack-after",
                         "3", "--save", (dir_ / "after.dat").string()});
    const ProgramResult read =
        Service("read", "sql-adjust", broken.device(), {newDoc, "-o", (dir_ / "out.dat").string()});
    EXPECT_EQ(read.exitCode, 1) << read.err;
    EXPECT_FALSE(fs::exists(dir_ / "out.dat"));
    const ProgramResult write =
        Service("write", "sql-adjust", broken.device(), {newDoc, "--force"});
    EXPECT_EQ(write.exitCode, 1) << write.err;
    EXPECT_NE(write.err.find(std::string(kNothingWrittenHint)), std::string::npos) << write.err;
    EXPECT_EQ(broken.Stop(), 0);
    EXPECT_FALSE(fs::exists(dir_ / "after.dat")) << "the radio completed no write";
    EXPECT_TRUE(Backups().empty());
}

}  // namespace
}  // namespace kestra::test
