// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/document_file.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;

class DocumentFileTest : public ::testing::Test {
protected:
    static void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::vector<std::uint8_t> Pattern(std::size_t size, int seed) {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(seed)) % 251);
        }
        return bytes;
    }
    static MemoryImage ImageOf(const std::vector<std::uint8_t>& bytes) {
        MemoryImage image;
        for (std::size_t i = 0; i < kImageSize && i < bytes.size(); ++i) {
            image[i] = bytes[i];
        }
        return image;
    }
    std::vector<fs::path> Entries() const {
        std::vector<fs::path> entries;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            entries.push_back(entry.path().filename());
        }
        return entries;
    }

    test::TempDir temp_{"kestra-doc"};
    const fs::path dir_ = temp_.path();
};

TEST_F(DocumentFileTest, NewDocumentWithoutTemplateHoldsTheBuiltInDefaults) {
    std::vector<std::uint8_t> expected(kImageSize, 0xFF);
    for (std::size_t r = 0; r < 258; ++r) {
        const std::size_t b = r * 32;
        expected[b + 12] = 0x00;
        expected[b + 13] = 0x38;
        expected[b + 15] = 0x00;
        expected[b + 16] = 0x00;
        expected[b + 17] = 0x00;
        expected[b + 18] = 0x00;
        expected[b + 19] = 0x01;
        expected[b + 20] = 0x00;
        expected[b + 21] = 0x00;
    }
    const std::pair<std::size_t, std::uint8_t> settings[] = {{0x1F77, 0x0A},
                                                             {0x2040, 0x1E},
                                                             {0x2042, 0x04},
                                                             {0x2043, 0x04},
                                                             {0x2044, 0x04},
                                                             {0x2046, 0x05},
                                                             {0x2047, 0x01},
                                                             {0x2048, 0x03},
                                                             {0x2049, 0x0E},
                                                             {0x204A, 0x90},
                                                             {0x204B, 0x28},
                                                             {0x204C, 0x8A},
                                                             {0x204D, 0x0D},
                                                             {0x2080, 0x32},
                                                             {0x2081, 0x04},
                                                             {0x2082, 0x02},
                                                             {0x2083, 0x02},
                                                             {0x20A8, 0x0E},
                                                             {0x20D8, 0x0A},
                                                             {0x20D9, 0x45},
                                                             {0x20DA, 0xFA},
                                                             {0x20DB, 0x0A},
                                                             {0x20DD, 0x0E},
                                                             // DTMF "100" and "100*100"
                                                             {0x20B0, 0x01},
                                                             {0x20B1, 0x00},
                                                             {0x20B2, 0x00},
                                                             {0x20E0, 0x01},
                                                             {0x20E1, 0x00},
                                                             {0x20E2, 0x00},
                                                             {0x20E3, 0x0E},
                                                             {0x20E4, 0x01},
                                                             {0x20E5, 0x00},
                                                             {0x20E6, 0x00}};
    for (const auto& [offset, value] : settings) {
        expected[offset] = value;
    }

    const MemoryImage image = NewDocumentImage(dir_);
    for (std::size_t i = 0; i < kImageSize; ++i) {
        ASSERT_EQ(image[i], expected[i]) << "offset 0x" << std::hex << i;
    }
    EXPECT_EQ(image, BuiltInDocumentImage());
}

TEST_F(DocumentFileTest, NewDocumentUsesDefaultDatAsItIs) {
    const auto shortTemplate = Pattern(100, 1);
    WriteBytes(dir_ / "Default.dat", shortTemplate);
    MemoryImage image = NewDocumentImage(dir_);
    EXPECT_EQ(image, ImageOf(shortTemplate));  // no built-in defaults after the 100 bytes

    const auto longTemplate = Pattern(kImageSize + 500, 2);
    WriteBytes(dir_ / "Default.dat", longTemplate);
    image = NewDocumentImage(dir_);
    EXPECT_EQ(image, ImageOf(longTemplate));
}

TEST_F(DocumentFileTest, UnreadableDefaultDatFallsBackToBuiltInDefaults) {
    fs::create_directory(dir_ / "Default.dat");
    EXPECT_EQ(NewDocumentImage(dir_), BuiltInDocumentImage());
    // A named pipe would block the start-up until someone wrote into it.
    fs::remove(dir_ / "Default.dat");
    ASSERT_EQ(::mkfifo((dir_ / "Default.dat").c_str(), 0600), 0);
    EXPECT_EQ(NewDocumentImage(dir_), BuiltInDocumentImage());

    // A template that opens but fails to read: this process's memory file answers offset 0
    // with an I/O error.
    if (!fs::exists("/proc/self/mem")) {
        GTEST_SKIP() << "no /proc/self/mem";
    }
    fs::remove(dir_ / "Default.dat");
    fs::create_symlink("/proc/self/mem", dir_ / "Default.dat");
    EXPECT_EQ(NewDocumentImage(dir_), BuiltInDocumentImage());
}

TEST_F(DocumentFileTest, FailedLoadsReportAndLeaveTheImageUnchanged) {
    const MemoryImage before = ImageOf(Pattern(kImageSize, 3));
    MemoryImage image = before;

    WriteBytes(dir_ / "short.dat", Pattern(kImageSize - 1, 4));
    fs::create_directory(dir_ / "folder.dat");
    // A named pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo((dir_ / "pipe.dat").c_str(), 0600), 0);
    for (const char* name : {"short.dat", "missing.dat", "folder.dat", "pipe.dat"}) {
        const FileResult result = LoadDocumentFile(dir_ / name, image);
        EXPECT_FALSE(result) << name;
        EXPECT_NE(result.error.find(name), std::string::npos) << result.error;
        EXPECT_EQ(image, before) << name;
    }
    EXPECT_NE(LoadDocumentFile(dir_ / "short.dat", image).error.find("16383 bytes"),
              std::string::npos);
    EXPECT_NE(LoadDocumentFile(dir_ / "pipe.dat", image).error.find("not a document file"),
              std::string::npos);
}

TEST_F(DocumentFileTest, LongerFileLoadsItsFirstImage) {
    const auto bytes = Pattern(kImageSize + 100, 5);
    WriteBytes(dir_ / "long.dat", bytes);
    MemoryImage image;
    ASSERT_TRUE(LoadDocumentFile(dir_ / "long.dat", image));
    EXPECT_EQ(image, ImageOf(bytes));
}

TEST_F(DocumentFileTest, SaveReplacesTheFileAndLoadsBackByteForByte) {
    const fs::path path = dir_ / "radio.dat";
    WriteBytes(path, Pattern(20, 6));
    ::chmod(path.c_str(), 0640);
    const MemoryImage saved = ImageOf(Pattern(kImageSize, 7));

    const FileResult result = SaveDocumentFile(path, saved);
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(ReadBytes(path), Pattern(kImageSize, 7));
    EXPECT_EQ(Entries(), std::vector<fs::path>{"radio.dat"});  // no temporary left behind
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    MemoryImage loaded;
    ASSERT_TRUE(LoadDocumentFile(path, loaded));
    EXPECT_EQ(loaded, saved);
}

TEST_F(DocumentFileTest, SaveToImpossibleTargetsReportsTheFile) {
    const MemoryImage image;
    const FileResult noFolder = SaveDocumentFile(dir_ / "nowhere" / "radio.dat", image);
    EXPECT_FALSE(noFolder);
    EXPECT_NE(noFolder.error.find("radio.dat"), std::string::npos);

    fs::create_directory(dir_ / "folder.dat");
    EXPECT_FALSE(SaveDocumentFile(dir_ / "folder.dat", image));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.dat"));

    // Anything but a regular file (a pipe here; /dev/null for root) must not be renamed over.
    ASSERT_EQ(::mkfifo((dir_ / "pipe.dat").c_str(), 0600), 0);
    fs::create_symlink(dir_ / "pipe.dat", dir_ / "link.dat");
    for (const char* name : {"pipe.dat", "link.dat"}) {
        const FileResult special = SaveDocumentFile(dir_ / name, image);
        EXPECT_FALSE(special) << name;
        EXPECT_NE(special.error.find("not a document file"), std::string::npos) << special.error;
    }
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.dat"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.dat"));

    // The same targets are refused up front, with the same sentence, so that a long radio read
    // is not started for a file that cannot be saved.
    for (const fs::path& target : {dir_ / "nowhere" / "radio.dat", dir_ / "folder.dat",
                                   dir_ / "pipe.dat", dir_ / "link.dat"}) {
        const FileResult checked = CheckDocumentTarget(target);
        EXPECT_FALSE(checked) << target;
        EXPECT_EQ(checked.error, SaveDocumentFile(target, image).error);
    }
    EXPECT_TRUE(CheckDocumentTarget(dir_ / "new.dat"));
    EXPECT_FALSE(fs::exists(dir_ / "new.dat"));
}

TEST_F(DocumentFileTest, FailedWriteKeepsTheOldFile) {
    // A file size limit makes the write fail part-way, as a full disk would (root included).
    const fs::path path = dir_ / "radio.dat";
    const auto old = Pattern(kImageSize, 8);
    WriteBytes(path, old);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = SaveDocumentFile(path, MemoryImage());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("radio.dat"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(Entries(), std::vector<fs::path>{"radio.dat"});
}

TEST_F(DocumentFileTest, SaveIntoReadOnlyFolderFails) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores folder permissions";
    }
    const fs::path path = dir_ / "radio.dat";
    const auto old = Pattern(kImageSize, 9);
    WriteBytes(path, old);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(CheckDocumentTarget(path));
    EXPECT_FALSE(SaveDocumentFile(path, MemoryImage()));
    EXPECT_EQ(ReadBytes(path), old);
}

}  // namespace
}  // namespace kestra
