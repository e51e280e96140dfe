// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups: their names, the folder they live in, keeping one, listing newest first
// and pruning to the newest 100 without touching other files.

#include "channels/backup_store.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <ctime>

#include <atomic>
#include <fstream>
#include <thread>

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

TEST(BackupStore, NamesCarryUtcDateTimeKindModelAndNumberAndReadBack) {
    const BackupStamp stamp{2024, 5, 1, 14, 3, 22};
    EXPECT_EQ(BackupFileName(stamp, BackupKind::Read, "6120E", 1),
              "2024-05-01_14-03-22Z_read_6120E_000001.dat");
    EXPECT_EQ(BackupFileName(stamp, BackupKind::Write, "unknown", 1234567),
              "2024-05-01_14-03-22Z_write_unknown_1234567.dat");
    const auto numbered = ParseBackupFileName("2024-05-01_14-03-22Z_read_6120E_000042.dat");
    ASSERT_TRUE(numbered);
    EXPECT_TRUE(numbered->utc);
    EXPECT_EQ(numbered->number, 42);
    EXPECT_EQ(numbered->model, "6120E");

    // The names of older versions (local time, "-N" within one second) still read.
    const auto entry = ParseBackupFileName("2024-05-01_14-03-22_write_6120HE-12.dat");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->stamp, stamp);
    EXPECT_FALSE(entry->utc);
    EXPECT_EQ(entry->number, 0);
    EXPECT_EQ(entry->kind, BackupKind::Write);
    EXPECT_EQ(entry->model, "6120HE");
    EXPECT_EQ(entry->sequence, 12);
    for (const char* other :
         {"radio.dat", "2024-05-01_14-03-22_read_6120E.dat.tmp",
          "2024-05-01_14-03-22_copy_6120E.dat", "2024-05-01_14-03_read_X.dat",
          "2024-05-01_14-03-22_read_.dat", "2024-05-01_14-03-22_read_X-1.dat",
          "2024-05-01_14-03-22_read_6120E-.dat", "2024-05-01_14-03-22Z_read_6120E.dat",
          "2024-05-01_14-03-22Z_read_6120E_000000.dat", "2024-05-01_14-03-22_read_6120E_000001.dat",
          // Dates that cannot be, and numbers too long to be ours (no overflow either).
          "2024-13-01_14-03-22_read_6120E.dat", "2023-02-29_14-03-22_read_6120E.dat",
          "2024-04-31_14-03-22_read_6120E.dat", "2024-05-01_24-00-00_read_6120E.dat",
          "2024-05-01_14-03-22_read_6120E-99999999999999999999.dat",
          "2024-05-01_14-03-22Z_read_6120E_4294967297.dat"}) {
        EXPECT_FALSE(ParseBackupFileName(other)) << other;
    }
    EXPECT_TRUE(ParseBackupFileName("2024-02-29_23-59-60_read_6120E.dat"));
}

TEST(BackupStore, ListsShowTheLocalTimeOfAUtcName) {
    {
        ScopedEnvironment zone("TZ", "XYZ-2");  // two hours east of UTC, no summer time
        ::tzset();
        const auto utc = ParseBackupFileName("2024-05-01_23-30-00Z_read_6120E_000001.dat");
        EXPECT_EQ(ShownStamp(*utc), (BackupStamp{2024, 5, 2, 1, 30, 0}));
        const auto local = ParseBackupFileName("2024-05-01_23-30-00_read_6120E.dat");
        EXPECT_EQ(ShownStamp(*local), (BackupStamp{2024, 5, 1, 23, 30, 0}));  // already local
    }
    ::tzset();
}

TEST(BackupStore, ServiceBackupsNameTheirDialogAndListWithIt) {
    const BackupStamp stamp{2024, 5, 1, 14, 3, 22};
    EXPECT_EQ(BackupFileName(stamp, BackupKind::Service, "unknown", 2, "DTMF Initialization"),
              "2024-05-01_14-03-22Z_service-DTMF-Initialization_unknown_000002.dat");

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
    EXPECT_TRUE(first.path.filename().string().ends_with("Z_read_6120N_000001.dat"));
    MemoryImage back;
    ASSERT_TRUE(LoadDocumentFile(first.path, back).ok);
    EXPECT_EQ(back, image);

    const BackupResult second =
        KeepBackup(folder, BuiltInDocumentImage(), BackupKind::Write, At(0));
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_NE(second.path, first.path);
    EXPECT_TRUE(second.path.filename().string().ends_with("Z_write_unknown_000002.dat"));

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

// A folder of backups named by an older version while the clock stood far ahead (or in a time
// zone further east): each new backup is still the newest, kept, and the oldest goes.
TEST(BackupStore, NamesFromAClockSetAheadNeverPushOutTheNewBackup) {
    test::TempDir temp("kestra-backups");
    const fs::path folder = temp.path();
    const MemoryImage image = BuiltInDocumentImage();
    for (int i = 0; i < kBackupsKept; ++i) {
        char name[48];
        std::snprintf(name, sizeof name, "2099-01-01_00-%02d-%02d_read_6120E.dat", i / 60, i % 60);
        ASSERT_TRUE(SaveDocumentFile(folder / name, image)) << name;
    }
    ASSERT_EQ(ListBackups(folder).size(), static_cast<std::size_t>(kBackupsKept));
    std::vector<fs::path> made;
    for (int i = 0; i < 3; ++i) {
        const BackupResult kept = KeepBackup(folder, image, BackupKind::Read, At(i));
        ASSERT_TRUE(kept.ok()) << kept.error;
        EXPECT_TRUE(fs::exists(kept.path));
        made.push_back(kept.path);
    }
    const auto listed = ListBackups(folder);
    ASSERT_EQ(listed.size(), static_cast<std::size_t>(kBackupsKept));
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(listed[i].path, made[made.size() - 1 - i]) << i;
    }
    // The oldest three of the far-future names went.
    EXPECT_FALSE(fs::exists(folder / "2099-01-01_00-00-00_read_6120E.dat"));
    EXPECT_TRUE(fs::exists(folder / "2099-01-01_00-00-03_read_6120E.dat"));
}

TEST(BackupStore, AClockSetBackDoesNotTurnTheOrderOver) {
    test::TempDir temp("kestra-backups");
    const MemoryImage image = BuiltInDocumentImage();
    const BackupResult before = KeepBackup(temp.path(), image, BackupKind::Read, At(86400));
    const BackupResult after = KeepBackup(temp.path(), image, BackupKind::Write, At(0));
    ASSERT_TRUE(before.ok() && after.ok());
    const auto listed = ListBackups(temp.path());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, after.path);
    // Only one may stay: it is the one just made, whatever its date.
    EXPECT_TRUE(PruneBackups(temp.path(), 1, before.path).empty());
    EXPECT_TRUE(fs::exists(before.path));
    EXPECT_FALSE(fs::exists(after.path));
}

TEST(BackupStore, ANameTakenMeanwhileIsNeverWrittenOver) {
    test::TempDir temp("kestra-backups");
    const fs::path folder = temp.path();
    // The next name is held already, by something no list shows (a link to nowhere yet).
    const fs::path taken = folder / BackupFileName(UtcStamp(At(0)), BackupKind::Read, "unknown", 1);
    fs::create_symlink(folder / "elsewhere.dat", taken);
    const BackupResult kept = KeepBackup(folder, BuiltInDocumentImage(), BackupKind::Read, At(0));
    ASSERT_TRUE(kept.ok()) << kept.error;
    EXPECT_TRUE(kept.path.filename().string().ends_with("_000002.dat")) << kept.path;
    EXPECT_TRUE(fs::is_symlink(taken));
    EXPECT_FALSE(fs::exists(folder / "elsewhere.dat"));

    // Many transfers finishing in the same second each keep a backup of their own.
    constexpr int kThreads = 8;
    constexpr int kEach = 10;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) {
                failures += KeepBackup(folder, BuiltInDocumentImage(), BackupKind::Read, At(0)).ok()
                                ? 0
                                : 1;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(ListBackups(folder).size(), static_cast<std::size_t>(1 + kThreads * kEach));
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
