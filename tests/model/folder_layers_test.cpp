// SPDX-License-Identifier: GPL-3.0-or-later
// The source folders stack in layers: cli and the programs on top, then app (the desktop shell),
// then the editors (channels, settings, service), then link, then model at the bottom. A file
// may include headers of its own layer and of the layers below, never of a layer above, and a
// subsystem's core files never include its ui/ or device/ headers (the Qt-free test checks the
// latter through the core's include closure; this one looks at every file under src/).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = KESTRA_SOURCE_DIR;

const std::map<std::string, int> kLayers{
    {"model", 0},   {"link", 1}, {"channels", 2}, {"settings", 2},
    {"service", 2}, {"app", 3},  {"cli", 4},      {"res", 4},
};

int LayerOf(const std::string& folder) {
    const auto found = kLayers.find(folder);
    return found == kLayers.end() ? -1 : found->second;
}

bool InUiOrDevice(const fs::path& relative) {
    for (const fs::path& part : relative.parent_path()) {
        if (part == "ui" || part == "device") {
            return true;
        }
    }
    return false;
}

TEST(FolderLayers, NoIncludePointsUpOrFromCoreIntoWidgets) {
    static const std::regex includeLine(R"re(^\s*#\s*include\s*"([a-z_]+)/([^"]+)")re");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
        const fs::path ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".hpp") {
            continue;
        }
        const fs::path relative = entry.path().lexically_relative(kSourceDir / "src");
        const std::string folder = relative.begin()->string();
        const int layer = LayerOf(folder);
        ASSERT_GE(layer, 0) << relative << " lies in a folder without a layer";
        ++files;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, includeLine) || LayerOf(match[1].str()) < 0) {
                continue;
            }
            const std::string included = match[1].str() + "/" + match[2].str();
            EXPECT_LE(LayerOf(match[1].str()), layer)
                << relative.string() << " includes " << included << " from a layer above it";
            if (match[1].str() == folder && !InUiOrDevice(relative)) {
                EXPECT_FALSE(InUiOrDevice(match[2].str()))
                    << relative.string() << " is core code but includes " << included;
            }
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
