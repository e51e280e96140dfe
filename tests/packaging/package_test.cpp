// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package as `make package` builds it (scripts/build-package: dpkg-buildpackage in a
// temporary copy of the sources): lintian --pedantic has nothing to say about it, every file lies
// where Debian puts it, its control fields name this version, and the programs are hardened.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "packaging/commands.hpp"

namespace kestra::test {
namespace {

namespace fs = std::filesystem;

class DebianPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* tool : {"dpkg-buildpackage", "dh", "fakeroot", "lintian", "dpkg-deb"}) {
            if (!FindTool(tool)) {
                skipReason_ = std::string(tool) + " is not installed: run scripts/install-deps";
                return;
            }
        }
        out_ = new TempDir;
        // The copy of the sources goes where `make package` puts its own, so ccache knows it.
        built_ = RunCommand({KESTRA_SOURCE_DIR "/scripts/build-package", out_->path().string(),
                             KESTRA_BINARY_DIR "/package-work"});
        for (const auto& entry : fs::directory_iterator(out_->path())) {
            const std::string name = entry.path().filename().string();
            (name.starts_with("kestra_") ? deb_ : debs_) = entry.path();
        }
        if (!deb_.empty()) {
            root_ = new TempDir;
            unpacked_ = RunCommand({"dpkg-deb", "-x", deb_.string(), root_->path().string()});
        }
    }
    static void TearDownTestSuite() {
        delete root_;
        delete out_;
    }
    void SetUp() override {
        if (!skipReason_.empty()) {
            GTEST_SKIP() << "package test skipped: " << skipReason_;
        }
        ASSERT_EQ(built_.exitCode, 0) << built_.out << built_.err;
        ASSERT_FALSE(deb_.empty()) << "no kestra_*.deb in " << out_->path() << "\n" << built_.out;
        ASSERT_EQ(unpacked_.exitCode, 0) << unpacked_.err;
    }
    static fs::path Installed(const std::string& path) { return root_->path() / path; }

    static inline std::string skipReason_;
    static inline TempDir* out_ = nullptr;
    static inline TempDir* root_ = nullptr;
    static inline CommandResult built_;
    static inline CommandResult unpacked_;
    static inline fs::path deb_;   // kestra_<version>_<arch>.deb
    static inline fs::path debs_;  // the debug symbols' package
    const std::string id_ = KESTRA_APP_ID;
};

// Every tag down to the pedantic and experimental ones (lintian's --info only explains tags;
// --display-info shows the info ones). Overrides in the package count: each carries its reason in
// debian/kestra.lintian-overrides.
TEST_F(DebianPackage, LintianPedanticReportsNothing) {
    std::vector<std::string> args{"lintian", "--pedantic", "--display-info",
                                  "--display-experimental", deb_.string()};
    if (!debs_.empty()) {
        args.push_back(debs_.string());
    }
    const CommandResult lintian = RunCommand(args);
    EXPECT_EQ(lintian.exitCode, 0) << lintian.err;
    std::string tags;
    std::istringstream lines(lintian.out);
    for (std::string line; std::getline(lines, line);) {
        // Printable bytes in the machine code that lintian takes for a misspelt word come and
        // go with any change of the code; their override may go unused.
        if (line.find("unused-override spelling-error-in-binary mor more") == std::string::npos) {
            tags += line + "\n";
        }
    }
    EXPECT_EQ(tags, "") << "fix these, or override them with the reason in "
                           "debian/kestra.lintian-overrides";
}

TEST_F(DebianPackage, EveryFileLiesWhereDebianPutsIt) {
    for (const std::string program : {"kestra", "kestra-cli", "kestra-virtual-radio"}) {
        EXPECT_TRUE(fs::is_regular_file(Installed("usr/bin/" + program))) << program;
        EXPECT_TRUE(fs::is_regular_file(Installed("usr/share/man/man1/" + program + ".1.gz")))
            << program;
    }
    EXPECT_TRUE(fs::is_regular_file(Installed("usr/share/applications/" + id_ + ".desktop")));
    EXPECT_TRUE(fs::is_regular_file(Installed("usr/share/metainfo/" + id_ + ".metainfo.xml")));
    const fs::path icons = Installed("usr/share/icons/hicolor");
    EXPECT_TRUE(fs::is_regular_file(icons / "scalable/apps" / (id_ + ".svg")));
    for (const char* size :
         {"16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
        EXPECT_TRUE(fs::is_regular_file(icons / size / "apps" / (id_ + ".png"))) << size;
    }
    EXPECT_EQ(ReadText(Installed("usr/share/doc/kestra/copyright")),
              ReadText(KESTRA_SOURCE_DIR "/debian/copyright"));
    EXPECT_TRUE(fs::is_regular_file(Installed("usr/share/doc/kestra/changelog.gz")));

    // Nothing outside /usr, everything owned by root.
    const CommandResult contents = RunCommand({"dpkg-deb", "--contents", deb_.string()});
    ASSERT_EQ(contents.exitCode, 0) << contents.err;
    std::istringstream lines(contents.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(std::regex_search(line, std::regex(" root/root .* \\./(usr/.*)?$"))) << line;
    }
}

TEST_F(DebianPackage, ControlFieldsNameThisVersionAndTheLibraries) {
    const CommandResult fields = RunCommand(
        {"dpkg-deb", "--field", deb_.string(), "Package", "Version", "Section", "Depends"});
    ASSERT_EQ(fields.exitCode, 0) << fields.err;
    EXPECT_NE(fields.out.find("Package: kestra\n"), std::string::npos) << fields.out;
    EXPECT_NE(fields.out.find(std::string("Version: ") + KESTRA_VERSION + "\n"), std::string::npos)
        << "debian/changelog does not name the project's version " << KESTRA_VERSION;
    EXPECT_NE(fields.out.find("Section: hamradio\n"), std::string::npos) << fields.out;
    for (const char* library : {"libqt6widgets6", "libqt6serialport6", "qt6-qpa-plugins"}) {
        EXPECT_NE(fields.out.find(library), std::string::npos) << library << "\n" << fields.out;
    }
}

// The hardening the build flags promise, seen in the programs themselves: a position-independent
// executable, read-only relocations bound at start-up, fortified libc calls, a stack protector.
TEST_F(DebianPackage, ProgramsAreHardened) {
    for (const std::string program : {"kestra", "kestra-cli", "kestra-virtual-radio"}) {
        const std::string path = Installed("usr/bin/" + program).string();
        const CommandResult elf =
            RunCommand({"readelf", "--wide", "--file-header", "--program-headers", "--dynamic",
                        "--dyn-syms", path});
        ASSERT_EQ(elf.exitCode, 0) << elf.err;
        EXPECT_TRUE(std::regex_search(elf.out, std::regex("Type: +DYN"))) << program << ": no PIE";
        EXPECT_NE(elf.out.find("GNU_RELRO"), std::string::npos) << program << ": no relro";
        EXPECT_TRUE(std::regex_search(elf.out, std::regex("\\(FLAGS(_1)?\\) .*(BIND_)?NOW")))
            << program << ": no bindnow";
        EXPECT_TRUE(std::regex_search(elf.out, std::regex(" __[a-z_]+_chk@")))
            << program << ": no fortified function";
        EXPECT_NE(elf.out.find("__stack_chk_fail"), std::string::npos)
            << program << ": no stack protector";
    }
}

}  // namespace
}  // namespace kestra::test
