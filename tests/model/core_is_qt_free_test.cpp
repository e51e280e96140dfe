// SPDX-License-Identifier: GPL-3.0-or-later
// The core library and the programs built on it alone (kestra-cli, kestra-virtual-radio) must
// build with the standard library only. This test follows every source file of those targets
// (the list CMake generates from them), its same-named header and every project header they
// include, and fails naming each file that includes a Qt header or a device or widget header.
// All files of src/model are checked too: that folder is core through and through, even where
// no core source includes one of its headers yet.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = KESTRA_SOURCE_DIR;

// Widgets live in a ui/ folder and device code in a device/ folder of their subsystem; older
// names also tell them apart by their endings.
bool IsWidgetOrDeviceName(const fs::path& path) {
    for (const fs::path& part : path.parent_path()) {
        if (part == "ui" || part == "device") {
            return true;
        }
    }
    const std::string stem = path.stem().string();
    for (const char* suffix : {"_dialog", "_view", "_window", "_bar", "_widget"}) {
        const std::string s = suffix;
        if (stem.size() >= s.size() && stem.compare(stem.size() - s.size(), s.size(), s) == 0) {
            return true;
        }
    }
    return stem.rfind("qt_", 0) == 0;
}

// The listed sources of the Qt-free targets; generated files of the build tree are skipped.
std::vector<fs::path> CoreSources() {
    std::vector<fs::path> sources;
    std::ifstream list(KESTRA_CORE_SOURCES_LIST);
    fs::path base = kSourceDir;
    for (std::string line; std::getline(list, line);) {
        if (line.empty()) {
            continue;
        }
        if (line.front() == '@') {
            base = line.substr(1);
            continue;
        }
        fs::path path = line;
        if (path.is_relative()) {
            path = base / path;
        }
        path = path.lexically_normal();
        const auto inBuildTree = path.lexically_relative(KESTRA_BINARY_DIR);
        if (!inBuildTree.empty() && *inBuildTree.begin() != "..") {
            continue;
        }
        sources.push_back(path);
    }
    return sources;
}

struct Finding {
    fs::path file;
    std::string include;
};

// Walks the include closure from the given files, collecting offending includes.
std::vector<Finding> Scan(std::vector<fs::path> pending) {
    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::set<fs::path> seen;
    std::vector<Finding> findings;
    while (!pending.empty()) {
        const fs::path file = pending.back();
        pending.pop_back();
        if (!seen.insert(file).second || !fs::is_regular_file(file)) {
            continue;
        }
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, includeLine)) {
                continue;
            }
            const std::string header = match[2].str();
            const std::string name = fs::path(header).filename().string();
            const bool quoted = match[1].str() == "\"";
            if (name.rfind('Q', 0) == 0 || name.rfind("qt", 0) == 0 || name.rfind("ui_", 0) == 0 ||
                (quoted && IsWidgetOrDeviceName(header))) {
                findings.push_back({file, header});
                continue;
            }
            if (quoted) {
                for (const fs::path& base : {kSourceDir / "src", file.parent_path()}) {
                    const fs::path candidate = (base / header).lexically_normal();
                    if (fs::is_regular_file(candidate)) {
                        pending.push_back(candidate);
                        break;
                    }
                }
            }
        }
    }
    return findings;
}

TEST(CoreIsQtFree, NoCoreFileIncludesQtOrWidgetHeaders) {
    std::vector<fs::path> roots = CoreSources();
    ASSERT_FALSE(roots.empty()) << "no kestra_core sources listed in " << KESTRA_CORE_SOURCES_LIST;
    const std::size_t listed = roots.size();
    for (std::size_t i = 0; i < listed; ++i) {
        EXPECT_FALSE(IsWidgetOrDeviceName(roots[i]))
            << roots[i] << " is named like a widget or device file but is listed in kestra_core";
        fs::path header = roots[i];
        roots.push_back(header.replace_extension(".hpp"));
    }
    for (const auto& entry : fs::directory_iterator(kSourceDir / "src" / "model")) {
        if (entry.path().extension() == ".hpp" || entry.path().extension() == ".cpp") {
            roots.push_back(entry.path());
        }
    }
    for (const Finding& finding : Scan(roots)) {
        ADD_FAILURE() << finding.file.string() << " includes <" << finding.include
                      << ">, which core code must not use";
    }
}

TEST(CoreIsQtFree, ScanFindsQtAndWidgetIncludesThroughProjectHeaders) {
    const fs::path dir = fs::path(KESTRA_BINARY_DIR) / "core_is_qt_free_probe";
    fs::create_directories(dir);
    std::ofstream(dir / "probe.cpp") << "#include <string_view>\n#include \"probe.hpp\"\n";
    std::ofstream(dir / "probe.hpp") << "#include <vector>\n  #  include <QString>\n"
                                        "#include \"channels/ui/program_view.hpp\"\n";
    const auto findings = Scan({dir / "probe.cpp"});
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].file, dir / "probe.hpp");
    EXPECT_EQ(findings[0].include, "QString");
    EXPECT_EQ(findings[1].include, "channels/ui/program_view.hpp");
    fs::remove_all(dir);
}

}  // namespace
