// SPDX-License-Identifier: GPL-3.0-or-later
// Two images compared as a radio operator reads the difference: channels by label and field,
// added and removed channels, settings and calibration fields under their editors' captions
// (values a dialog only normalised included), the summary areas in one line, and only bytes no
// table owns as hexadecimal ranges.

#include "review/image_diff.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "channels/channel_csv_support.hpp"
#include "channels/image_preparation.hpp"
#include "service/calibration_file.hpp"
#include "settings/settings_text.hpp"

namespace kestra::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Diff(const MemoryImage& before, const MemoryImage& after,
                 std::span<const ImageSpan> spans = {}) {
    return FormatImageDifference(DiffImages(before, after, spans));
}

MemoryImage TwoChannels() {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 0, .name = "HOME"});
    Put(image, {.record = 130, .rx = 44600625, .tx = 44600625, .name = "PMR"});
    return image;
}

// Sets a settings text's values as `kestra-cli settings --apply` does: every dialog opened,
// the values entered, every dialog closed.
void ApplySettings(MemoryImage& image, std::string_view text) {
    std::string callId;
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    ASSERT_EQ(ApplySettingsText(text, forms), std::nullopt) << text;
    forms.StoreToImage(image);
}

// An image every editor has been opened and closed on, so that nothing is left to normalise.
MemoryImage EditedOnce() {
    MemoryImage image = TwoChannels();
    ApplySettings(image, "");
    EXPECT_EQ(ApplyCalibrationFile("", image), std::nullopt);
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

    // The shift the grid derives from a new Tx goes with it into the summary line.
    ChannelRecord b003(after, 130);
    b003.SetTxFrequency(44100625);
    b003.SetShiftDirection(1);
    b003.SetShiftAmount(500000);
    EXPECT_EQ(Diff(before, after).substr(Diff(before, after).find("B003")),
              "B003 Tx Freq: 446.00625 -> 441.00625\n"
              "B003 Tx Tone: None -> D023N\n"
              "and the summary areas the radio needs\n");

    // A channel written raw with a split, as a read brings it, whose shift a save derives: no
    // field changed, and the shift goes into the summary line too.
    MemoryImage raw = TwoChannels();
    ChannelRecord(raw, 0).SetTxFrequency(14592000);
    MemoryImage saved = raw;
    ChannelRecord(saved, 0).SetShiftDirection(1);
    ChannelRecord(saved, 0).SetShiftAmount(60000);
    EXPECT_EQ(Diff(raw, saved), "and the summary areas the radio needs\n");
}

TEST(ImageDiff, AddedAndRemovedChannelsWithTheirBitmapsSummedUp) {
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    Put(after, {.record = 5, .rx = 14550000});
    Put(after, {.record = kVfoBRecordIndex, .rx = 43350000});
    SetChannelBit(after, map::kPresentMapB, 3, false);  // B003's record is untouched
    EXPECT_EQ(Diff(before, after),
              "A006 added: 145.50000 MHz\n"
              "B003 removed: 446.00625 MHz \"PMR\"\n"
              "B VFO added: 433.50000 MHz\n"
              "and the summary areas the radio needs\n");
}

TEST(ImageDiff, SettingsAndCalibrationInTheDialogsOwnWords) {
    const MemoryImage before = EditedOnce();
    MemoryImage after = before;
    ApplySettings(after,
                  "[Optional Features]\nTOT (s)=120\n[DTMF Encode]\nPTT ID BOT=123ABCD\n"
                  "[Radio]\nCH 3=87.5\n");
    ASSERT_EQ(ApplyCalibrationFile("[Parameter Adjust]\nV PA Drive=9\n136-174 Sql 1/Mid=40\n"
                                   "[DTMF Initialization]\nTwist=1A\n"
                                   "[Sql Adjust]\n400-520 405/RSSI1/N Low=77\n",
                                   after),
              std::nullopt);
    EXPECT_EQ(Diff(before, after),
              "Optional Features: TOT (s) 30 -> 120\n"
              "DTMF Encode: PTT ID BOT (empty) -> 123ABCD\n"
              "Radio: CH 3 (empty) -> 87.500\n"
              "Parameter Adjust: V PA Drive 15 -> 9\n"
              "Parameter Adjust: 136-174 Sql 1/Mid 0 -> 40\n"
              "DTMF Initialization: Twist FFFF -> 1A\n"
              "Sql Adjust: 400-520 405/RSSI1/N Low 255 -> 77\n");
}

TEST(ImageDiff, AValueADialogOnlyNormalisedIsListedUnderItsCaption) {
    // A new document's time-out byte has no entry in the list: the dialog shows its fallback
    // and stores that entry when it closes, although the user changed nothing.
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    ApplySettings(after, "");
    ASSERT_EQ(ApplyCalibrationFile("", after), std::nullopt);
    const std::string text = Diff(before, after);
    EXPECT_THAT(text, HasSubstr("Optional Features: TOT (s) 30 -> 30 (as the dialog stores it)\n"));
    EXPECT_THAT(text,
                HasSubstr("DTMF Initialization: Twist FFFF -> FFFF (as the dialog stores it)"));
    // Everything the dialogs wrote is explained by a caption or the summary line.
    EXPECT_THAT(text, Not(HasSubstr("0x")));
    EXPECT_THAT(text, HasSubstr("\nand the summary areas the radio needs\n"));
}

TEST(ImageDiff, OnlyBytesNoTableOwnsAreShownAsOffsets) {
    const MemoryImage before = EditedOnce();
    MemoryImage after = before;
    after[0x2041] = 0x05;                           // inside Optional Features, no field's
    after[map::kSqlLowThresholdVSecond] = 0x12;     // carried through, never shown
    after[0x3000] = 0x00;                           // no editor's
    after.fill(0x3100, 20, 0x00);                   // a long run
    ChannelRecord(after, 0).SetShiftAmount(60000);  // not what its Rx and Tx derive
    WriteModelBlock(after, 0);                      // summary areas ...
    after[map::kBandPoints] ^= 0x01;
    after[map::kCurrentChannelA] = 0x05;
    EXPECT_EQ(Diff(before, after),
              "0x0012-0x0013 (A001): 00 01 -> 06 00\n"
              "0x2041 (Optional Features): FF -> 05\n"
              "0x3000: FF -> 00\n"
              "0x3100-0x3113: 20 bytes differ\n"
              "0x3F13 (Parameter Adjust): FF -> 12\n"
              "and the summary areas the radio needs\n");
}

TEST(ImageDiff, OnlyTheGivenSpansCount) {
    const MemoryImage before = TwoChannels();
    MemoryImage after = before;
    ChannelRecord(after, 0).SetName("WORK");
    after[0x2A10] = 0x00;  // Sql Adjust: outside what a write sends
    const std::array<ImageSpan, 2> sent{{{0x0000, 0x2A00}, {0x2E20, 0x3000}}};
    EXPECT_EQ(Diff(before, after, sent), "A001 CH. Name: HOME -> WORK\n");
    EXPECT_THAT(Diff(before, after), HasSubstr("Sql Adjust: 136-174 141/Noise1/W High 255 -> 0\n"));
}

}  // namespace
}  // namespace kestra::test
