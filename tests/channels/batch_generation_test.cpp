// SPDX-License-Identifier: GPL-3.0-or-later
// Batch generation: the raster snap, the box normalisation and what one Apply writes.

#include "channels/batch_generation.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "channels/batch_form.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Read(const MemoryImage& image, std::size_t offset, std::size_t length) {
    const auto span = image.span(offset, length);
    return Bytes(span.begin(), span.end());
}

std::uint32_t NoDraw() {
    ADD_FAILURE() << "a batch without random tones drew a number";
    return 0;
}

class BatchTest : public ::testing::Test {
protected:
    ConstChannelRecord Channel(int number) const { return ConstChannelRecord(image_, number - 1); }

    MemoryImage image_ = BuiltInDocumentImage();
    SectionLimits limits_;
    BatchPlan plan_;
};

TEST(SnapToNearestRasterTest, MovesToTheNearestRasterAndTheEarlierCandidateWinsATie) {
    EXPECT_EQ(SnapToNearestRaster(40000000), 40000000);
    EXPECT_EQ(SnapToNearestRaster(44600625), 44600625);  // a 6.25 kHz multiple stays
    EXPECT_EQ(SnapToNearestRaster(700), 750);            // up 50 beats down 75
    EXPECT_EQ(SnapToNearestRaster(1200), 1250);          // up 50 ties up 50: 2.5 kHz wins
    EXPECT_EQ(SnapToNearestRaster(14652510), 14652500);  // down 10
    EXPECT_EQ(SnapToNearestRaster(125), 0);              // down 125 ties up 125: down wins
}

TEST(BatchFormTest, BoxesAreNormalisedAsTheDialogDoes) {
    EXPECT_EQ(NormalizeStepText("7"), "7.5");
    EXPECT_EQ(NormalizeStepText("12"), "12.5");
    EXPECT_EQ(NormalizeStepText("6.25"), "6.25");
    EXPECT_EQ(LimitStepText("1500"), "1000");
    EXPECT_EQ(LimitIntervalText("35"), "20");
    EXPECT_EQ(LimitIntervalText(""), "0");
    EXPECT_EQ(NormalizeFromText("0", "256"), "1");
    EXPECT_EQ(NormalizeFromText("200", "100"), "1");
    EXPECT_EQ(NormalizeToText("50", "60"), "256");
    EXPECT_EQ(NormalizeToText("999", "1"), "256");
    const SectionLimits limits;
    EXPECT_EQ(NormalizeStartText("", "145.00000", limits), "145.00000");
    EXPECT_EQ(NormalizeStartText("300", "145.00000", limits), "136.00000");
    EXPECT_EQ(NormalizeStartText("446.0062", "", limits), "446.00625");

    BatchForm form = DefaultBatchForm(limits);
    EXPECT_EQ(form.rxStart, "136.00000");
    EXPECT_EQ(form.offset, "0.00000");
    form.range = BatchRange::From;
    form.from = "300";
    form.to = "20";
    form.rxStart = "1";
    form.rxStep = "7";
    const BatchPlan plan = PlanBatch(form, limits);  // Apply before any box was left
    EXPECT_EQ(plan.first, 1);
    EXPECT_EQ(plan.last, 20);
    EXPECT_EQ(plan.rxStart, 13600000);
    EXPECT_EQ(plan.rxStep, 750);
}

TEST_F(BatchTest, RxStepsFromItsStartAndTxFollowsIt) {
    plan_.rxStart = 40000000;
    plan_.txStart = 40000000;
    plan_.rxStep = 1250;
    ApplyBatch(image_, limits_, plan_, NoDraw);
    EXPECT_EQ(Channel(1).RxFrequency(), 40000000);
    EXPECT_EQ(Channel(2).RxFrequency(), 40001250);
    EXPECT_EQ(Channel(256).RxFrequency(), 40000000 + 255 * 1250);
    EXPECT_EQ(Channel(2).TxFrequency(), 40001250);
    EXPECT_EQ(Read(image_, RecordOffset(1) + 8, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Read(image_, map::kPresentMapB, 16), Bytes(16, 0xFF));
}

TEST_F(BatchTest, FrequenciesWrapAtTheirSectionEnds) {
    plan_.last = 3;
    plan_.rxStart = 13610000;
    plan_.rxStep = 10000;
    plan_.rxDirection = -1;
    plan_.txMode = TxFrequencyMode::Start;
    plan_.txStart = 51990000;
    plan_.txStep = 10000;
    ApplyBatch(image_, limits_, plan_, NoDraw);
    EXPECT_EQ(Channel(2).RxFrequency(), 13600000);
    EXPECT_EQ(Channel(3).RxFrequency(), 17400000);  // below the lower limit: the upper
    EXPECT_EQ(Channel(2).TxFrequency(), 52000000);
    EXPECT_EQ(Channel(3).TxFrequency(), 40000000);  // above the upper limit: the lower
}

TEST_F(BatchTest, OffsetOutsideTheTxSectionTakesItsLimit) {
    plan_.last = 2;
    plan_.rxStart = 14600000;
    plan_.rxStep = 600000;
    plan_.rxDirection = -1;
    plan_.txMode = TxFrequencyMode::Offset;
    plan_.offset = 500000;
    plan_.offsetSign = -1;
    plan_.txStart = 13600000;
    ApplyBatch(image_, limits_, plan_, NoDraw);
    EXPECT_EQ(Channel(1).TxFrequency(), 14100000);
    EXPECT_EQ(Channel(2).RxFrequency(), 14000000);
    EXPECT_EQ(Channel(2).TxFrequency(), 17400000);  // 135.00000 is below: "Minus" takes the upper

    // A UHF offset stays in the B section, whatever the (disabled) Tx start box holds.
    plan_.rxStart = 44000000;
    plan_.offsetSign = 1;
    ApplyBatch(image_, limits_, plan_, NoDraw);
    EXPECT_EQ(Channel(1).TxFrequency(), 44500000);
}

TEST_F(BatchTest, TonesStepThroughTheListAndWrapToNone) {
    plan_.last = 3;
    plan_.rxStart = 14600000;
    plan_.rxTone = 1;  // 67.0
    plan_.rxInterval = 2;
    plan_.txToneStart = true;
    plan_.txTone = kToneListSize - 2;  // D743I
    plan_.txInterval = 1;
    ApplyBatch(image_, limits_, plan_, NoDraw);
    EXPECT_EQ(Channel(1).RxToneText(), "67.0");
    EXPECT_EQ(Channel(2).RxToneText(), "71.9");
    EXPECT_EQ(Channel(3).RxToneText(), "77.0");
    EXPECT_EQ(Channel(2).TxToneText(), "D754I");
    EXPECT_EQ(Channel(3).TxToneText(), "None");
}

TEST_F(BatchTest, DefaultTxToneCopiesARandomRxTone) {
    plan_.last = 2;
    plan_.rxStart = 14600000;
    plan_.rxRandom = true;
    std::vector<std::uint32_t> draws{265 + 1, 52};  // 67.0, then D023N
    ApplyBatch(image_, limits_, plan_, [&draws] {
        const std::uint32_t next = draws.front();
        draws.erase(draws.begin());
        return next;
    });
    EXPECT_EQ(Channel(1).RxToneText(), "67.0");
    EXPECT_EQ(Channel(1).TxToneText(), "67.0");
    EXPECT_EQ(Channel(2).TxToneText(), "D023N");
}

TEST_F(BatchTest, WritesOptionsAndNameOnlyInItsRange) {
    plan_.first = 1;
    plan_.last = 128;
    plan_.rxStart = 14600000;
    plan_.lists = {1, 1, 2, 1, 9, 1, 1, 3, 2};
    plan_.name = "ABCDEFG";
    plan_.byNumber = true;
    const Bytes vfos = Read(image_, RecordOffset(256), 2 * kRecordSize);
    const Bytes b001 = Read(image_, RecordOffset(128), kRecordSize);
    ApplyBatch(image_, limits_, plan_, NoDraw);
    EXPECT_EQ(Channel(7).Name(), "ABCD007");
    EXPECT_EQ(Read(image_, RecordOffset(6) + 12, 2), (Bytes{0x99, 0xBF}));
    EXPECT_EQ(Read(image_, RecordOffset(256), 2 * kRecordSize), vfos);
    EXPECT_EQ(Read(image_, RecordOffset(128), kRecordSize), b001);
}

}  // namespace
}  // namespace kestra
