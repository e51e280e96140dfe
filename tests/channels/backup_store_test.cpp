// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups: their names, the folder they live in, keeping one, listing newest first
// and pruning to the newest 100 without touching other files.

#include "channels/backup_store.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "channels/image_preparation.hpp"
#include "model/document_file.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::chrono::system_clock::time_point At(int offsetSeconds) {
    // A fixed moment; only the order of the backups matters to the tests.
    return std::chrono::system_clock::from_time_t(1'700'000'000) + seconds(offsetSeconds);
}

TEST(BackupStore, NamesCarryDateTimeKindAndModelAndReadBack) {
    const BackupStamp stamp{2024, 5, 1, 14, 3, 22};
    EXPECT_EQ(BackupFileName(stamp, BackupKind::Read, "6120E", 1),
              "2024-05-01_14-03-22_read_6120E.dat");
    EXPECT_EQ(BackupFileName(stamp, BackupKind::Write, "unknown", 3),
              "2024-05-01_14-03-22_write_unknown-3.dat");

    const auto entry = ParseBackupFileName("2024-05-01_14-03-22_write_6120HE-12.dat");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->stamp, stamp);
    EXPECT_EQ(entry->kind, BackupKind::Write);
    EXPECT_EQ(entry->model, "6120HE");
    EXPECT_EQ(entry->sequence, 12);
    for (const char* other : {"radio.dat", "2024-05-01_14-03-22_read_6120E.dat.tmp",
                              "2024-05-01_14-03-22_copy_6120E.dat", "2024-05-01_14-03_read_X.dat",
                              "2024-05-01_14-03-22_read_.dat", "2024-05-01_14-03-22_read_X-1.dat",
                              "2024-05-01_14-03-22_read_6120E-.dat"}) {
        EXPECT_FALSE(ParseBackupFileName(other)) << other;
    }
}

TEST(BackupStore, ServiceBackupsNameTheirDialogAndListWithIt) {
    const BackupStamp stamp{2024, 5, 1, 14, 3, 22};
    EXPECT_EQ(BackupFileName(stamp, BackupKind::Service, "unknown", 2, "DTMF Initialization"),
              "2024-05-01_14-03-22_service-DTMF-Initialization_unknown-2.dat");

    test::TempDir temp("kestra-backups");
    const BackupResult kept = KeepBackup(temp.path(), MemoryImage(), BackupKind::Service, At(0),
                                         kBackupsKept, "Parameter Adjust");
    ASSERT_TRUE(kept.ok()) << kept.error;
    const auto listed = ListBackups(temp.path());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].kind, BackupKind::Service);
    EXPECT_EQ(listed[0].dialog, "Parameter Adjust");
    EXPECT_EQ(listed[0].model, "unknown");
    EXPECT_EQ(BackupKindLabel(listed[0]), "service (Parameter Adjust)");

    const auto plain = ParseBackupFileName("2024-05-01_14-03-22_service_6120E.dat");
    ASSERT_TRUE(plain);
    EXPECT_EQ(BackupKindLabel(*plain), "service");
    for (const char* other :
         {"2024-05-01_14-03-22_service-_6120E.dat", "2024-05-01_14-03-22_services_6120E.dat",
          "2024-05-01_14-03-22_service-Sql.Adjust_6120E.dat"}) {
        EXPECT_FALSE(ParseBackupFileName(other)) << other;
    }
}

TEST(BackupStore, FolderFollowsKestraHomeThenTheUsersDataFolder) {
    ScopedEnvironment home("HOME", "/home/ham");
    {
        ScopedEnvironment kestra("KESTRA_HOME", "/opt/kestra-test");
        EXPECT_EQ(BackupDirectory(), fs::path("/opt/kestra-test/backups"));
    }
    ScopedEnvironment noKestra("KESTRA_HOME", nullptr);
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/data/ham");
        EXPECT_EQ(BackupDirectory(), fs::path("/data/ham/kestra/backups"));
    }
    ScopedEnvironment relative("XDG_DATA_HOME", "relative/path");  // ignored, as XDG says
    EXPECT_EQ(BackupDirectory(), fs::path("/home/ham/.local/share/kestra/backups"));
}

TEST(BackupStore, KeepsTheImageUnderANameOfItsOwnEvenWithinOneSecond) {
    test::TempDir temp("kestra-backups");
    const fs::path folder = temp.path() / "new" / "backups";  // created on the way
    MemoryImage image = BuiltInDocumentImage();
    WriteModelBlock(image, 1);  // "6120N"

    const BackupResult first = KeepBackup(folder, image, BackupKind::Read, At(0));
    ASSERT_TRUE(first.ok()) << first.error;
    EXPECT_EQ(first.path.parent_path(), folder);
    EXPECT_TRUE(first.path.filename().string().ends_with("_read_6120N.dat"));
    MemoryImage back;
    ASSERT_TRUE(LoadDocumentFile(first.path, back).ok);
    EXPECT_EQ(back, image);

    const BackupResult second =
        KeepBackup(folder, BuiltInDocumentImage(), BackupKind::Write, At(0));
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_NE(second.path, first.path);
    EXPECT_TRUE(second.path.filename().string().ends_with("_write_unknown-2.dat"));

    const auto listed = ListBackups(folder);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, second.path);  // newest first
    EXPECT_EQ(listed[1].path, first.path);
}

TEST(BackupStore, OnlyTheNewestHundredAreKeptAndOtherFilesStay) {
    test::TempDir temp("kestra-backups");
    const fs::path folder = temp.path();
    std::ofstream(folder / "my-radio.dat") << "not a backup";
    fs::create_directory(folder / "2020-01-01_00-00-00_read_X.dat");  // a folder, not a backup
    const MemoryImage image = BuiltInDocumentImage();
    std::vector<fs::path> kept;
    for (int i = 0; i < 103; ++i) {
        const BackupResult result = KeepBackup(folder, image, BackupKind::Read, At(i * 60));
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_TRUE(result.warnings.empty());
        kept.push_back(result.path);
    }
    const auto listed = ListBackups(folder);
    ASSERT_EQ(listed.size(), static_cast<std::size_t>(kBackupsKept));
    EXPECT_EQ(listed.front().path, kept.back());
    EXPECT_EQ(listed.back().path, kept[3]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(fs::exists(kept[static_cast<std::size_t>(i)])) << i;
    }
    EXPECT_TRUE(fs::exists(folder / "my-radio.dat"));
    EXPECT_TRUE(fs::is_directory(folder / "2020-01-01_00-00-00_read_X.dat"));
}

TEST(BackupStore, AFolderThatCannotBeMadeIsReportedNotThrown) {
    test::TempDir temp("kestra-backups");
    std::ofstream(temp.path() / "file") << "x";
    const BackupResult result = KeepBackup(temp.path() / "file" / "backups", BuiltInDocumentImage(),
                                           BackupKind::Read, At(0));
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("Cannot create the backup folder"), std::string::npos)
        << result.error;
}

}  // namespace
}  // namespace kestra
