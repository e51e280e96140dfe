// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/field_layout.hpp"

#include <gtest/gtest.h>

#include <array>

namespace kestra {
namespace {

TEST(FieldLayoutTest, BitFieldsChangeOnlyTheirOwnBits) {
    MemoryImage image;
    image[0x2049] = 0b1001'1010;
    constexpr BitField scanMode{0x2049, 5, 2};
    EXPECT_EQ(ReadBits(image, scanMode), 0b00);
    WriteBits(image, scanMode, 2);
    EXPECT_EQ(image[0x2049], 0b1101'1010);
    EXPECT_EQ(ReadBits(image, scanMode), 2);
    // A value wider than the field keeps only the bits that fit; its neighbours stay.
    WriteBits(image, scanMode, 0b101);
    EXPECT_EQ(image[0x2049], 0b1011'1010);

    constexpr BitField whole{0x2040};
    WriteBits(image, whole, 0x1E);
    EXPECT_EQ(ReadBits(image, whole), 0x1E);
    EXPECT_EQ(image[0x2041], 0xFF);
}

TEST(FieldLayoutTest, ListsFindTheirEntryByStoredValueOrByShownText) {
    static constexpr std::array<std::string_view, 3> kTexts{"Off", "On", "Auto"};
    static constexpr std::array<std::uint8_t, 3> kValues{7, 3, 5};
    constexpr ListField byValue{"Mode", {0x2080, 0, 8}, kTexts, 1, kValues};
    MemoryImage image;
    image[0x2080] = 5;
    EXPECT_EQ(DecodeListIndex(image, byValue), 2);
    image[0x2080] = 4;
    EXPECT_EQ(DecodeListIndex(image, byValue), 1) << "no entry: the fallback";
    EncodeListIndex(image, byValue, 0);
    EXPECT_EQ(image[0x2080], 7);
    EncodeListIndex(image, byValue, 3);  // outside the list: nothing written
    EXPECT_EQ(image[0x2080], 7);
    constexpr ListField noFallback{"Mode", {0x2080, 0, 8}, kTexts};
    image[0x2080] = 9;
    EXPECT_EQ(DecodeListIndex(image, noFallback), -1);

    static constexpr std::array<std::string_view, 4> kMs{"0", "100", "500", "1000"};
    static constexpr std::array<std::uint8_t, 4> kFiftieths{0, 2, 10, 20};
    constexpr ListField shown{
        "ms", {0x2082, 0, 8}, kMs, 1, kFiftieths, ListField::Match::ShownPrefix, 50};
    for (const auto& [stored, index] : {std::pair{0, 0}, {2, 1}, {1, 2}, {20, 3}, {4, 1}}) {
        image[0x2082] = static_cast<std::uint8_t>(stored);
        EXPECT_EQ(DecodeListIndex(image, shown), index) << stored;
    }
}

TEST(FieldLayoutTest, NumbersReadExactlyAndShowRoundedHalfUp) {
    constexpr NumberRule tenths{.valueDecimals = 2, .shownDecimals = 1, .low = 10, .high = 250};
    EXPECT_EQ(NumberTextValue("2.3", tenths), 230) << "no binary rounding: 2.3 is not 229";
    EXPECT_EQ(NumberTextValue("0.29", NumberRule{.valueDecimals = 2}), 29);
    EXPECT_EQ(NumberText(229, tenths), "2.3");
    EXPECT_EQ(NumberText(225, tenths), "2.3");
    EXPECT_EQ(NumberText(224, tenths), "2.2");
    EXPECT_EQ(NumberText(76000, NumberRule{.valueDecimals = 3, .shownDecimals = 3}), "76.000");
    EXPECT_EQ(NumberText(-5, NumberRule{}), "-5");

    constexpr NumberRule hundreds{.multipleOf = 100, .low = 100, .high = 1000, .replacement = 200};
    EXPECT_EQ(NormalizeNumberText("999", hundreds), "900");
    EXPECT_EQ(NormalizeNumberText("99", hundreds), "200");
    EXPECT_EQ(NormalizeNumberText("abc", hundreds), "200");
    constexpr NumberRule clamped{.low = 3, .high = 60, .clamp = true};
    EXPECT_EQ(NormalizeNumberText("75", clamped), "60");
    EXPECT_EQ(NormalizeNumberText("", clamped), "3");
    constexpr NumberRule optional{.low = 1, .high = 9, .replacement = 1, .emptyStays = true};
    EXPECT_EQ(NormalizeNumberText("", optional), "");
}

TEST(FieldLayoutTest, SpinsStepToMultiplesAndWrap) {
    constexpr NumberRule rule{.low = 100, .high = 1000};
    constexpr SpinRule hundreds{100, true};
    EXPECT_EQ(StepNumberText("250", rule, hundreds, -1), "200");
    EXPECT_EQ(StepNumberText("200", rule, hundreds, -1), "100");
    EXPECT_EQ(StepNumberText("250", rule, hundreds, +1), "300");
    EXPECT_EQ(StepNumberText("300", rule, hundreds, +1), "400");
    EXPECT_EQ(StepNumberText("1000", rule, hundreds, +1), "100");
    EXPECT_EQ(StepNumberText("100", rule, hundreds, -1), "1000");
    EXPECT_EQ(StepNumberText("40", rule, SpinRule{1, false}, +1), "100") << "outside: wraps";
}

TEST(FieldLayoutTest, TypingFiltersAndUpperCases) {
    constexpr TypingRules dtmf{"0123456789ABCD*#", 16, true};
    EXPECT_EQ(TypedCharacter(dtmf, 'b'), 'B');
    EXPECT_EQ(TypedCharacter(dtmf, 'e'), std::nullopt);
    EXPECT_EQ(TypedCharacter(dtmf, '#'), '#');
    constexpr TypingRules printable{{}, 7, false};
    EXPECT_EQ(TypedCharacter(printable, 'a'), 'a');
    EXPECT_EQ(TypedCharacter(printable, '~'), '~');
    EXPECT_EQ(TypedCharacter(printable, '\x01'), std::nullopt);
    EXPECT_EQ(TypedCharacter(printable, '\x7F'), std::nullopt);
}

NumberField DecodeTime() {
    return NumberField{.caption = "Decode Time (s)",
                       .offset = 0x20DA,
                       .rule = {.valueDecimals = 2, .shownDecimals = 1, .low = 10, .high = 250},
                       .typing = {kDecimalDigits, 3, false}};
}

TEST(FieldLayoutTest, NumberFieldsDecodeAndEncodeTheirByte) {
    MemoryImage image;
    constexpr NumberField delay{
        .caption = "Delay", .offset = 0x2081, .rule = {.low = 100, .high = 1000}, .storeUnit = 50};
    image[0x2081] = 4;
    EXPECT_EQ(DecodeNumberText(image, delay), "200");
    EncodeNumberText(image, delay, "1000");
    EXPECT_EQ(image[0x2081], 20);
    const NumberField time = DecodeTime();
    EncodeNumberText(image, time, "2.3");
    EXPECT_EQ(image[0x20DA], 230);
    constexpr NumberField reset{
        .caption = "Reset", .offset = 0x20D8, .rule = {.low = 3, .high = 60}, .decodeFallback = 10};
    image[0x20D8] = 61;
    EXPECT_EQ(DecodeNumberText(image, reset), "10");
    image[0x20D8] = 3;
    EXPECT_EQ(DecodeNumberText(image, reset), "3");
}

}  // namespace
}  // namespace kestra
