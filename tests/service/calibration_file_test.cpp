// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration file: printing what the service editors show, and setting values from a file
// as typing them would.

#include "service/calibration_file.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "service/dtmf_initialization.hpp"
#include "service/parameter_adjust.hpp"
#include "service/sql_adjust.hpp"

namespace kestra {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A calibration area that is not simply erased.
MemoryImage PatternImage() {
    MemoryImage image;
    for (std::size_t a = 0x2A00; a < 0x4000; ++a) {
        image[a] = static_cast<std::uint8_t>(a * 7 + (a >> 5));
    }
    return image;
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// What opening and closing the three editors leaves in the image.
MemoryImage CommittedAsItStands(MemoryImage image) {
    ParameterAdjustForm parameters = LoadParameterAdjust(image);
    CommitParameterAdjust(parameters, image);
    DtmfInitializationForm dtmf = LoadDtmfInitialization(image);
    CommitDtmfInitialization(dtmf, image);
    return image;
}

TEST(CalibrationFile, PrintsEveryValueTheEditorsShow) {
    const std::string text = FormatCalibrationFile(MemoryImage());
    EXPECT_THAT(text, StartsWith("[Parameter Adjust]\nV PA Drive=15\nU PA Drive=15\n"));
    EXPECT_THAT(text, HasSubstr("\nPressure Threshold=FFFF\n"));
    EXPECT_THAT(text, HasSubstr("\nTest Mode=0\nMCU LPF=1\n"));
    EXPECT_THAT(text, HasSubstr("\n136-174 Sql 1/Low=0\n"));
    EXPECT_THAT(text, HasSubstr("\n400-520 \xE9\xAB\x98\xE5\x8A\x9F\xE7\x8E\x87/High=255\n"));
    EXPECT_THAT(text, HasSubstr("\n[DTMF Initialization]\nL_group high threshold=FFFF\n"));
    EXPECT_THAT(text, HasSubstr("\n[Sql Adjust]\n136-174 136/Noise1/W High=255\n"));
    EXPECT_THAT(text, HasSubstr("\n400-520 520/RSSI3/N Low=255\n"));
    EXPECT_THAT(text, ::testing::Not(HasSubstr("V sql low Threshold")));  // the hidden box
    // 24 boxes, 10 check boxes, 18 + 18 + 36 cells; 11 registers; 46 points of 16 cells.
    EXPECT_EQ(CountLines(text), 3 + 2 + (24 + 10 + 18 + 18 + 36) + 11 + 46 * 16);
}

TEST(CalibrationFile, PrintedFileAppliesBackAsOpeningAndClosingTheEditors) {
    const MemoryImage image = PatternImage();
    MemoryImage applied = image;
    ASSERT_EQ(ApplyCalibrationFile(FormatCalibrationFile(image), applied), std::nullopt);
    EXPECT_EQ(applied, CommittedAsItStands(image));

    MemoryImage nothingListed = image;
    ASSERT_EQ(ApplyCalibrationFile("", nothingListed), std::nullopt);
    EXPECT_EQ(nothingListed, applied);
}

TEST(CalibrationFile, ListedValuesAreSetAsTyped) {
    MemoryImage image;
    const auto problem = ApplyCalibrationFile(
        "\xEF\xBB\xBF; calibration of radio 12\r\n"
        "[Parameter Adjust]\r\n"
        "  Voice Tx Gain = 12\r\n"
        "Pressure Threshold=1a2b\n"
        "Test Mode=1\n"
        "136-174 Sql 9/High=100\n"
        "[Sql Adjust]\n"
        "136-174 141/RSSI1/N Low=99\n"
        "[DTMF Initialization]\n"
        "Twist=1A2\n",
        image);
    ASSERT_EQ(problem, std::nullopt);
    EXPECT_EQ(image[0x3F21], 12);
    EXPECT_EQ(image[0x3F35], 0x2B);
    EXPECT_EQ(image[0x3F36], 0x1A);
    EXPECT_EQ(image[0x3F2F] & 0x80, 0);
    EXPECT_EQ(image[0x3F05], 100);
    EXPECT_EQ(image[0x2A1B], 99);
    EXPECT_EQ(image[0x2A1A], 0xFF);  // the rest of the point as it was
    EXPECT_EQ(image[0x3E2A], 0x01);
    EXPECT_EQ(image[0x3E2B], 0xA2);
    EXPECT_EQ(image[0x3F15], 0x42);  // derived tables recomputed
}

TEST(CalibrationFile, AValueAsShownLeavesEvenAnOutOfRangeByteAlone) {
    MemoryImage image;
    image[0x3F12] = 200;  // V sql low threshold, range 0-127
    const std::string text = FormatCalibrationFile(image);
    EXPECT_THAT(text, HasSubstr("\nV sql low threshold=200\n"));

    MemoryImage same = image;
    ASSERT_EQ(ApplyCalibrationFile("[Parameter Adjust]\nV sql low threshold=200\n", same),
              std::nullopt);
    EXPECT_EQ(same[0x3F12], 200);
    MemoryImage other = image;
    EXPECT_THAT(
        ApplyCalibrationFile("[Parameter Adjust]\nV sql low threshold=201\n", other).value_or(""),
        HasSubstr("line 2: V sql low threshold=201 needs a number from 0 to 127"));
    EXPECT_EQ(other, image);
}

TEST(CalibrationFile, RefusesWhatTheEditorsWouldNotHoldAndChangesNothing) {
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"[Parameter Adjust]\n[Radio]\n", "line 2: unknown section [Radio]"},
        {"Volume=3\n", "line 1: Volume comes before any [section]"},
        {"[Parameter Adjust]\nVolume\n", "line 2: \"Volume\" is not KEY=VALUE"},
        {"[Parameter Adjust]\nvolume=3\n", "line 2: [Parameter Adjust] has no key \"volume\""},
        {"[DTMF Initialization]\nVolume=3\n", "has no key \"Volume\""},
        {"[Parameter Adjust]\nVolume=3\n\nVolume=4\n",
         "line 4: Volume is given twice (first on line 2)"},
        {"[Parameter Adjust]\nVoice Tx Gain=64\n", "Voice Tx Gain=64 needs a number from 0 to 63"},
        {"[Parameter Adjust]\nVoice Tx Gain=-1\n", "needs a number from 0 to 63"},
        {"[Parameter Adjust]\nVoice Tx Gain=\n", "needs a number from 0 to 63"},
        {"[Parameter Adjust]\nMOD Gain=01023\n", "needs a number from 0 to 1023"},
        {"[Parameter Adjust]\nTest Mode=yes\n", "Test Mode=yes needs 1 (checked) or 0"},
        {"[Parameter Adjust]\n136-174 Sql 1/Low=128\n", "needs a number from 0 to 127"},
        {"[DTMF Initialization]\nTwist=G1\n", "Twist=G1 needs a hexadecimal number from 0 to FFFF"},
        {"[Sql Adjust]\n136-174 141/RSSI1/N Low=138\n", "needs a number from 0 to 137"},
        {"[Sql Adjust]\n136-174 142/RSSI1/N Low=1\n", "has no key \"136-174 142/RSSI1/N Low\""},
    };
    const MemoryImage original = PatternImage();
    for (const auto& c : cases) {
        MemoryImage image = original;
        const std::optional<std::string> problem = ApplyCalibrationFile(c.text, image);
        ASSERT_TRUE(problem.has_value()) << c.text;
        EXPECT_THAT(*problem, HasSubstr(c.problem)) << c.text;
        EXPECT_EQ(image, original) << c.text;
    }
}

}  // namespace
}  // namespace kestra
