// SPDX-License-Identifier: GPL-3.0-or-later
// The atomic save under the file system's awkward cases: read-only files (for root too, which
// is how CI runs), symbolic links that loop or dangle, names as long as the system allows, and
// what the replaced file keeps.

#include "model/atomic_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    static void Put(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Get(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The folder's entries, so a test sees any temporary file left behind.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static FileResult Save(const fs::path& path, std::string_view text) {
        return ReplaceFileAtomically({path, "document file"}, text);
    }

    test::TempDir temp_{"kestra-atomic"};
    const fs::path dir_ = temp_.path();
};

TEST_F(AtomicFileTest, ReadOnlyFileIsRefusedAndKeptForEveryUserIncludingRoot) {
    const fs::path path = dir_ / "radio.dat";
    for (const mode_t mode : {0444, 0400, 0440}) {
        Put(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);

        const FileResult checked = CheckReplaceable({path, "document file"});
        const FileResult saved = Save(path, "new");
        EXPECT_FALSE(checked) << mode;
        EXPECT_FALSE(saved) << mode;
        EXPECT_EQ(saved.error, checked.error);
        EXPECT_EQ(saved.error, "Cannot save \"" + path.string() +
                                   "\": the file is read-only. Nothing was saved; make the file "
                                   "writable and try again.");
        EXPECT_EQ(Get(path), "old");
        EXPECT_EQ(Entries(), std::vector<std::string>{"radio.dat"});
        ::chmod(path.c_str(), 0644);
    }

    // A file some write bit allows is saved, and keeps its mode (here: only its group writes).
    Put(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0464), 0);
    if (::geteuid() == 0) {
        ASSERT_TRUE(Save(path, "new"));
        EXPECT_EQ(Get(path), "new");
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::mask, static_cast<fs::perms>(0464));
    }
}

TEST_F(AtomicFileTest, ReadOnlyTargetBehindALinkIsRefusedToo) {
    Put(dir_ / "real.dat", "old");
    ASSERT_EQ(::chmod((dir_ / "real.dat").c_str(), 0444), 0);
    fs::create_symlink("real.dat", dir_ / "link.dat");
    const FileResult saved = Save(dir_ / "link.dat", "new");
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.error.find("link.dat\": the file is read-only"), std::string::npos);
    EXPECT_EQ(Get(dir_ / "real.dat"), "old");
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.dat"));
}

TEST_F(AtomicFileTest, SymbolicLinkLoopsFailWithAMessageAndStayLinks) {
    fs::create_symlink("b.dat", dir_ / "a.dat");
    fs::create_symlink("a.dat", dir_ / "b.dat");
    fs::create_symlink("self.dat", dir_ / "self.dat");
    for (const char* name : {"a.dat", "self.dat"}) {
        const fs::path path = dir_ / name;
        const FileResult checked = CheckReplaceable({path, "document file"});
        const FileResult saved = Save(path, "new");
        EXPECT_FALSE(checked) << name;
        ASSERT_FALSE(saved) << name;
        EXPECT_EQ(saved.error, checked.error);
        EXPECT_NE(saved.error.find("symbolic links lead round in a circle"), std::string::npos)
            << saved.error;
        EXPECT_TRUE(fs::is_symlink(path)) << name;
    }
    EXPECT_EQ(fs::read_symlink(dir_ / "a.dat"), "b.dat");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.dat", "b.dat", "self.dat"}));
}

TEST_F(AtomicFileTest, ALongChainOfLinksIsNoLoop) {
    // 41 links one after another, each to the next: longer than the system follows, no circle.
    Put(dir_ / "target.dat", "old");
    for (int i = 0; i <= 40; ++i) {
        const std::string next = i == 40 ? "target.dat" : "l" + std::to_string(i + 1);
        fs::create_symlink(next, dir_ / ("l" + std::to_string(i)));
    }
    const FileResult saved = Save(dir_ / "l0", "new");
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error.find("circle"), std::string::npos) << saved.error;
    EXPECT_NE(saved.error.find("more than 40 symbolic links"), std::string::npos) << saved.error;
    EXPECT_EQ(Get(dir_ / "target.dat"), "old");
    // One link fewer is followed to the end.
    ASSERT_TRUE(Save(dir_ / "l1", "new"));
    EXPECT_EQ(Get(dir_ / "target.dat"), "new");
}

TEST_F(AtomicFileTest, ANewFileTakesTheFirstFreeNameAndReplacesNothing) {
    Put(dir_ / "a.dat", "theirs");
    fs::create_symlink("nowhere.dat", dir_ / "b.dat");  // taken too, though it leads nowhere
    const std::vector<std::string> names{"a.dat", "b.dat", "c.dat"};
    const auto nameFor = [&names](int attempt) { return names[static_cast<std::size_t>(attempt)]; };
    fs::path created;
    const std::string bytes = "mine";
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size());
    ASSERT_TRUE(CreateNewFile(dir_, "backup", data, nameFor, 3, created));
    EXPECT_EQ(created, dir_ / "c.dat");
    EXPECT_EQ(Get(dir_ / "c.dat"), "mine");
    EXPECT_EQ(Get(dir_ / "a.dat"), "theirs");
    EXPECT_TRUE(fs::is_symlink(dir_ / "b.dat"));

    // Every name taken: a failure that names the first, and no temporary file left behind.
    const FileResult full = CreateNewFile(dir_, "backup", data, nameFor, 3, created);
    EXPECT_FALSE(full);
    EXPECT_NE(full.error.find("a.dat"), std::string::npos) << full.error;
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.dat", "b.dat", "c.dat"}));
}

TEST_F(AtomicFileTest, DanglingLinksAreSavedThroughToTheFileTheyName) {
    // A relative link is read from its own folder, also along a chain into another folder.
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("sub/hop.dat", dir_ / "link.dat");
    fs::create_symlink("../target.dat", dir_ / "sub" / "hop.dat");

    ASSERT_TRUE(CheckReplaceable({dir_ / "link.dat", "document file"}));
    const FileResult saved = Save(dir_ / "link.dat", "first");
    ASSERT_TRUE(saved) << saved.error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.dat"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "sub" / "hop.dat"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_ / "target.dat")));
    EXPECT_EQ(Get(dir_ / "target.dat"), "first");

    // Saved again, the links still lead to the one file.
    ASSERT_TRUE(Save(dir_ / "link.dat", "second"));
    EXPECT_EQ(Get(dir_ / "target.dat"), "second");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link.dat", "sub", "target.dat"}));

    // A dangling link into a folder that does not exist cannot be saved through.
    fs::create_symlink("nowhere/x.dat", dir_ / "lost.dat");
    const FileResult lost = Save(dir_ / "lost.dat", "x");
    EXPECT_FALSE(lost);
    EXPECT_NE(lost.error.find("no such file or directory"), std::string::npos) << lost.error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "lost.dat"));
}

TEST_F(AtomicFileTest, NamesUpToTheSystemsLongestSave) {
    const long nameMax = ::pathconf(dir_.c_str(), _PC_NAME_MAX);
    ASSERT_GT(nameMax, 0);
    for (const long length : {243L, 250L, nameMax}) {
        const fs::path path =
            dir_ / (std::string(static_cast<std::size_t>(length) - 4, 'n') + ".dat");
        Put(path, "old");
        const FileResult saved = Save(path, "new");
        ASSERT_TRUE(saved) << length << ": " << saved.error;
        EXPECT_EQ(Get(path), "new");
        fs::remove(path);
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(AtomicFileTest, ReplacedFileKeepsItsOwnerWhereTheSystemAllows) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may hand a file to another user";
    }
    const fs::path path = dir_ / "radio.dat";
    Put(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0620), 0);
    ASSERT_TRUE(Save(path, "new"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
    EXPECT_EQ(info.st_mode & 07777, 0620u);
    EXPECT_EQ(Get(path), "new");
}

TEST_F(AtomicFileTest, RefusalsNameTheKindOfFile) {
    fs::create_directory(dir_ / "folder");
    const FileResult folder = ReplaceFileAtomically({dir_ / "folder", "settings file"}, "x");
    EXPECT_EQ(folder.error, "Cannot save \"" + (dir_ / "folder").string() +
                                "\": it is a folder, not a settings "
                                "file.");
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
}

}  // namespace
}  // namespace kestra
