// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter Adjust's form: what a radio's calibration block looks like in the dialog, and what
// the dialog leaves in the image when it commits.

#include "service/parameter_adjust.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace kestra {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;

std::size_t FieldIndex(std::string_view caption) {
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        if (kScalarFields[i].caption == caption) {
            return i;
        }
    }
    ADD_FAILURE() << "no field " << caption;
    return 0;
}

std::size_t CheckIndex(std::string_view caption) {
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        if (kCheckFields[i].caption == caption) {
            return i;
        }
    }
    ADD_FAILURE() << "no check box " << caption;
    return 0;
}

std::string& Field(ParameterAdjustForm& form, std::string_view caption) {
    return form.fields[FieldIndex(caption)];
}

std::vector<std::string>& Cells(ParameterAdjustForm& form, GridId id) {
    return form.cells[static_cast<std::size_t>(id)];
}

std::vector<std::uint8_t> Bytes(const MemoryImage& image, std::size_t offset, std::size_t n) {
    const auto s = image.span(offset, n);
    return {s.begin(), s.end()};
}

TEST(ParameterAdjust, ErasedBlockShowsFallbacksAndClampedValues) {
    ParameterAdjustForm form = LoadParameterAdjust(MemoryImage());

    EXPECT_THAT(Cells(form, GridId::Sql), Each(std::string("0")));
    EXPECT_THAT(Cells(form, GridId::SquelchDetection), Each(std::string("0")));
    EXPECT_THAT(Cells(form, GridId::Power), Each(std::string("255")));
    EXPECT_EQ(Cells(form, GridId::SquelchDetection).size(), 36u);
    EXPECT_EQ(Field(form, "V PA Drive"), "15");
    EXPECT_EQ(Field(form, "U PA Drive"), "15");
    EXPECT_EQ(Field(form, "Voice Tx Gain"), "63");
    EXPECT_EQ(Field(form, "Narrow XMITTER Dev"), "1023");
    EXPECT_EQ(Field(form, "Wide XMITTER Dev"), "1023");
    EXPECT_EQ(Field(form, "MOD Gain"), "1023");
    EXPECT_EQ(Field(form, "Pressure Threshold"), "FFFF");
    EXPECT_EQ(Field(form, "Expand Threshold"), "FFFF");
    EXPECT_EQ(Field(form, "Compander Voice"), "63");
    EXPECT_EQ(Field(form, "Scrambler Voice"), "255");
    // Clamped only when the box is left, so the loaded byte shows as it is.
    EXPECT_EQ(Field(form, "V sql low threshold"), "255");
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        EXPECT_EQ(form.checks[i], kCheckFields[i].caption != "Test Mode") << i;
    }
}

TEST(ParameterAdjust, GridBytesOutsideTheirRangeShowTheReplacement) {
    MemoryImage image;
    image[0x3F00] = 127;  // Sql row 1, Low: in range
    image[0x3F01] = 128;  // Sql row 1, Mid: outside 0-127
    image[0x3F39] = 0;    // power row 1, Low: outside 1-255
    image[0x3ED0] = 137;  // detection row 1, W High: in range
    image[0x3ED1] = 138;
    ParameterAdjustForm form = LoadParameterAdjust(image);
    EXPECT_EQ(Cells(form, GridId::Sql)[0], "127");
    EXPECT_EQ(Cells(form, GridId::Sql)[1], "0");
    EXPECT_EQ(Cells(form, GridId::Power)[0], "1");
    EXPECT_EQ(Cells(form, GridId::SquelchDetection)[0], "137");
    EXPECT_EQ(Cells(form, GridId::SquelchDetection)[1], "0");

    CommitParameterAdjust(form, image);
    // The replacement is what goes back.
    EXPECT_EQ(image[0x3F01], 0);
    EXPECT_EQ(image[0x3F39], 1);
    EXPECT_EQ(image[0x3ED1], 0);
}

TEST(ParameterAdjust, UntouchedCommitWritesTheDerivedTablesAndPassesBytesThrough) {
    MemoryImage image;
    image[0x3EF4] = 0x12;  // not interpreted
    image[0x3F1F] = 0x34;  // not interpreted
    ParameterAdjustForm form = LoadParameterAdjust(image);
    CommitParameterAdjust(form, image);

    EXPECT_THAT(Bytes(image, 0x3F15, 10),
                ElementsAre(0x42, 0x3B, 0x35, 0x2F, 0x28, 0x22, 0x1C, 0x15, 0x0F, 0x08));
    // Band 136-174: lower, upper, middle, one third, two thirds.
    EXPECT_THAT(Bytes(image, 0x3F70, 8),
                ElementsAre(0x00, 0x85, 0xCF, 0x00, 0xC0, 0x80, 0x09, 0x01));
    EXPECT_THAT(Bytes(image, 0x3FA4, 8),
                ElementsAre(0x00, 0x63, 0x9F, 0x02, 0x00, 0x6C, 0xDC, 0x02));
    EXPECT_EQ(image[0x3EF4], 0x12);
    EXPECT_EQ(image[0x3F1F], 0x34);
    EXPECT_EQ(image[0x3F21], 63);    // Voice Tx Gain, clamped
    EXPECT_EQ(image[0x3F12], 0xFF);  // V sql low threshold, never left: as loaded
    EXPECT_EQ(image[0x3F13], 0xFF);  // the hidden box
    EXPECT_EQ(image[0x3F2F], 0xFF);  // Test Mode unchecked: bit 7 stays set
    EXPECT_THAT(Bytes(image, 0x3F23, 4), ElementsAre(0xC0, 0xFF, 0xC0, 0xFF));
}

TEST(ParameterAdjust, ValuesAreStoredInTheirOwnBits) {
    MemoryImage image;
    ParameterAdjustForm form = LoadParameterAdjust(image);
    Field(form, "V PA Drive") = "3";
    Field(form, "U PA Drive") = "10";
    Field(form, "Narrow XMITTER Dev") = "1";
    Field(form, "Wide XMITTER Dev") = "1023";
    Field(form, "Recieve Output") = "1";
    Field(form, "Volume") = "14";
    Field(form, "MOD Gain") = "1023";
    Field(form, "Pressure Threshold") = "1A2B";
    Field(form, "Compander Voice") = "10";
    Field(form, "Voice Output") = "200";
    form.checks[CheckIndex("Test Mode")] = true;
    form.checks[CheckIndex("MCU LPF")] = false;
    form.checks[CheckIndex("MCU Pre emphasis")] = false;
    CommitParameterAdjust(form, image);

    EXPECT_EQ(image[0x3F20], 0xA3);
    EXPECT_THAT(Bytes(image, 0x3F23, 4), ElementsAre(0x40, 0x00, 0xC0, 0xFF));
    EXPECT_EQ(image[0x3F2C], 0x1E);
    EXPECT_THAT(Bytes(image, 0x3F32, 2), ElementsAre(0xFF, 0x03));
    EXPECT_THAT(Bytes(image, 0x3F35, 2), ElementsAre(0x2B, 0x1A));
    EXPECT_EQ(image[0x3F2D], 200);
    // Test Mode checked clears bit 7; MCU LPF is bit 6.
    EXPECT_EQ(image[0x3F2F], 0x3F);
    // Compander in bits 2-7 beside the two emphasis bits.
    EXPECT_EQ(image[0x3F6F], (10 << 2) | 0x02);
}

TEST(ParameterAdjust, SlopesFollowThePowerValuesJustCommitted) {
    MemoryImage image;
    ParameterAdjustForm form = LoadParameterAdjust(image);
    // Row 1 of the power grid: band 136-174, low power.
    std::vector<std::string>& power = Cells(form, GridId::Power);
    power[0] = "100";
    power[1] = "120";
    power[2] = "110";
    CommitParameterAdjust(form, image);
    EXPECT_THAT(Bytes(image, 0x3F39, 3), ElementsAre(100, 120, 110));
    EXPECT_THAT(Bytes(image, 0x3F4B, 6), ElementsAre(0x18, 0x73, 0x01, 0x30, 0xE6, 0x82));
}

TEST(ParameterAdjust, RowLabelsNameBandAndRow) {
    const CalibrationGrid& sql = GridOf(GridId::Sql);
    const CalibrationGrid& power = GridOf(GridId::Power);
    const CalibrationGrid& detection = GridOf(GridId::SquelchDetection);
    EXPECT_EQ(GridRowLabel(sql, 0), "136-174 Sql 1");
    EXPECT_EQ(GridRowLabel(sql, 3), "200-260 Sql 9");
    EXPECT_EQ(GridRowLabel(power, 0), "136-174 \xE4\xBD\x8E\xE5\x8A\x9F\xE7\x8E\x87");
    EXPECT_EQ(GridRowLabel(power, 5), "400-520 \xE9\xAB\x98\xE5\x8A\x9F\xE7\x8E\x87");
    EXPECT_EQ(GridRowLabel(detection, 4),
              "200-260 \xE9\x9D\x99\xE5\x99\xAA\xE6\xA3\x80\xE6\xB5\x8B"
              "2");
    EXPECT_EQ(detection.CellOffset(8, 3), 0x3EF3u);
    EXPECT_EQ(power.CellOffset(5, 2), 0x3F4Au);
}

TEST(SpinField, TypingLeavingAndSpinningFollowEachBoxsRule) {
    const SpinFieldRule& gain = kScalarFields[FieldIndex("Voice Tx Gain")].rule;
    const SpinFieldRule& threshold = kScalarFields[FieldIndex("Pressure Threshold")].rule;
    const SpinFieldRule& sqlLow = kScalarFields[FieldIndex("V sql low threshold")].rule;

    EXPECT_EQ(LeaveSpinField(gain, "99"), "63");
    EXPECT_EQ(LeaveSpinField(gain, ""), "0");
    EXPECT_EQ(StepSpinField(gain, "63", +1), "0");
    EXPECT_EQ(StepSpinField(gain, "0", -1), "63");
    EXPECT_EQ(StepSpinField(kScalarFields[FieldIndex("Compander Voice")].rule, "10", +1), "11");
    EXPECT_EQ(StepSpinField(threshold, "FF", +1), "100");
    EXPECT_EQ(StepSpinField(threshold, "FFFF", +1), "0");
    // Big steps (PageUp, Ctrl with an arrow, the wheel) stop at the ends instead of wrapping.
    const SpinFieldRule& deviation = kScalarFields[FieldIndex("Narrow XMITTER Dev")].rule;
    EXPECT_EQ(StepSpinFieldWithin(deviation, "1020", +10), "1023");
    EXPECT_EQ(StepSpinFieldWithin(deviation, "1023", +1), "1023");
    EXPECT_EQ(StepSpinFieldWithin(deviation, "3", -10), "0");
    EXPECT_EQ(StepSpinFieldWithin(deviation, "500", +10), "510");
    EXPECT_EQ(StepSpinFieldWithin(threshold, "fff0", +0x20), "FFFF");
    EXPECT_EQ(LeaveSpinField(threshold, "abc"), "ABC");

    EXPECT_EQ(TypedSpinText(threshold, "ff"), "FF");
    EXPECT_EQ(TypedSpinText(threshold, "G"), std::nullopt);
    EXPECT_EQ(TypedSpinText(threshold, "12345"), std::nullopt);
    EXPECT_EQ(TypedSpinText(gain, "1a"), std::nullopt);
    // The sql low boxes take anything and read the leading number.
    EXPECT_EQ(TypedSpinText(sqlLow, "x1"), "X1");
    EXPECT_EQ(LeaveSpinField(sqlLow, "X1"), "0");
    EXPECT_EQ(LeaveSpinField(sqlLow, "200"), "127");
    // The Sql grid's editor takes a minus sign, and the clamp turns it into the lower bound.
    const SpinFieldRule& sqlCell = GridOf(GridId::Sql).editor;
    EXPECT_EQ(TypedSpinText(sqlCell, "-5"), "-5");
    EXPECT_EQ(LeaveSpinField(sqlCell, "-5"), "0");
}

}  // namespace
}  // namespace kestra
