// SPDX-License-Identifier: GPL-3.0-or-later
// `cmake --install` into a temporary DESTDIR, as `make install` and the .deb do: the programs
// with their version and licence, the desktop file and metainfo (checked by the freedesktop and
// AppStream validators), the icon in every size, and a man page for each program that documents
// every command or option it has.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "packaging/commands.hpp"

namespace kestra::test {
namespace {

namespace fs = std::filesystem;

// Width and height from a PNG's header chunk.
std::pair<std::uint32_t, std::uint32_t> PngSize(const fs::path& path) {
    const std::string bytes = ReadText(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) {
        return {0, 0};
    }
    auto be32 = [&bytes](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
        }
        return value;
    };
    return {be32(16), be32(20)};
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dest_ = new TempDir;
        const CommandResult install =
            RunCommand({KESTRA_CMAKE_COMMAND, "--install", KESTRA_BINARY_DIR, "--prefix", "/usr"},
                       {"DESTDIR=" + dest_->path().string()});
        ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    }
    static void TearDownTestSuite() {
        delete dest_;
        dest_ = nullptr;
    }
    static fs::path Usr(const std::string& relative) { return dest_->path() / "usr" / relative; }

    // The installed man page of program as man shows it, after checking that groff formats it
    // without a warning.
    static std::string FormattedManPage(const std::string& program) {
        const fs::path page = Usr("share/man/man1/" + program + ".1.gz");
        EXPECT_TRUE(fs::exists(page)) << page;
        const CommandResult unpacked = RunCommand({"gzip", "-dc", page.string()});
        EXPECT_EQ(unpacked.exitCode, 0) << unpacked.err;
        const TempDir work;
        std::ofstream(work / (program + ".1")) << unpacked.out;
        const CommandResult formatted = RunCommand(
            {"groff", "-man", "-Tutf8", "-P-cbou", "-ww", (work / (program + ".1")).string()});
        EXPECT_EQ(formatted.exitCode, 0) << program;
        EXPECT_EQ(formatted.err, "") << program << ": groff warnings";
        return formatted.out;
    }

    static inline TempDir* dest_ = nullptr;
    const std::string id_ = KESTRA_APP_ID;
};

TEST_F(Installed, ProgramsLandInBinAndRun) {
    for (const char* program : {"kestra", "kestra-cli", "kestra-virtual-radio"}) {
        const fs::path path = Usr(std::string("bin/") + program);
        ASSERT_TRUE(fs::exists(path)) << path;
        EXPECT_NE(fs::status(path).permissions() & fs::perms::others_exec, fs::perms::none);
    }
    const CommandResult help = RunCommand({Usr("bin/kestra-cli").string(), "help"});
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_NE(help.out.find("doctor"), std::string::npos);
}

TEST_F(Installed, DesktopFilePassesTheValidatorAndClaimsNoFileType) {
    const fs::path desktop = Usr("share/applications/" + id_ + ".desktop");
    const CommandResult valid = RunCommand({"desktop-file-validate", desktop.string()});
    EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;
    EXPECT_EQ(valid.out + valid.err, "");

    const std::string text = ReadText(desktop);
    EXPECT_NE(text.find("\nIcon=" + id_ + "\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=kestra "), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("\nCategories=.*HamRadio;")));
    // *.dat is far too common an extension to take over.
    EXPECT_EQ(text.find("MimeType"), std::string::npos);
}

TEST_F(Installed, MetainfoPassesTheValidatorAndNamesThisRelease) {
    const fs::path metainfo = Usr("share/metainfo/" + id_ + ".metainfo.xml");
    const CommandResult valid =
        RunCommand({"appstreamcli", "validate", "--no-net", metainfo.string()});
    EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;

    const std::string text = ReadText(metainfo);
    std::smatch newest;
    ASSERT_TRUE(std::regex_search(text, newest, std::regex("<release version=\"([^\"]+)\"")));
    EXPECT_EQ(newest[1], KESTRA_VERSION) << "the newest release entry is not this version";
    EXPECT_NE(text.find("<launchable type=\"desktop-id\">" + id_ + ".desktop</launchable>"),
              std::string::npos);
    EXPECT_NE(text.find("<screenshot type=\"default\">"), std::string::npos);
}

TEST_F(Installed, IconComesInEverySizeFromTheScalableOne) {
    const fs::path hicolor = Usr("share/icons/hicolor");
    const std::string svg = ReadText(hicolor / "scalable/apps" / (id_ + ".svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    for (const std::uint32_t size : {16u, 22u, 24u, 32u, 48u, 64u, 128u, 256u}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const auto [width, height] = PngSize(hicolor / folder / "apps" / (id_ + ".png"));
        EXPECT_EQ(width, size) << folder;
        EXPECT_EQ(height, size) << folder;
    }
}

// The entries of a program's help: the words after two spaces at the start of a line.
std::set<std::string> HelpEntries(const std::string& help) {
    std::set<std::string> entries;
    const std::regex entry("\n  (-{0,2}[a-z][a-z0-9-]*)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), entry);
         it != std::sregex_iterator(); ++it) {
        entries.insert((*it)[1]);
    }
    return entries;
}

// Whether a formatted man page has an indented entry for name ("       read FILE ...").
bool HasEntry(const std::string& page, const std::string& name) {
    return std::regex_search(page, std::regex("\n       " + name + "[ ,\n]"));
}

TEST_F(Installed, EveryProgramHasAManPageThatFormatsCleanly) {
    for (const std::string program : {"kestra", "kestra-cli", "kestra-virtual-radio"}) {
        const std::string page = FormattedManPage(program);
        EXPECT_NE(page.find(std::string("Kestra ") + KESTRA_VERSION), std::string::npos)
            << program << ": the footer does not name this version";
        EXPECT_TRUE(HasEntry(page, "--version")) << program;
    }
}

TEST_F(Installed, ManPagesDocumentEveryCommandAndOption) {
    const CommandResult cliHelp = RunCommand({Usr("bin/kestra-cli").string(), "help"});
    const std::set<std::string> commands = HelpEntries(cliHelp.out);
    EXPECT_GE(commands.size(), 8u) << cliHelp.out;
    const std::string cliPage = FormattedManPage("kestra-cli");
    for (const std::string& command : commands) {
        EXPECT_TRUE(HasEntry(cliPage, command)) << command << " is missing from kestra-cli(1)";
    }

    const CommandResult radioHelp = RunCommand({Usr("bin/kestra-virtual-radio").string(), "-h"});
    const std::set<std::string> options = HelpEntries(radioHelp.out);
    EXPECT_GE(options.size(), 15u) << radioHelp.out;
    const std::string radioPage = FormattedManPage("kestra-virtual-radio");
    for (const std::string& option : options) {
        EXPECT_TRUE(HasEntry(radioPage, option))
            << option << " is missing from kestra-virtual-radio(1)";
    }
}

// --version works without a display (kestra must not start Qt for it) and names the licence.
TEST_F(Installed, EveryProgramPrintsItsVersionAndLicence) {
    for (const std::string program : {"kestra", "kestra-cli", "kestra-virtual-radio"}) {
        const CommandResult version =
            RunCommand({Usr("bin/" + program).string(), "--version"},
                       {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="});
        EXPECT_EQ(version.exitCode, 0) << program << ": " << version.err;
        EXPECT_TRUE(version.out.starts_with(program + " " + KESTRA_VERSION + "\n")) << version.out;
        EXPECT_NE(version.out.find("License GPL-3.0-or-later"), std::string::npos) << version.out;
        EXPECT_NE(version.out.find("NO WARRANTY"), std::string::npos) << version.out;
    }
}

}  // namespace
}  // namespace kestra::test
