// SPDX-License-Identifier: GPL-3.0-or-later
// Two images compared as a user reads the difference: channels by label and field, added and
// removed channels, settings blocks by caption, the rest as named hexadecimal ranges.

#include "review/image_diff.hpp"

#include <gtest/gtest.h>

#include "channels/channel_csv_support.hpp"
#include "channels/image_preparation.hpp"
#include "service/calibration_file.hpp"

namespace kestra::test {
namespace {

std::string Diff(const MemoryImage& before, const MemoryImage& after,
                 std::span<const ImageSpan> spans = {}) {
    return FormatImageDifference(DiffImages(before, after, spans));
}

// What Parameter Adjust shows for a key of an image.
std::string CalibrationValue(const MemoryImage& image, const std::string& key) {
    const std::string text = FormatCalibrationFile(image);
    const std::size_t at = text.find("\n" + key + "=") + key.size() + 2;
    return text.substr(at, text.find('\n', at) - at);
}

MemoryImage TwoChannels() {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 0, .name = "HOME"});
    Put(image, {.record = 130, .rx = 44600625, .tx = 44600625, .name = "PMR"});
    return image;
}

TEST(ImageDiff, EqualImagesHaveNoDifference) {
    const MemoryImage image = TwoChannels();
    EXPECT_TRUE(DiffImages(image, image).empty());
    EXPECT_EQ(Diff(image, image), "");
}

TEST(ImageDiff, ChangedFieldsAreListedByLabelAndCaption) {
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    ChannelRecord a001(after, 0);
    a001.SetRxFrequency(14652500);
    a001.SetTxFrequency(std::nullopt);
    a001.SetName("WORK");
    a001.SetBcl(1);
    ChannelRecord(after, 130).SetTxToneText("D023N");
    EXPECT_EQ(Diff(before, after),
              "A001 Rx Freq: 146.52000 -> 146.52500\n"
              "A001 Tx Freq: 146.52000 -> (none)\n"
              "A001 BCL: Off -> Carrier\n"
              "A001 CH. Name: HOME -> WORK\n"
              "B003 Tx Tone: None -> D023N\n");
    const ImageDifference difference = DiffImages(before, after);
    ASSERT_EQ(difference.channels.size(), 2u);
    EXPECT_EQ(difference.channels[1].record, 130);
    EXPECT_TRUE(difference.other.empty());
}

TEST(ImageDiff, AddedAndRemovedChannelsIncludeOnesOnlyTheBitmapHides) {
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    Put(after, {.record = 5, .rx = 14550000});
    Put(after, {.record = kVfoBRecordIndex, .rx = 43350000});
    SetChannelBit(after, map::kPresentMapB, 3, false);  // B003's record is untouched
    EXPECT_EQ(Diff(before, after),
              "A006 added: 145.50000 MHz\n"
              "B003 removed: 446.00625 MHz \"PMR\"\n"
              "B VFO added: 433.50000 MHz\n"
              "0x2E60 (channel bitmaps): FF -> FB\n");
}

TEST(ImageDiff, SettingsBlocksByCaptionThenTheRestAsRanges) {
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    after[0x2042] = 0x05;                           // Optional Features
    after[0x2F90] = 0x12;                           // the Radio dialog's block
    after[map::kVoiceTxGain] = 40;                  // Parameter Adjust
    after[0x3000] = 0x00;                           // not interpreted
    after.fill(0x3100, 20, 0x00);                   // a long run
    after[map::kModelLimits + 1] = 0x11;            // section limits (A lower, not the set marker)
    ChannelRecord(after, 0).SetShiftAmount(60000);  // no field of its own
    EXPECT_EQ(Diff(before, after),
              "Optional Features, 0x2042: 04 -> 05\n"
              "Radio, 0x2F90: FF -> 12\n"
              "Parameter Adjust, Voice Tx Gain: " +
                  CalibrationValue(before, "Voice Tx Gain") +
                  " -> 40\n"
                  "0x0012-0x0013 (A001): 00 01 -> 06 00\n"
                  "0x2E11 (section limits): FF -> 11\n"
                  "0x3000: FF -> 00\n"
                  "0x3100-0x3113: 20 bytes differ\n");
}

TEST(ImageDiff, OnlyTheGivenSpansCount) {
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    ChannelRecord(after, 0).SetName("WORK");
    after[0x2A10] = 0x00;  // Sql Adjust: outside what a write sends
    const std::array<ImageSpan, 2> sent{{{0x0000, 0x2A00}, {0x2E20, 0x3000}}};
    EXPECT_EQ(Diff(before, after, sent), "A001 CH. Name: HOME -> WORK\n");
    EXPECT_NE(Diff(before, after).find("Sql Adjust, "), std::string::npos);
}

}  // namespace
}  // namespace kestra::test
