// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/codecs.hpp"

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "model/section_limits.hpp"

namespace kestra {
namespace {

TEST(Bcd, EncodesLeastSignificantPairFirstAndRoundTrips) {
    EXPECT_EQ(BcdByteEncode(0), 0x00);
    EXPECT_EQ(BcdByteEncode(99), 0x99);
    EXPECT_EQ(BcdByteDecode(0x41), 41);
    EXPECT_EQ(BcdByteDecode(0xFF), 165);  // no validity test

    EXPECT_EQ(Bcd8Encode(14652500), (std::array<std::uint8_t, 4>{0x00, 0x25, 0x65, 0x14}));
    EXPECT_EQ(Bcd8Encode(1000000), (std::array<std::uint8_t, 4>{0x00, 0x00, 0x00, 0x01}));
    for (std::uint32_t value : {0u, 1u, 12345678u, 99999999u, 43000000u}) {
        const auto bytes = Bcd8Encode(value);
        EXPECT_EQ(Bcd8Decode(bytes), value);
    }
}

TEST(DecimalText, ConvertsExactlyWithoutBinaryRounding) {
    // Values a double product would land one unit below.
    EXPECT_EQ(MhzTextToFrequency("146.525"), 14652500);
    EXPECT_EQ(MhzTextToFrequency("146.52500"), 14652500);
    EXPECT_EQ(MhzTextToFrequency("439.99995"), 43999995);
    EXPECT_EQ(MhzTextToFrequency("0.00001"), 1);
    EXPECT_EQ(ToneTextToTenths("67.0"), 670);
    EXPECT_EQ(ToneTextToTenths("254.1"), 2541);
    // Every 5-decimal text of a band converts without loss.
    for (Frequency f = 14400000; f < 14400000 + 2000; ++f) {
        ASSERT_EQ(MhzTextToFrequency(FrequencyToMhzText(f)), f);
    }
}

TEST(DecimalText, ReadsTheLeadingNumberLikeStrtod) {
    EXPECT_EQ(ScaleDecimalText("146.5234567", 5), 14652345);    // truncated
    EXPECT_EQ(ScaleDecimalText("-146.5234567", 5), -14652345);  // toward zero
    EXPECT_EQ(ScaleDecimalText("  +146.525", 5), 14652500);
    EXPECT_EQ(ScaleDecimalText(".5", 1), 5);
    EXPECT_EQ(ScaleDecimalText("146.", 5), 14600000);
    EXPECT_EQ(ScaleDecimalText("146.525MHz", 5), 14652500);
    EXPECT_EQ(ScaleDecimalText("1.5e2", 1), 1500);
    EXPECT_EQ(ScaleDecimalText("007", 1), 70);
    for (const char* text : {"", "abc", ".", "-", "+.", " ", "e5"}) {
        EXPECT_EQ(ScaleDecimalText(text, 5), 0) << text;
    }
    // Far too large: saturates instead of wrapping.
    EXPECT_EQ(MhzTextToFrequency("99999999999999999999999"), std::numeric_limits<Frequency>::max());
    EXPECT_EQ(MhzTextToFrequency("-99999999999"), std::numeric_limits<Frequency>::min());
}

TEST(DecimalText, FormatsLikePrintf) {
    EXPECT_EQ(FrequencyToMhzText(14652500), "146.52500");
    EXPECT_EQ(FrequencyToMhzText(1), "0.00001");
    EXPECT_EQ(FrequencyToMhzText(0), "0.00000");
    EXPECT_EQ(FrequencyToMhzText(-14652500), "-146.52500");
    EXPECT_EQ(FrequencyToMhzText(-5), "-0.00005");
    EXPECT_EQ(FrequencyToMhzText(std::numeric_limits<Frequency>::min()), "-21474.83648");
    EXPECT_EQ(TenthsToToneText(670), "67.0");
    EXPECT_EQ(TenthsToToneText(5), "0.5");
    EXPECT_EQ(TenthsToToneText(-5), "-0.5");
}

TEST(Bands, SnapBandAndLimitChecks) {
    EXPECT_EQ(SnapToStep(14652500), 14652500);
    EXPECT_EQ(SnapToStep(14652600), 14652500);
    EXPECT_EQ(SnapToStep(14653125), 14653125);
    EXPECT_EQ(SnapToStep(44600625), 44600625);
    EXPECT_EQ(SnapToStep(14650001), 14650000);  // tie goes to 5 kHz
    // A typed frequency keeps the 2.5 kHz raster that SnapToStep alone would leave.
    EXPECT_EQ(SnapTypedFrequency(14652750), 14652750);
    EXPECT_EQ(SnapToStep(14652750), 14652500);
    EXPECT_EQ(SnapTypedFrequency(14652600), 14652500);

    EXPECT_EQ(BandOf(13600000), 0);
    EXPECT_EQ(BandOf(17400000), 0);
    EXPECT_EQ(BandOf(17400001), -1);
    EXPECT_EQ(BandOf(26000000), 1);
    EXPECT_EQ(BandOf(52000001), -1);

    EXPECT_TRUE(LimitsAreValid(13600000, 17400000));
    EXPECT_FALSE(LimitsAreValid(13600000, 40000000));
    EXPECT_FALSE(LimitsAreValid(17400000, 13600000));
    EXPECT_FALSE(LimitsAreValid(14000000, 14000000));
    EXPECT_TRUE(LimitIsUnset(0));
    EXPECT_TRUE(LimitIsUnset(-1));
    EXPECT_FALSE(LimitIsUnset(13600000));
}

TEST(SectionLimitsTest, SectionsTestAFirstAndSetSections) {
    SectionLimits limits;
    EXPECT_EQ(limits.SectionOf(13600000), 0);
    EXPECT_EQ(limits.SectionOf(52000000), 1);
    EXPECT_EQ(limits.SectionOf(20000000), -1);
    EXPECT_TRUE(limits.SameSection(14000000, 15000000));
    EXPECT_FALSE(limits.SameSection(14000000, 44000000));
    EXPECT_TRUE(limits.SameSection(1, 2));  // two frequencies without a section
    EXPECT_FALSE(limits.SameSection(1, 44000000));

    // Overlapping sections: A wins.
    limits.lower = {40000000, 40000000};
    limits.upper = {52000000, 52000000};
    EXPECT_EQ(limits.SectionOf(44000000), 0);

    EXPECT_EQ(limits.FirstSetSection(), 0);
    limits.lower[0] = -1;
    EXPECT_EQ(limits.FirstSetSection(), 1);
    limits.upper[1] = 0;
    EXPECT_EQ(limits.FirstSetSection(), -1);
}

TEST(Labels, LabelsAndTheirNumbers) {
    EXPECT_EQ(ChannelLabel(1), "A001");
    EXPECT_EQ(ChannelLabel(128), "A128");
    EXPECT_EQ(ChannelLabel(129), "B001");
    EXPECT_EQ(ChannelLabel(256), "B128");
    EXPECT_EQ(ChannelLabel(257), "A VFO");
    EXPECT_EQ(ChannelLabel(258), "B VFO");
    EXPECT_EQ(ChannelLabel(0), "");
    EXPECT_EQ(ChannelLabel(259), "");
    for (int n = 1; n <= 258; ++n) {
        ASSERT_EQ(ChannelNumberFromLabel(ChannelLabel(n)), n);
    }
    EXPECT_EQ(ChannelNumberFromLabel("B005"), 133);
    EXPECT_EQ(ChannelNumberFromLabel("b vfo"), 258);
    EXPECT_EQ(ChannelNumberFromLabel("a VFO"), 257);
    EXPECT_EQ(ChannelNumberFromLabel("b5"), 0);  // the letters are case-sensitive
    EXPECT_EQ(ChannelNumberFromLabel("17"), 17);
    EXPECT_EQ(ChannelNumberFromLabel("A999"), 999);  // not range-tested
    EXPECT_EQ(ChannelNumberFromLabel("xyz"), 0);
    EXPECT_EQ(SectionOfChannel(128), 0);
    EXPECT_EQ(SectionOfChannel(257), 0);
    EXPECT_EQ(SectionOfChannel(129), 1);
    EXPECT_EQ(SectionOfChannel(258), 1);
    EXPECT_EQ(SectionOfChannel(0), -1);
}

TEST(Tones, ChoiceListHasEveryToneOnceInOrder) {
    const auto& list = ToneChoiceList();
    ASSERT_EQ(list.size(), 265u);
    EXPECT_EQ(list[0], "None");
    EXPECT_EQ(list[1], "67.0");
    EXPECT_EQ(list[50], "254.1");
    EXPECT_EQ(list[51], "D017N");
    EXPECT_EQ(list[157], "D754N");
    EXPECT_EQ(list[158], "D017I");
    EXPECT_EQ(list[264], "D754I");
    EXPECT_EQ(std::set<std::string>(list.begin(), list.end()).size(), 265u);
}

TEST(Tones, EveryChoiceSurvivesEncodeDecodeAndNormalising) {
    for (const auto& text : ToneChoiceList()) {
        const auto code = ToneCodeEncode(text);
        EXPECT_EQ(ToneCodeDecode(code[0], code[1]), text);
        EXPECT_EQ(NormalizeToneText(text), text);
    }
}

TEST(Tones, CodesOfKnownTones) {
    using Code = std::array<std::uint8_t, 2>;
    EXPECT_EQ(ToneCodeEncode("D023N"), (Code{0x23, 0x80}));
    EXPECT_EQ(ToneCodeEncode("D754I"), (Code{0x54, 0xC7}));
    EXPECT_EQ(ToneCodeEncode("67.0"), (Code{0x70, 0x06}));
    EXPECT_EQ(ToneCodeEncode("254.1"), (Code{0x41, 0x25}));
    EXPECT_EQ(ToneCodeEncode("None"), (Code{0xFF, 0xFF}));
    EXPECT_EQ(ToneCodeDecode(0x23, 0x80), "D023N");
    EXPECT_EQ(ToneCodeDecode(0x54, 0xC7), "D754I");
    EXPECT_EQ(ToneCodeDecode(0x41, 0x25), "254.1");
    EXPECT_EQ(ToneCodeDecode(0x00, 0xFF), "None");
}

TEST(Tones, NormalizesTypedTexts) {
    EXPECT_EQ(NormalizeToneText(""), "");
    EXPECT_EQ(NormalizeToneText("67.0"), "67.0");
    EXPECT_EQ(NormalizeToneText("88.50"), "88.50");  // a valid CTCSS text stays as typed
    EXPECT_EQ(NormalizeToneText("300.0"), "None");
    EXPECT_EQ(NormalizeToneText("59.9"), "None");
    EXPECT_EQ(NormalizeToneText("d23i"), "D023I");
    EXPECT_EQ(NormalizeToneText("23"), "D023N");
    EXPECT_EQ(NormalizeToneText("23I"), "D023I");
    EXPECT_EQ(NormalizeToneText("dn754"), "D754N");
    EXPECT_EQ(NormalizeToneText("i17"), "D017I");
    EXPECT_EQ(NormalizeToneText("d8"), "D008N");  // not compared with the DCS table
    EXPECT_EQ(NormalizeToneText("778"), "None");
    EXPECT_EQ(NormalizeToneText("D0"), "None");
    EXPECT_EQ(NormalizeToneText("none"), "None");
    EXPECT_EQ(NormalizeToneText("xyz"), "None");
}

TEST(Tones, ATypedNumberIsAToneOfTheListsOrRefused) {
    EXPECT_EQ(TypedToneText("88,5"), "88.5");  // a comma is a decimal point
    EXPECT_EQ(TypedToneText("88.50"), "88.5");
    EXPECT_EQ(TypedToneText("23"), "D023N");  // a DCS code of the list stays DCS
    EXPECT_EQ(TypedToneText("023"), "D023N");
    EXPECT_EQ(TypedToneText("67"), "67.0");  // no DCS code, but a CTCSS tone's value
    EXPECT_EQ(TypedToneText("100"), "100.0");
    EXPECT_EQ(TypedToneText("162"), "D162N");  // both: the DCS code, as before
    for (const char* refused :
         {"68", "88.6", "88,6", "300.0", "778", "0", "250", "99999999999999999999"}) {
        EXPECT_EQ(TypedToneText(refused), std::nullopt) << refused;
    }
    // Texts that are not plain numbers read as always.
    EXPECT_EQ(TypedToneText(""), "");
    EXPECT_EQ(TypedToneText("d23i"), "D023I");
    EXPECT_EQ(TypedToneText("23I"), "D023I");
    EXPECT_EQ(TypedToneText("none"), "None");
    EXPECT_EQ(TypedToneText("d8"), "D008N");
    EXPECT_EQ(TypedToneText("8.8.5"), "None");
}

TEST(Dtmf, CodesAndCharacters) {
    EXPECT_EQ(DtmfCharToCode('#'), 15);
    EXPECT_EQ(DtmfCharToCode('*'), 14);
    EXPECT_EQ(DtmfCharToCode('b'), 11);
    EXPECT_EQ(DtmfCharToCode('9'), 9);
    EXPECT_EQ(DtmfCharToCode('G'), 255);
    EXPECT_EQ(DtmfCodeToChar(0), '0');
    EXPECT_EQ(DtmfCodeToChar(13), 'D');
    EXPECT_EQ(DtmfCodeToChar(14), '*');
    EXPECT_EQ(DtmfCodeToChar(15), '#');
    EXPECT_EQ(DtmfCodeToChar(16), std::nullopt);
    EXPECT_EQ(DtmfCodeToChar(0xFF), std::nullopt);
}

TEST(Filters, AcceptOnlyTheirCharactersAndBackspace) {
    EXPECT_TRUE(FilterAccepts(kFrequencyFilter, '.'));
    EXPECT_FALSE(FilterAccepts(kFrequencyFilter, 'e'));
    EXPECT_TRUE(FilterAccepts(kChannelLabelFilter, 'b'));
    EXPECT_FALSE(FilterAccepts(kChannelLabelFilter, 'C'));
    EXPECT_FALSE(FilterAccepts(kHexFilter, 'a'));
    EXPECT_TRUE(FilterAccepts(kDtmfFilter, '#'));
    EXPECT_TRUE(FilterAccepts(kSignedNumberFilter, '-'));
    EXPECT_TRUE(FilterAccepts("", '\b'));
}

TEST(SpinText, ClampsAndWrapsInDecimalAndHex) {
    EXPECT_EQ(ClampSpinText("150", 0, 137, SpinFormat::Decimal), "137");
    EXPECT_EQ(ClampSpinText("-4", 0, 137, SpinFormat::Decimal), "0");
    EXPECT_EQ(ClampSpinText("", 5, 10, SpinFormat::Decimal), "5");
    EXPECT_EQ(ClampSpinText("12abc", 0, 137, SpinFormat::Decimal), "12");
    EXPECT_EQ(ClampSpinText("99999999999999", 0, 137, SpinFormat::Decimal), "137");
    EXPECT_EQ(ClampSpinText("1AB", 0, 0xFFFF, SpinFormat::Hex), "1ab");
    EXPECT_EQ(ClampSpinText("12345", 0, 0xFFFF, SpinFormat::Hex), "ffff");
    EXPECT_EQ(ClampSpinText("zz", 0, 0xFFFF, SpinFormat::Hex), "0");

    EXPECT_EQ(WrapSpinText("5", 1, 0, 137, SpinFormat::Decimal), "6");
    EXPECT_EQ(WrapSpinText("137", 1, 0, 137, SpinFormat::Decimal), "0");
    EXPECT_EQ(WrapSpinText("0", -1, 0, 137, SpinFormat::Decimal), "137");
    EXPECT_EQ(WrapSpinText("0", -1, 0, 0xFFFF, SpinFormat::Hex), "ffff");
    EXPECT_EQ(WrapSpinText("ffff", 1, 0, 0xFFFF, SpinFormat::Hex), "0");
    EXPECT_EQ(WrapSpinText("a", 1, 0, 0xFFFF, SpinFormat::Hex), "b");
}

}  // namespace
}  // namespace kestra
