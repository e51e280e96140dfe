// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli saving onto awkward targets: every refusal reaches the terminal as one line, exits
// with status 1 and leaves the target exactly as it was; a dangling link is saved through.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "e2e/processes.hpp"
#include "model/document_file.hpp"

namespace kestra::test {
namespace {

namespace fs = std::filesystem;

class CliSave : public ::testing::Test {
protected:
    ProgramResult Cli(std::vector<std::string> options) {
        return RunCli(std::move(options), {"KESTRA_HOME=" + dir.path().string()});
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void ExpectRefused(const ProgramResult& result, const std::string& target,
                       const std::string& why) const {
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.err.rfind("kestra-cli: Cannot save \"" + target + "\": " + why, 0), 0u)
            << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
    }

    TempDir dir;
};

TEST_F(CliSave, ReadOnlyTargetIsRefusedByEveryCommandThatSaves) {
    ASSERT_TRUE(SaveDocumentFile(Path("in.dat"), BuiltInDocumentImage()));
    const std::string old(kImageSize, '\x5A');
    std::ofstream(Path("ro.dat"), std::ios::binary) << old;
    ASSERT_EQ(::chmod(Path("ro.dat").c_str(), 0444), 0);

    ExpectRefused(Cli({"save-as", Path("in.dat"), Path("ro.dat")}), Path("ro.dat"),
                  "the file is read-only.");
    ExpectRefused(Cli({"new", "-o", Path("ro.dat")}), Path("ro.dat"), "the file is read-only.");
    // read checks the target before it wakes the radio: no port is ever opened.
    const ProgramResult read = Cli({"read", "--port", Path("no-such-port"), "-o", Path("ro.dat")});
    ExpectRefused(read, Path("ro.dat"), "the file is read-only.");
    EXPECT_EQ(read.err.find("Open port fail"), std::string::npos) << read.err;

    EXPECT_EQ(ReadText(Path("ro.dat")), old);
    struct stat info {};
    ASSERT_EQ(::stat(Path("ro.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

TEST_F(CliSave, LinksThatLoopAreRefusedAndDanglingOnesSavedThrough) {
    ASSERT_TRUE(SaveDocumentFile(Path("in.dat"), BuiltInDocumentImage()));
    fs::create_symlink("loop-b.dat", dir / "loop-a.dat");
    fs::create_symlink("loop-a.dat", dir / "loop-b.dat");
    ExpectRefused(Cli({"save-as", Path("in.dat"), Path("loop-a.dat")}), Path("loop-a.dat"),
                  "its symbolic links lead round in a circle.");
    EXPECT_TRUE(fs::is_symlink(dir / "loop-a.dat"));

    fs::create_symlink("later.dat", dir / "dangling.dat");
    const ProgramResult saved = Cli({"save-as", Path("in.dat"), Path("dangling.dat")});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.dat"));
    MemoryImage image;
    EXPECT_TRUE(LoadDocumentFile(Path("later.dat"), image));
}

TEST_F(CliSave, LongestFileNameSaves) {
    const std::string name(255 - 4, 'x');
    const ProgramResult made = Cli({"new", "-o", Path(name + ".dat")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(fs::file_size(dir / (name + ".dat")), kImageSize);
}

}  // namespace
}  // namespace kestra::test
