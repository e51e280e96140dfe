// SPDX-License-Identifier: GPL-3.0-or-later
// `cmake --install` into a temporary DESTDIR, as `make install` and the .deb do: the programs,
// the desktop file and metainfo (checked by the freedesktop and AppStream validators), the icon
// in every size, and a man page that documents every command kestra-cli has.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "e2e/processes.hpp"

namespace kestra::test {
namespace {

namespace fs = std::filesystem;

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a command found along PATH (or given with its path) with extra environment entries.
Result RunCommand(std::vector<std::string> args, const std::vector<std::string>& environment = {}) {
    const TempDir logs;
    std::string program = args.front();
    if (program.find('/') == std::string::npos) {
        program.clear();
        for (const char* dir : {"/usr/local/bin", "/usr/bin", "/bin"}) {
            if (fs::exists(fs::path(dir) / args.front())) {
                program = (fs::path(dir) / args.front()).string();
                break;
            }
        }
        if (program.empty()) {
            return {-1, "", args.front() + " is not installed: run scripts/install-deps"};
        }
    }
    args.front() = program;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    auto envp = Argv(env);
    SpawnOutput output;
    output.stdoutPath = (logs / "out").string();
    output.stderrPath = (logs / "err").string();
    Result result;
    result.exitCode = WaitForExit(SpawnProgram(std::move(args), output, envp.data()));
    result.out = ReadText(logs / "out");
    result.err = ReadText(logs / "err");
    return result;
}

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
        const Result install =
            RunCommand({KESTRA_CMAKE_COMMAND, "--install", KESTRA_BINARY_DIR, "--prefix", "/usr"},
                       {"DESTDIR=" + dest_->path().string()});
        ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    }
    static void TearDownTestSuite() {
        delete dest_;
        dest_ = nullptr;
    }
    static fs::path Usr(const std::string& relative) { return dest_->path() / "usr" / relative; }

    static inline TempDir* dest_ = nullptr;
    const std::string id_ = KESTRA_APP_ID;
};

TEST_F(Installed, ProgramsLandInBinAndRun) {
    for (const char* program : {"kestra", "kestra-cli", "kestra-virtual-radio"}) {
        const fs::path path = Usr(std::string("bin/") + program);
        ASSERT_TRUE(fs::exists(path)) << path;
        EXPECT_NE(fs::status(path).permissions() & fs::perms::others_exec, fs::perms::none);
    }
    const Result help = RunCommand({Usr("bin/kestra-cli").string(), "help"});
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_NE(help.out.find("doctor"), std::string::npos);
}

TEST_F(Installed, DesktopFilePassesTheValidatorAndClaimsNoFileType) {
    const fs::path desktop = Usr("share/applications/" + id_ + ".desktop");
    const Result valid = RunCommand({"desktop-file-validate", desktop.string()});
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
    const Result valid = RunCommand({"appstreamcli", "validate", "--no-net", metainfo.string()});
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

TEST_F(Installed, ManPageFormatsCleanlyAndDocumentsEveryCommand) {
    const fs::path page = Usr("share/man/man1/kestra-cli.1.gz");
    ASSERT_TRUE(fs::exists(page));
    const TempDir work;
    const fs::path plain = work / "kestra-cli.1";
    const Result unpacked = RunCommand({"gzip", "-dc", page.string()});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
    std::ofstream(plain) << unpacked.out;
    EXPECT_NE(ReadText(plain).find(std::string("Kestra ") + KESTRA_VERSION), std::string::npos);

    const Result formatted =
        RunCommand({"groff", "-man", "-Tutf8", "-P-cbou", "-ww", plain.string()});
    EXPECT_EQ(formatted.exitCode, 0);
    EXPECT_EQ(formatted.err, "") << "groff warnings";

    // Every command in kestra-cli's own list has its entry in COMMANDS.
    const Result help = RunCommand({Usr("bin/kestra-cli").string(), "help"});
    std::set<std::string> commands;
    const std::regex entry("\n  ([a-z-]+)");
    for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), entry);
         it != std::sregex_iterator(); ++it) {
        commands.insert((*it)[1]);
    }
    EXPECT_GE(commands.size(), 8u) << help.out;
    for (const std::string& command : commands) {
        EXPECT_TRUE(std::regex_search(formatted.out, std::regex("\n       " + command + "[ \n]")))
            << command << " is missing from the man page";
    }
}

}  // namespace
}  // namespace kestra::test
