// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/settings_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    void Put(const std::string& text) { std::ofstream(ini_, std::ios::binary) << text; }
    std::string Contents() const {
        std::ifstream in(ini_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    test::TempDir temp_{"kestra-settings"};
    const fs::path dir_ = temp_.path();
    const fs::path ini_ = dir_ / "Program.ini";
};

TEST_F(SettingsFileTest, MissingFileIsCreatedEmptyAndEveryKeyReadsItsDefault) {
    SettingsFile settings;
    ASSERT_TRUE(settings.Bind(dir_ / "fresh" / "Program.ini"));
    EXPECT_EQ(fs::file_size(dir_ / "fresh" / "Program.ini"), 0u);
    EXPECT_EQ(settings.GetInt("Setup", "COM", 0), 0);
    EXPECT_EQ(settings.GetText("Setup", "Type"), "");
    EXPECT_EQ(settings.GetText("About", "Version"), "");
    EXPECT_EQ(settings.GetText("About", "Company", "fallback"), "fallback");
    // Binding an existing file never truncates it.
    Put("[Setup]\nCOM=4\n");
    EXPECT_EQ(SettingsFile(ini_).GetInt("Setup", "COM", 0), 4);
}

TEST_F(SettingsFileTest, NamedPipeIsNeitherReadNorReplaced) {
    // Opening a pipe for reading would block start-up until someone wrote to it.
    ASSERT_EQ(::mkfifo(ini_.c_str(), 0644), 0);
    SettingsFile settings;
    EXPECT_FALSE(settings.Bind(ini_));
    EXPECT_EQ(settings.GetInt("Setup", "COM", 7), 7);
    EXPECT_EQ(settings.GetText("Setup", "Type", "none"), "none");
    EXPECT_FALSE(settings.WriteInt("Setup", "COM", 3));
    EXPECT_TRUE(fs::is_fifo(ini_));
}

TEST_F(SettingsFileTest, ChosenPortIsWrittenAsItsOwnLineAndReadBack) {
    SettingsFile settings(ini_);
    ASSERT_TRUE(settings.WriteInt("Setup", "COM", 12));
    EXPECT_EQ(Contents(), "[Setup]\nCOM=12\n");
    EXPECT_EQ(settings.GetInt("Setup", "COM", 0), 12);
    ASSERT_TRUE(settings.WriteInt("Setup", "COM", 3));
    EXPECT_EQ(Contents(), "[Setup]\nCOM=3\n");
    // Only Program.ini is left in the folder: the temporary file of the save is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    Put("[setup]\ncom = 5\n");
    SettingsFile settings(ini_);
    EXPECT_EQ(settings.GetInt("SETUP", "Com", 0), 5);
    ASSERT_TRUE(settings.WriteInt("Setup", "COM", 7));
    EXPECT_EQ(Contents(), "[setup]\ncom = 7\n");
}

TEST_F(SettingsFileTest, WriteChangesOnlyItsLineAndKeepsEverythingElseByteForByte) {
    const std::string before =
        "; written by the installer\r\n"
        "[About]\r\n"
        "Version=V1.02\r\n"
        "\r\n"
        "[Setup]\r\n"
        "# the port\r\n"
        "Type = Handheld  \r\n"
        "COM=1\r\n"
        "Unknown=keep me\r\n"
        "\r\n"
        "; settings of the other tool\r\n"
        "[Other]\r\n"
        "COM=99\r\n";
    Put(before);
    SettingsFile settings(ini_);
    ASSERT_TRUE(settings.WriteInt("Setup", "COM", 12));
    std::string expected = before;
    expected.replace(expected.find("COM=1\r"), 5, "COM=12");
    EXPECT_EQ(Contents(), expected);

    // A new key lands after the last entry of its own section, ahead of the blank line and the
    // comment that lead into the next section; a new section goes at the end of the file; both
    // keep the file's CRLF line ends.
    ASSERT_TRUE(settings.WriteText("Setup", "Device", "/dev/ttyUSB1"));
    ASSERT_TRUE(settings.WriteText("Extra", "Key", "v"));
    expected.replace(expected.find("keep me\r\n") + 9, 0, "Device=/dev/ttyUSB1\r\n");
    expected += "[Extra]\r\nKey=v\r\n";
    EXPECT_EQ(Contents(), expected);
    EXPECT_EQ(settings.GetInt("Other", "COM", 0), 99);
    EXPECT_EQ(settings.GetText("Setup", "Type"), "Handheld");

    Put("[Setup]\nType=X");  // no final line break: one is added before the new line
    ASSERT_TRUE(settings.WriteInt("Setup", "COM", 2));
    EXPECT_EQ(Contents(), "[Setup]\nType=X\nCOM=2\n");
}

TEST_F(SettingsFileTest, ValuesAreReadTheWayWindowsReadsThem) {
    Put("\xEF\xBB\xBF"
        "COM=8\n"  // before any section: belongs to none
        "[Setup]\n"
        ";COM=5\n"
        "COM  =  \"10\"  \n"
        "COM=11\n"
        "Type='quoted'\n"
        "Version=\"half\n"
        "[Setup]\n"
        "Company=second section is ignored\n");
    SettingsFile settings(ini_);
    EXPECT_EQ(settings.GetInt("Setup", "COM", -1), 10);
    EXPECT_EQ(settings.GetText("Setup", "Type"), "quoted");
    EXPECT_EQ(settings.GetText("Setup", "Version"), "\"half");
    EXPECT_EQ(settings.GetText("Setup", "Company", "none"), "none");
    ASSERT_TRUE(settings.WriteText("Setup", "Company", "Acme"));
    EXPECT_EQ(settings.GetText("Setup", "Company"), "Acme");
    EXPECT_NE(Contents().find("\"half\nCompany=Acme\n[Setup]"), std::string::npos);
}

TEST_F(SettingsFileTest, IntegersUseTheLeadingNumber) {
    Put("[Setup]\nCOM=\nType=x\nVersion= 12abc\nCopyright=-99999999999999\n");
    SettingsFile settings(ini_);
    EXPECT_EQ(settings.GetInt("Setup", "COM", 6), 6);
    EXPECT_EQ(settings.GetInt("Setup", "Type", 6), 0);
    EXPECT_EQ(settings.GetInt("Setup", "Version", 6), 12);
    EXPECT_EQ(settings.GetInt("Setup", "Copyright", 6), -2147483647 - 1);
}

TEST_F(SettingsFileTest, LongTextIsCutToItsLimitWithoutSplittingACharacter) {
    const std::string longType(300, 'T');
    Put("[Setup]\nType=" + longType + "\n");
    SettingsFile settings(ini_);
    EXPECT_EQ(settings.GetText("Setup", "Type"), std::string(259, 'T'));
    EXPECT_EQ(settings.GetText("Setup", "Type", "", 4), "TTTT");
    Put("[Setup]\nType=ab\xC3\xA9z\n");  // "abéz": é is two bytes
    EXPECT_EQ(settings.GetText("Setup", "Type", "", 3), "ab");
    EXPECT_EQ(settings.GetText("Setup", "Type", "", 4), "ab\xC3\xA9");
}

TEST_F(SettingsFileTest, WritesThatWouldBreakTheFileAreRefusedAndChangeNothing) {
    Put("[Setup]\nCOM=1\n");
    SettingsFile settings(ini_);
    EXPECT_FALSE(settings.WriteText("Setup", "Type", "evil\n[About]\nVersion=x"));
    EXPECT_FALSE(settings.WriteText("Setup", "A=B", "x"));
    EXPECT_FALSE(settings.WriteText("Se]tup", "Type", "x"));
    EXPECT_FALSE(settings.WriteText("Setup", "", "x"));
    EXPECT_EQ(Contents(), "[Setup]\nCOM=1\n");
    EXPECT_FALSE(SettingsFile().WriteInt("Setup", "COM", 1));
}

TEST_F(SettingsFileTest, SaveKeepsPermissionsAndFollowsASymbolicLink) {
    const fs::path real = dir_ / "real.ini";
    std::ofstream(real) << "[Setup]\nCOM=1\n";
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, ini_);
    SettingsFile settings(ini_);
    ASSERT_TRUE(settings.WriteInt("Setup", "COM", 5));
    EXPECT_TRUE(fs::is_symlink(ini_));
    EXPECT_EQ(settings.GetInt("Setup", "COM", 0), 5);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsFileTest, ReadOnlyFileIsNotReplacedAndTheWriteSaysWhy) {
    // Mode 0444 stops every user, root included: the rename alone would not notice it.
    Put("[Setup]\nCOM=1\n");
    ASSERT_EQ(::chmod(ini_.c_str(), 0444), 0);
    SettingsFile settings(ini_);
    const FileResult written = settings.WriteInt("Setup", "COM", 2);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.error, "Cannot save \"" + ini_.string() +
                                 "\": the file is read-only. Nothing was saved; make the file "
                                 "writable and try again.");
    EXPECT_EQ(Contents(), "[Setup]\nCOM=1\n");
    EXPECT_EQ(fs::status(ini_).permissions() & fs::perms::mask, static_cast<fs::perms>(0444));

    // Every other refusal carries its own sentence too.
    ::chmod(ini_.c_str(), 0644);
    const FileResult broken = settings.WriteText("Setup", "Type", "a\nb");
    EXPECT_NE(broken.error.find("[Setup] Type cannot be written as one line"), std::string::npos)
        << broken.error;
    EXPECT_NE(SettingsFile().WriteInt("Setup", "COM", 1).error.find("no settings file"),
              std::string::npos);
    fs::create_symlink("loop.ini", dir_ / "loop.ini");
    const FileResult looped = SettingsFile(dir_ / "loop.ini").WriteInt("Setup", "COM", 1);
    EXPECT_NE(looped.error.find("lead round in a circle"), std::string::npos) << looped.error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop.ini"));
}

TEST_F(SettingsFileTest, FailedSaveReportsFalseAndLeavesTheOldFile) {
    // /proc refuses new files even to root.
    SettingsFile unwritable;
    unwritable.Bind("/proc/self/Program.ini");
    EXPECT_FALSE(unwritable.WriteInt("Setup", "COM", 1));

    if (::geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not stop root";
    }
    Put("[Setup]\nCOM=1\n");
    SettingsFile settings(ini_);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(settings.WriteInt("Setup", "COM", 2));
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Contents(), "[Setup]\nCOM=1\n");

    // A file that cannot be read is neither truncated by Bind nor replaced by a write.
    fs::permissions(ini_, fs::perms::none);
    SettingsFile blind;
    EXPECT_FALSE(blind.Bind(ini_));
    EXPECT_FALSE(blind.WriteInt("Setup", "COM", 3));
    fs::permissions(ini_, fs::perms::owner_read);
    EXPECT_EQ(Contents(), "[Setup]\nCOM=1\n");
}

}  // namespace
}  // namespace kestra
