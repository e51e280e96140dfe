// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/program_directory.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ProgramDirectoryTest : public ::testing::Test {
protected:
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    test::TempDir temp_{"kestra-home"};
    const fs::path dir_ = temp_.path();
};

TEST_F(ProgramDirectoryTest, IsTheExecutablesFolderUnlessKestraHomeSaysOtherwise) {
    {
        ScopedEnv home("KESTRA_HOME", nullptr);
        // Test programs are built into the build root.
        EXPECT_EQ(fs::canonical(ProgramDirectory()), fs::canonical(KESTRA_BINARY_DIR));
    }
    {
        ScopedEnv home("KESTRA_HOME", "");
        EXPECT_EQ(fs::canonical(ProgramDirectory()), fs::canonical(KESTRA_BINARY_DIR));
    }
    {
        ScopedEnv home("KESTRA_HOME", dir_.c_str());
        EXPECT_EQ(ProgramDirectory(), dir_);
    }
    {
        // A relative KESTRA_HOME is taken from the folder the program was started in.
        ScopedEnv home("KESTRA_HOME", "some/where");
        EXPECT_EQ(ProgramDirectory(), (fs::current_path() / "some/where").lexically_normal());
    }
}

TEST_F(ProgramDirectoryTest, ReadOnlyInstallFallsBackToACopyInTheUserFolder) {
    const fs::path program = dir_ / "program";
    const fs::path user = dir_ / "config" / "kestra";
    fs::create_directories(program);
    std::ofstream(program / "Program.ini") << "[Setup]\nType=Installed\n";
    const auto always = [](const fs::path&) { return true; };
    EXPECT_EQ(ResolveSettingsFile(program, user, always), program / "Program.ini");
    EXPECT_FALSE(fs::exists(user));

    fs::path asked;
    const auto never = [&](const fs::path& p) {
        asked = p;
        return false;
    };
    const fs::path chosen = ResolveSettingsFile(program, user, never);
    EXPECT_EQ(asked, program / "Program.ini");
    EXPECT_EQ(chosen, user / "Program.ini");
    // The installer's lines carry over the first time ...
    EXPECT_EQ(Read(chosen), "[Setup]\nType=Installed\n");
    // ... and the user's own file is never overwritten afterwards.
    std::ofstream(chosen) << "[Setup]\nCOM=4\n";
    EXPECT_EQ(ResolveSettingsFile(program, user, never), chosen);
    EXPECT_EQ(Read(chosen), "[Setup]\nCOM=4\n");
}

TEST_F(ProgramDirectoryTest, AnInstalledCopyKeepsItsSettingsInTheUsersFolderWhoeverRunsIt) {
    ScopedEnv home("KESTRA_HOME", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "config").c_str());
    const fs::path user = dir_ / "config" / "kestra" / "Program.ini";
    // A writable bin/ folder of a prefix (a DESTDIR stage, or /usr/bin for root).
    const fs::path stage = dir_ / "stage" / "usr" / "bin";
    fs::create_directories(stage);
    EXPECT_TRUE(IsInstalledProgramDirectory(stage));
    EXPECT_TRUE(IsInstalledProgramDirectory("/usr/local/bin/"));
    EXPECT_EQ(SettingsFilePath(stage), user);
    EXPECT_FALSE(fs::exists(stage / "Program.ini"));
    // An administrator's Program.ini beside it is where the user's starts from.
    fs::remove(user);
    std::ofstream(stage / "Program.ini") << "[Setup]\nType=Installed\n";
    EXPECT_EQ(SettingsFilePath(stage), user);
    EXPECT_EQ(Read(user), "[Setup]\nType=Installed\n");

    // A build tree keeps Program.ini beside the program, whatever its folder is called.
    const fs::path build = dir_ / "build";
    fs::create_directories(build);
    EXPECT_FALSE(IsInstalledProgramDirectory(build));
    EXPECT_EQ(SettingsFilePath(build), build / "Program.ini");
    const fs::path namedBin = dir_ / "tree" / "bin";
    fs::create_directories(namedBin);
    std::ofstream(namedBin / "CMakeCache.txt") << "";
    EXPECT_FALSE(IsInstalledProgramDirectory(namedBin));
    EXPECT_EQ(SettingsFilePath(namedBin), namedBin / "Program.ini");
    // KESTRA_HOME names the folder outright, even a bin/ one.
    ScopedEnv named("KESTRA_HOME", stage.c_str());
    EXPECT_EQ(SettingsFilePath(stage), stage / "Program.ini");
}

TEST_F(ProgramDirectoryTest, RealPermissionCheck) {
    EXPECT_TRUE(CanKeepSettingsAt(dir_ / "Program.ini"));
    EXPECT_TRUE(CanKeepSettingsAt(dir_ / "not" / "yet" / "Program.ini"));
    // A read-only Program.ini could not be saved, by root either, so the settings move.
    std::ofstream(dir_ / "Program.ini") << "";
    fs::permissions(dir_ / "Program.ini", static_cast<fs::perms>(0444));
    EXPECT_FALSE(CanKeepSettingsAt(dir_ / "Program.ini"));
    fs::permissions(dir_ / "Program.ini", static_cast<fs::perms>(0644));
    EXPECT_TRUE(CanKeepSettingsAt(dir_ / "Program.ini"));
    if (::geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not stop root";
    }
    std::ofstream(dir_ / "Program.ini") << "";
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(CanKeepSettingsAt(dir_ / "Program.ini"));
    EXPECT_FALSE(CanKeepSettingsAt(dir_ / "sub" / "Program.ini"));
    fs::permissions(dir_, fs::perms::owner_all);
    fs::permissions(dir_ / "Program.ini", fs::perms::owner_read);
    EXPECT_FALSE(CanKeepSettingsAt(dir_ / "Program.ini"));
}

}  // namespace
}  // namespace kestra
