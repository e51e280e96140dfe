// SPDX-License-Identifier: GPL-3.0-or-later
// The fleet's rules before anything is sent: which ports go together, how Own IDs are numbered
// and what they change in an image, and where a fleet read saves each radio.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fleet/fleet_plan.hpp"
#include "model/document_file.hpp"
#include "settings/settings_text.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

// The lines of `kestra-cli settings` for an image.
std::vector<std::string> SettingsLines(const MemoryImage& image) {
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    std::istringstream text(PrintSettings(forms));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The settings lines of b that differ from a's.
std::vector<std::string> ChangedLines(const MemoryImage& a, const MemoryImage& b) {
    const auto before = SettingsLines(a);
    const auto after = SettingsLines(b);
    EXPECT_EQ(before.size(), after.size());
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i]) {
            changed.push_back(after[i]);
        }
    }
    return changed;
}

TEST(FleetPorts, AreRefusedWhenNoneIsGivenOrOneDeviceComesTwice) {
    EXPECT_NE(FleetPortProblem({}).find("no --port"), std::string::npos);
    EXPECT_EQ(FleetPortProblem({{"COM1", "/dev/ttyUSB0"}, {"COM2", "/dev/ttyUSB1"}}), "");
    EXPECT_EQ(FleetPortProblem({{"COM1", "/dev/ttyUSB0"}, {"COM1", "/dev/ttyUSB0"}}),
              "COM1 is given twice: one cable can program only one radio at a time");
    // Two names for one device: a COM name and its device, or a link that leads to it.
    EXPECT_NE(FleetPortProblem({{"COM1", "/dev/ttyUSB0"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"}})
                  .find("COM1 and /dev/ttyUSB0 are the same port"),
              std::string::npos);
    test::TempDir dir("kestra-fleet");
    const auto device = dir.path() / "tty";
    std::ofstream(device) << "";
    std::filesystem::create_symlink(device, dir.path() / "by-id");
    const std::string problem =
        FleetPortProblem({{"by-id", (dir.path() / "by-id").string()}, {"tty", device.string()}});
    EXPECT_NE(problem.find("are the same port (" + device.string() + ")"), std::string::npos)
        << problem;
}

TEST(OwnIdNumbering, CountsUpKeepingTheWidthAndRefusesWhatDoesNotFit) {
    std::string error;
    EXPECT_EQ(NumberOwnIds("101", 3, error), (std::vector<std::string>{"101", "102", "103"}));
    EXPECT_EQ(NumberOwnIds("007", 4, error),
              (std::vector<std::string>{"007", "008", "009", "010"}));
    EXPECT_EQ(NumberOwnIds("99", 2, error), (std::vector<std::string>{"99", "100"}));
    EXPECT_EQ(NumberOwnIds("9999998", 2, error), (std::vector<std::string>{"9999998", "9999999"}));

    EXPECT_FALSE(NumberOwnIds("9999998", 3, error));
    EXPECT_NE(error.find("radio 3 the Own ID 10000000"), std::string::npos) << error;
    for (const char* bad : {"", "12a", "-1", "12345678", "1 2"}) {
        error.clear();
        EXPECT_FALSE(NumberOwnIds(bad, 1, error)) << bad;
        EXPECT_NE(error.find("1 to 7 digits"), std::string::npos) << error;
    }
}

TEST(OwnIdNumbering, ChangesOnlyTheOwnIdAndTheCodesThatDialIt) {
    // A new document's Own ID is 100, and its Code 0 dials 100*100.
    const MemoryImage base = BuiltInDocumentImage();
    std::string error;
    const auto numbered = WithOwnId(base, "205", error);
    ASSERT_TRUE(numbered) << error;
    EXPECT_EQ(ChangedLines(base, *numbered),
              (std::vector<std::string>{"Own ID=205", "Code 0=100*205"}));

    // The radios of a write differ in nothing else.
    const auto radios = FleetWriteRadios({{"A", "a"}, {"B", "b"}, {"C", "c"}}, base, "41", error);
    ASSERT_TRUE(radios) << error;
    ASSERT_EQ(radios->size(), 3u);
    EXPECT_EQ((*radios)[2].ownId, "43");
    EXPECT_EQ(ChangedLines((*radios)[0].image, (*radios)[2].image),
              (std::vector<std::string>{"Own ID=43", "Code 0=100*43"}));
    // Without numbering every radio gets the image as it is.
    const auto same = FleetWriteRadios({{"A", "a"}}, base, std::nullopt, error);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->front().image, base);
    EXPECT_FALSE(same->front().ownId);
    EXPECT_FALSE(FleetWriteRadios({{"A", "a"}, {"B", "b"}}, base, "9999999", error));
}

TEST(FleetReadFiles, NameEachPortsFileSafelyAndApart) {
    const std::filesystem::path folder = "/tmp/radios";
    const auto files = FleetReadFiles(folder, {{"/dev/ttyUSB0", ""},
                                               {"/dev/pts/4", ""},
                                               {"COM3", ""},
                                               {"\\\\.\\COM12", ""},
                                               {"/dev/pts_4", ""},
                                               {"../../etc/passwd", ""},
                                               {"demo", ""}});
    EXPECT_EQ(files, (std::vector<std::filesystem::path>{
                         folder / "ttyUSB0.dat", folder / "pts_4.dat", folder / "COM3.dat",
                         folder / "COM12.dat", folder / "pts_4-2.dat",
                         folder / "_._.._etc_passwd.dat", folder / "demo.dat"}));
}

}  // namespace
}  // namespace kestra
