// SPDX-License-Identifier: GPL-3.0-or-later
// The source folders stack in layers: cli and the programs on top, then app (the desktop shell)
// and review (what a write or a diff changes, over every editor's fields), then the three editor
// families (channels, settings, service), then link and the shared widgets (common), then model
// at the bottom. A file may include headers of its own layer and of the layers below, never of
// a layer above; the three editor families never include each other (what two of them share
// lives in a layer below); and a subsystem's core files never include its ui/ or device/
// headers (the Qt-free test checks the latter through the core's include closure; this one
// looks at every file under src/).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = KESTRA_SOURCE_DIR;

const std::map<std::string, int> kLayers{
    {"model", 0},  {"link", 1},  {"common", 1}, {"channels", 2}, {"settings", 2}, {"service", 2},
    {"review", 3}, {"fleet", 3}, {"app", 3},    {"cli", 4},      {"res", 4},
};

const std::set<std::string> kEditorFamilies{"channels", "settings", "service"};

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

// Every include of the file at `relative` (a path under src/) that breaks a layer rule, as
// "file includes header: why".
std::vector<std::string> IncludeViolations(const fs::path& relative, std::istream& text) {
    static const std::regex includeLine(R"re(^\s*#\s*include\s*"([a-z_]+)/([^"]+)")re");
    const std::string folder = relative.begin()->string();
    const int layer = LayerOf(folder);
    std::vector<std::string> violations;
    for (std::string line; std::getline(text, line);) {
        std::smatch match;
        if (!std::regex_search(line, match, includeLine) || LayerOf(match[1].str()) < 0) {
            continue;
        }
        const std::string target = match[1].str();
        const std::string where = relative.string() + " includes " + target + "/" + match[2].str();
        if (LayerOf(target) > layer) {
            violations.push_back(where + ": a layer above it");
        } else if (target != folder && kEditorFamilies.contains(folder) &&
                   kEditorFamilies.contains(target)) {
            violations.push_back(where + ": another editor family");
        } else if (target == folder && !InUiOrDevice(relative) && InUiOrDevice(match[2].str())) {
            violations.push_back(where + ": widget or device code from core code");
        }
    }
    return violations;
}

std::vector<std::string> ViolationsOf(const std::string& relative, const std::string& text) {
    std::istringstream in(text);
    return IncludeViolations(relative, in);
}

TEST(FolderLayers, TheRulesCatchWhatTheyForbid) {
    EXPECT_EQ(
        ViolationsOf("settings/ui/x_dialog.cpp", "#include \"channels/ui/y_widget.hpp\"\n"),
        std::vector<std::string>{"settings/ui/x_dialog.cpp includes channels/ui/y_widget.hpp: "
                                 "another editor family"});
    EXPECT_EQ(ViolationsOf("channels/x.cpp", "#include \"service/y.hpp\"\n").size(), 1u);
    EXPECT_EQ(ViolationsOf("link/x.cpp", "  #  include \"app/y.hpp\"\n").size(), 1u);
    EXPECT_EQ(ViolationsOf("service/x.cpp", "#include \"service/ui/y_dialog.hpp\"\n").size(), 1u);
    EXPECT_TRUE(ViolationsOf("service/ui/x_dialog.cpp",
                             "#include \"service/x.hpp\"\n#include \"common/ui/y_widget.hpp\"\n"
                             "#include \"model/z.hpp\"\n#include <QDialog>\n")
                    .empty());
    EXPECT_TRUE(
        ViolationsOf("review/x.cpp", "#include \"channels/a.hpp\"\n#include \"settings/b.hpp\"\n")
            .empty());
}

TEST(FolderLayers, NoIncludePointsUpSidewaysOrFromCoreIntoWidgets) {
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
        const fs::path ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".hpp") {
            continue;
        }
        const fs::path relative = entry.path().lexically_relative(kSourceDir / "src");
        ASSERT_GE(LayerOf(relative.begin()->string()), 0)
            << relative << " lies in a folder without a layer";
        ++files;
        std::ifstream in(entry.path());
        for (const std::string& violation : IncludeViolations(relative, in)) {
            ADD_FAILURE() << violation;
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
