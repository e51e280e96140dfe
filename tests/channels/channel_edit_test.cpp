// SPDX-License-Identifier: GPL-3.0-or-later
// The Channel Edit rules without widgets: loading and saving one record, the frequency and
// channel-number commits, stepping, and typing "Caption=value" as kestra-cli channel does.

#include "channels/channel_edit.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "channels/channel_edit_text.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

Bytes Read(const MemoryImage& image, std::size_t offset, std::size_t length) {
    const auto span = image.span(offset, length);
    return Bytes(span.begin(), span.end());
}

int ListIndex(const ChannelEditor& editor, std::string_view caption) {
    for (std::size_t i = 0; i < kChannelListFields.size(); ++i) {
        if (kChannelListFields[i].caption == caption) {
            return editor.fields().lists[i];
        }
    }
    return -2;
}

class ChannelEditTest : public ::testing::Test {
protected:
    // Channel A001 at 146.52500 / 146.52500, named "CALL".
    void SetUp() override {
        image_ = BuiltInDocumentImage();
        WriteClearedRecord(image_, 0);
        ChannelRecord a001(image_, 0);
        a001.SetRxFrequency(14652500);
        a001.SetTxFrequency(14652500);
        a001.SetName("CALL");
    }

    MemoryImage image_;
    SectionLimits limits_;
};

TEST_F(ChannelEditTest, LowerCaseSectionLettersNameTheSameChannel) {
    EXPECT_EQ(ParseChannelText("B5"), 133);
    EXPECT_EQ(ParseChannelText("b5"), 133);
    EXPECT_EQ(ParseChannelText("a12"), 12);
    EXPECT_EQ(ParseChannelText("b vfo"), 258);
    EXPECT_EQ(ParseChannelText("xyz"), 0);

    ChannelEditor editor(image_, limits_, 1);
    editor.fields().ch = "b5";
    editor.CommitChannelNumber();
    EXPECT_EQ(editor.number(), 133);
    EXPECT_EQ(editor.fields().ch, "B005");
    editor.fields().ch = "999";
    editor.CommitChannelNumber();
    EXPECT_EQ(editor.fields().ch, "B VFO");
    editor.fields().ch = "Z";
    editor.CommitChannelNumber();
    EXPECT_EQ(editor.fields().ch, "A001");
    EXPECT_EQ(editor.fields().rxFreq, "146.52500");
}

TEST_F(ChannelEditTest, StepsWrapAroundBothEnds) {
    ChannelEditor editor(image_, limits_, 258);
    editor.StepChannel(+1);
    EXPECT_EQ(editor.fields().ch, "A001");
    EXPECT_EQ(editor.fields().name, "CALL");
    editor.StepChannel(-1);
    EXPECT_EQ(editor.fields().ch, "B VFO");
    EXPECT_EQ(editor.number(), 258);
}

TEST_F(ChannelEditTest, ListsOutsideTheirRangeShowTheirFallback) {
    ChannelRecord(image_, 0).SetByte(12, 0xF0);  // voice process 15
    ChannelRecord(image_, 0).SetByte(13, 0xC0);  // BCL 3, low power, narrow, not scanned
    ChannelEditor editor(image_, limits_, 1);
    EXPECT_EQ(ListIndex(editor, "BCL"), 0);
    EXPECT_EQ(ListIndex(editor, "Voice Process"), 0);
    EXPECT_EQ(ListIndex(editor, "Tx Power"), 0);
    EXPECT_EQ(ListIndex(editor, "Scan Add"), 0);
}

TEST_F(ChannelEditTest, SavesShiftNameAndFlagsOfTheRecord) {
    ChannelEditor editor(image_, limits_, 1);
    ChannelEditFields& fields = editor.fields();
    fields.rxFreq = "145";
    editor.CommitRxFrequency();
    fields.txFreq = "435";
    editor.CommitTxFrequency("145.00000");
    fields.name = "ABCDEFG";
    fields.lists = {1, 0, 2, 1, 9, 1, 1, 3, 2};
    editor.SaveChannel();
    EXPECT_EQ(Read(image_, 12, 2), (Bytes{0x99, 0x9F}));  // every field of both bytes
    EXPECT_EQ(image_[15], 2);
    EXPECT_EQ(Read(image_, 16, 4), (Bytes{0x00, 0x00, 0x00, 0x29}));
    EXPECT_EQ(Read(image_, 24, 8), (Bytes{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0xFF}));

    fields.name = "ABC";
    fields.txFreq = "";
    editor.SaveChannel();
    EXPECT_EQ(Read(image_, 4, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(image_[15], 0);
    EXPECT_EQ(Read(image_, 16, 4), (Bytes{0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(Read(image_, 27, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(ChannelEditTest, FirstRxOfAnEmptyChannelPresetsItAndSavingMakesItPresent) {
    const int b003 = 131;
    SetChannelBit(image_, map::kPresentMapB, 3, false);
    ChannelEditor editor(image_, limits_, b003);
    EXPECT_FALSE(editor.fields().enabled);
    EXPECT_EQ(ListIndex(editor, "Scan Add"), -1);
    editor.fields().rxFreq = "446.00625";
    editor.CommitRxFrequency();
    const ChannelEditFields& fields = editor.fields();
    EXPECT_TRUE(fields.enabled);
    EXPECT_EQ(fields.txFreq, "446.00625");
    EXPECT_EQ(fields.rxTone, "None");
    EXPECT_EQ(ListIndex(editor, "Scan Add"), 0);  // "Del"
    EXPECT_EQ(ListIndex(editor, "Tx Power"), 1);  // "High"
    EXPECT_EQ(ListIndex(editor, "W/N"), 1);       // "Wide"
    EXPECT_FALSE(ChannelBit(image_, map::kPresentMapB, 3));
    editor.StepChannel(+1);
    EXPECT_TRUE(ChannelBit(image_, map::kPresentMapB, 3));
    EXPECT_EQ(Read(image_, RecordOffset(b003 - 1), 4), (Bytes{0x25, 0x06, 0x60, 0x44}));
}

TEST_F(ChannelEditTest, EmptiedRxResetsTheRecordOnLeaving) {
    ChannelEditor editor(image_, limits_, 1);
    editor.fields().rxFreq = "";
    editor.CommitRxFrequency();
    EXPECT_FALSE(editor.fields().enabled);
    editor.StepChannel(+1);
    EXPECT_EQ(Read(image_, 0, kRecordSize), Bytes(kClearedRecord.begin(), kClearedRecord.end()));
}

TEST_F(ChannelEditTest, FrequenciesArePulledIntoASectionAndOntoTheRaster) {
    ChannelEditor editor(image_, limits_, 1);
    ChannelEditFields& fields = editor.fields();
    fields.rxFreq = "100";
    editor.CommitRxFrequency();
    EXPECT_EQ(fields.rxFreq, "136.00000");
    fields.rxFreq = "146.5234";
    editor.CommitRxFrequency();
    EXPECT_EQ(fields.rxFreq, "146.52000");
    EXPECT_EQ(fields.txFreq, "146.52500");  // a memory channel's Tx stays
    fields.txFreq = "";
    editor.CommitTxFrequency("146.52500");
    EXPECT_EQ(fields.txFreq, "146.52500");  // an emptied Tx comes back
}

TEST_F(ChannelEditTest, VfoKeepsRxAndTxInOneSectionAndSavesWhatItShows) {
    ChannelEditor editor(image_, limits_, 257);
    ChannelEditFields& fields = editor.fields();
    fields.rxFreq = "145";
    editor.CommitRxFrequency();
    fields.rxFreq = "435";
    editor.CommitRxFrequency();
    EXPECT_EQ(fields.txFreq, "435.00000");
    fields.txFreq = "146";
    editor.CommitTxFrequency("435.00000");
    EXPECT_EQ(fields.rxFreq, "146.00000");
    editor.SaveChannel();
    EXPECT_EQ(ConstChannelRecord(image_, 256).RxFrequency(), 14600000);
}

TEST_F(ChannelEditTest, ToneTypedButNeverLeftIsReadBeforeItIsStored) {
    ChannelEditor editor(image_, limits_, 1);
    editor.fields().rxTone = "67";  // as on closing with the text still in the box
    editor.fields().txTone = "68";
    editor.SaveChannel();
    EXPECT_EQ(ConstChannelRecord(image_, 0).RxToneText(), "67.0");
    EXPECT_EQ(ConstChannelRecord(image_, 0).TxToneText(), "None");  // its tone before
}

TEST(ChannelEditTextTest, TypesAssignmentsAsLeavingEachControlWould) {
    MemoryImage image = BuiltInDocumentImage();
    SectionLimits limits;
    ChannelEditor editor(image, limits, 2);
    EXPECT_THAT(PrintChannelEdit(editor.fields()), ::testing::StartsWith("CH: A002\nRx Freq:\n"));
    EXPECT_THAT(*TypeIntoChannelEditor(editor, "W/N=Narrow"), HasSubstr("empty channel"));
    EXPECT_EQ(TypeIntoChannelEditor(editor, "rx freq=446.00625"), std::nullopt);
    EXPECT_EQ(TypeIntoChannelEditor(editor, "Rx Tone=d23i"), std::nullopt);
    EXPECT_EQ(TypeIntoChannelEditor(editor, "Relay Mode=talk around"), std::nullopt);
    EXPECT_EQ(TypeIntoChannelEditor(editor, "CH. Name=PMR 1"), std::nullopt);
    EXPECT_THAT(*TypeIntoChannelEditor(editor, "Tx Power=Max"), HasSubstr("one of Low, High"));
    EXPECT_THAT(*TypeIntoChannelEditor(editor, "CH. Name=TOOLONGX"), HasSubstr("at most 7"));
    EXPECT_THAT(*TypeIntoChannelEditor(editor, "Tx Freq=44x"), HasSubstr("digits and a point"));
    EXPECT_THAT(*TypeIntoChannelEditor(editor, "Colour=red"), HasSubstr("no field 'Colour'"));
    // A number that is no tone of the lists is refused and the box keeps its tone.
    EXPECT_THAT(*TypeIntoChannelEditor(editor, "Tx Tone=68"),
                HasSubstr("Tx Tone takes a tone of the lists"));
    EXPECT_EQ(editor.fields().txTone, "None");
    EXPECT_EQ(TypeIntoChannelEditor(editor, "Tx Tone=88,5"), std::nullopt);
    EXPECT_EQ(editor.fields().txTone, "88.5");
    EXPECT_EQ(TypeIntoChannelEditor(editor, "Tx Tone=None"), std::nullopt);
    EXPECT_EQ(PrintChannelEdit(editor.fields()),
              "CH: A002\nRx Freq: 446.00625\nTx Freq: 446.00625\nRx Tone: D023I\n"
              "Tx Tone: None\nTx Power: High\nW/N: Wide\nBCL: Off\nVox: Off\n"
              "Voice Process: Off\nCH. Name: PMR 1\nScan Add: Del\nSignal Type: Off\n"
              "PTT ID: Off\nRelay Mode: Talk around\n");
}

}  // namespace
}  // namespace kestra
