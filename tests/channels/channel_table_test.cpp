// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's working copy: decoding records into cell texts, encoding them back (shift rules,
// tones, flags, kept bytes) and the commit rules of the in-place editors.

#include "channels/channel_table.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "channels/image_preparation.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

Bytes Read(const MemoryImage& image, std::size_t offset, std::size_t length) {
    const auto span = image.span(offset, length);
    return Bytes(span.begin(), span.end());
}

Bytes Bcd(std::uint32_t value) {
    const auto b = Bcd8Encode(value);
    return Bytes(b.begin(), b.end());
}

// A cleared record with the given Rx and Tx (0 = FF FF FF FF).
void PutChannel(MemoryImage& image, int record, std::uint32_t rx, std::uint32_t tx = 0) {
    WriteClearedRecord(image, record);
    image.write(RecordOffset(record), Bcd(rx));
    if (tx != 0) {
        image.write(RecordOffset(record) + 4, Bcd(tx));
    }
}

Texts RowTexts(const ChannelTable& table, int record) {
    Texts texts;
    for (int c = 0; c < kColumnCount; ++c) {
        texts.push_back(table.Cell(record, static_cast<Column>(c)));
    }
    return texts;
}

void PutRow(ChannelTable& table, int record, const Texts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        table.SetCell(record, static_cast<Column>(i), texts[i]);
    }
}

TEST(FillGridFromImage, DecodesPresentChannels) {
    MemoryImage image = BuiltInDocumentImage();
    PutChannel(image, 0, 14652500);
    image.write(8, Bytes{0x23, 0x80, 0x54, 0xC7});
    PutChannel(image, 1, 44600000, 14600000);
    image.write(RecordOffset(1) + 8, Bytes{0x41, 0x25});
    image[RecordOffset(1) + 13] = 0x40;  // low, del, narrow, carrier
    PutChannel(image, 2, 14652500);      // present bit cleared below
    PutChannel(image, 3, 30000000);      // in no section
    PutChannel(image, 132, 44600000);    // B005, present but not scanned
    image[RecordOffset(132) + 13] = 0x30;
    PutChannel(image, 256, 14600000);  // VFOs have no present bit
    SetChannelBit(image, map::kPresentMapA, 3, false);
    SetChannelBit(image, map::kScanMapB, 5, false);
    SectionLimits limits;
    ChannelTable table;
    table.FillGridFromImage(image, limits);
    EXPECT_EQ(RowTexts(table, 0),
              (Texts{"146.52500", "", "D023N", "D754I", "High", "Add", "Wide", "Off"}));
    EXPECT_EQ(RowTexts(table, 1), (Texts{"446.00000", "146.00000", "254.1", "None", "Low", "Del",
                                         "Narrow", "Carrier"}));
    EXPECT_TRUE(table.IsRowEmpty(2));
    EXPECT_TRUE(table.IsRowEmpty(3));
    EXPECT_EQ(table.Cell(132, Column::ScanAdd), "Del");
    EXPECT_EQ(table.Cell(256, Column::RxFreq), "146.00000");
}

TEST(FillGridFromImage, WritesDcsCodesBelowOneHundredAfterD0) {
    // "D0" + the code below 100, "D" + the code from 100 on: a code under 10 shows two digits.
    MemoryImage image = BuiltInDocumentImage();
    PutChannel(image, 0, 14652500);
    image.write(8, Bytes{0x05, 0x80, 0x05, 0xC1});
    PutChannel(image, 1, 14652500);
    image.write(RecordOffset(1) + 8, Bytes{0x17, 0xC0, 0x00, 0xC7});
    SectionLimits limits;
    ChannelTable table;
    table.FillGridFromImage(image, limits);
    EXPECT_EQ(table.Cell(0, Column::Decode), "D05N");
    EXPECT_EQ(table.Cell(0, Column::Encode), "D105I");
    EXPECT_EQ(table.Cell(1, Column::Decode), "D017I");
    EXPECT_EQ(table.Cell(1, Column::Encode), "D700I");
    table.StoreRow(0, image, limits);
    EXPECT_EQ(Read(image, 8, 4), (Bytes{0x05, 0x80, 0x05, 0xC1}));
}

TEST(FillGridFromImage, TakesSetLimitPairsFromTheImage) {
    MemoryImage image = BuiltInDocumentImage();
    image.write(map::kModelLimits, Bcd(14000000));
    image.write(map::kModelLimits + 4, Bcd(14600000));
    PutChannel(image, 0, 14500000);
    PutChannel(image, 1, 14700000);
    SectionLimits limits;
    ChannelTable table;
    table.FillGridFromImage(image, limits);
    EXPECT_EQ(limits.lower[0], 14000000);
    EXPECT_EQ(limits.upper[0], 14600000);
    EXPECT_EQ(limits.lower[1], 40000000);  // B pair unset: kept
    EXPECT_FALSE(table.IsRowEmpty(0));
    EXPECT_TRUE(table.IsRowEmpty(1));
}

struct ShiftCase {
    const char* rx;
    const char* tx;
    std::uint32_t oldMagnitude;  // kErased: FF FF FF FF
    std::uint8_t direction;
    std::uint32_t magnitude;
    std::uint32_t storedTx;  // 0: FF FF FF FF
};

constexpr std::uint32_t kErased = 0xFFFFFFFF;

class StoreShift : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(StoreShift, FollowsTheShiftRules) {
    const ShiftCase& c = GetParam();
    MemoryImage image;
    image.write(16, c.oldMagnitude == kErased ? Bytes(4, 0xFF) : Bcd(c.oldMagnitude));
    ChannelTable table;
    PutRow(table, 0, {c.rx, c.tx, "None", "None", "High", "Add", "Wide", "Off"});
    table.StoreRow(0, image, SectionLimits{});
    EXPECT_EQ(image[15], c.direction);
    EXPECT_EQ(Read(image, 16, 4), Bcd(c.magnitude));
    EXPECT_EQ(Read(image, 4, 4), c.storedTx ? Bcd(c.storedTx) : Bytes(4, 0xFF));
}

INSTANTIATE_TEST_SUITE_P(
    ChannelTable, StoreShift,
    ::testing::Values(ShiftCase{"146.52500", "", 600000, 0, 1000000, 0},
                      ShiftCase{"146.52500", "146.52500", 600000, 0, 1000000, 14652500},
                      ShiftCase{"146.52500", "146.00000", 600000, 1, 52500, 14600000},
                      ShiftCase{"146.00000", "146.52500", 600000, 2, 52500, 14652500},
                      ShiftCase{"146.00000", "446.00000", 600000, 0, 1000000, 44600000},
                      // Tx in no section: an old magnitude below 99.99501 MHz is kept...
                      ShiftCase{"146.00000", "300.00000", 9999500, 2, 9999500, 30000000},
                      ShiftCase{"146.00000", "100.00000", 600000, 1, 600000, 10000000},
                      // ...from there on (an erased field included) the Tx becomes the Rx.
                      ShiftCase{"146.00000", "300.00000", 9999501, 0, 1000000, 14600000},
                      ShiftCase{"146.00000", "100.00000", kErased, 0, 1000000, 14600000}));

TEST(StoreGridToImage, EncodesTonesAndFlagsAndKeepsHiddenBytes) {
    MemoryImage image;
    WriteClearedRecord(image, 0);
    const Bytes hidden{0x12, 0x34, 0xAB, 0xCD, 'R', 'E', 'P', 'E', 'A', 'T', 'R', 0x7E};
    image[12] = 0x5A;
    image[13] = 0x07;  // PTT ID and Vox bits are not the grid's
    image[14] = 0x33;
    image.write(20, hidden);
    ChannelTable table;
    PutRow(table, 0, {"146.52500", "", "D023N", "D754I", "Low", "Del", "Narrow", "Carrier"});
    table.StoreRow(0, image, SectionLimits{});
    EXPECT_EQ(Read(image, 8, 4), (Bytes{0x23, 0x80, 0x54, 0xC7}));
    EXPECT_EQ(Read(image, 12, 3), (Bytes{0x5A, 0x47, 0x33}));
    EXPECT_EQ(Read(image, 20, 12), hidden);

    PutRow(table, 0, {"146.52500", "", "88.5", "None", "High", "Del", "Narrow", "QT/DQT"});
    table.StoreRow(0, image, SectionLimits{});
    EXPECT_EQ(Read(image, 8, 4), (Bytes{0x85, 0x08, 0xFF, 0xFF}));
    EXPECT_EQ(image[13], 0x97);

    // An empty tone cell is no tone, never a 0.0 Hz CTCSS tone.
    table.SetCell(0, Column::Decode, "");
    table.StoreRow(0, image, SectionLimits{});
    EXPECT_EQ(Read(image, 8, 2), (Bytes{0xFF, 0xFF}));
}

TEST(StoreGridToImage, FillStoreFillRoundTripIsStable) {
    MemoryImage image = BuiltInDocumentImage();
    PutChannel(image, 0, 14652500, 14600000);
    PutChannel(image, 1, 44600625, 44600625);
    image.write(RecordOffset(1) + 8, Bytes{0x70, 0x06, 0x23, 0x80});
    image.write(RecordOffset(1) + 24, Bytes{'P', 'M', 'R', '1'});
    PutChannel(image, 139, 43625000, 43625000);
    image[RecordOffset(139) + 13] = 0x84;
    PutChannel(image, 257, 43000000);
    SectionLimits limits;
    ChannelTable first;
    first.FillGridFromImage(image, limits);
    first.StoreGridToImage(image, limits, kDefaultModelIndex);
    const MemoryImage stored = image;

    ChannelTable second;
    second.FillGridFromImage(image, limits);
    for (int record = 0; record < kRecordCount; ++record) {
        ASSERT_EQ(RowTexts(first, record), RowTexts(second, record)) << "record " << record;
    }
    second.StoreGridToImage(image, limits, kDefaultModelIndex);
    EXPECT_EQ(image, stored);
    EXPECT_EQ(Read(image, RecordOffset(1) + 24, 4), (Bytes{'P', 'M', 'R', '1'}));
    EXPECT_EQ(second.Cell(1, Column::RxFreq), "446.00625");
    EXPECT_EQ(second.Cell(139, Column::Bcl), "QT/DQT");
}

TEST(ChannelTableTest, BclWithBothBitsSetShowsAndStoresOffAsChannelEditDoes) {
    MemoryImage image = BuiltInDocumentImage();
    PutChannel(image, 5, 14652000, 14652000);
    image[RecordOffset(5) + 13] = 0xD4;  // BCL bits 3, the other bits of the byte set too
    SectionLimits limits;
    ChannelTable table;
    table.FillGridFromImage(image, limits);
    EXPECT_EQ(table.Cell(5, Column::Bcl), "Off");
    table.StoreGridToImage(image, limits, kDefaultModelIndex);
    EXPECT_EQ(image[RecordOffset(5) + 13], 0x14);
}

// ---- in-place edits -------------------------------------------------------------------------

class GridEdit : public ::testing::Test {
protected:
    GridEdit() {
        image = BuiltInDocumentImage();
        PutChannel(image, 0, 14652500, 14600000);
        PutChannel(image, 256, 14600000, 14600000);
        PutChannel(image, 257, 44600000, 44600000);
        table.FillGridFromImage(image, limits);
    }
    std::string Frequency(int row, Column column, const char* text) {
        table.CommitFrequencyEdit(row, column, text, image, limits);
        return table.Cell(row, column);
    }
    MemoryImage image;
    SectionLimits limits;
    ChannelTable table;
};

TEST_F(GridEdit, TypedFrequencyIsPulledIntoASectionAndOntoTheRaster) {
    EXPECT_EQ(Frequency(0, Column::RxFreq, "146.5234"), "146.52000");
    EXPECT_EQ(Frequency(0, Column::RxFreq, "100"), "136.00000");
    EXPECT_EQ(Frequency(0, Column::RxFreq, "99999999999"), "136.00000");
    EXPECT_EQ(Frequency(0, Column::RxFreq, "446.00625"), "446.00625");
    EXPECT_EQ(Frequency(0, Column::RxFreq, "146.5225"), "146.52250");  // 2.5 kHz multiple
    EXPECT_EQ(table.Cell(0, Column::TxFreq), "146.00000");             // not a VFO row
    EXPECT_EQ(Frequency(0, Column::TxFreq, ""), "146.00000");          // empty Tx text: unchanged
    EXPECT_EQ(Frequency(0, Column::TxFreq, "147.3"), "147.30000");

    // With no section set there is nowhere to put a value: the cell stays.
    limits.lower = {0, -1};
    limits.upper = {0, -1};
    EXPECT_FALSE(table.CommitFrequencyEdit(0, Column::RxFreq, "146", image, limits).Changed());
}

TEST_F(GridEdit, EmptyRowIsStartedAtItsRxAndCreatedByIt) {
    EXPECT_EQ(table.EditColumnFor(9, Column::Bcl), Column::RxFreq);
    EXPECT_EQ(table.EditColumnFor(0, Column::Bcl), Column::Bcl);
    EXPECT_EQ(Frequency(9, Column::TxFreq, "146"), "");
    EXPECT_FALSE(table.CommitToneEdit(9, Column::Decode, "67.0").Changed());
    EXPECT_FALSE(table.CommitChoiceEdit(9, Column::Power, "Low").Changed());

    image.write(RecordOffset(9), Bytes(32, 0x11));
    const MemoryImage before = image;
    const EditResult edit = table.CommitFrequencyEdit(9, Column::RxFreq, "145.5", image, limits);
    EXPECT_EQ(RowTexts(table, 9),
              (Texts{"145.50000", "145.50000", "None", "None", "High", "Add", "Wide", "Off"}));
    EXPECT_EQ(Read(image, RecordOffset(9), 32),
              Bytes(kClearedRecord.begin(), kClearedRecord.end()));
    ASSERT_TRUE(edit.record.has_value());

    table.RevertEdit(edit, image);
    EXPECT_EQ(image, before);
    EXPECT_TRUE(table.IsRowEmpty(9));
    table.ReapplyEdit(edit, image);
    EXPECT_EQ(table.Cell(9, Column::Bcl), "Off");
    EXPECT_EQ(image[RecordOffset(9)], 0xFF);
}

TEST_F(GridEdit, EmptiedRxEmptiesTheRowAndTheNextStoreResetsIt) {
    image.write(RecordOffset(0) + 24, Bytes{'C', 'A', 'L', 'L'});
    EXPECT_EQ(table.CommitFrequencyEdit(0, Column::RxFreq, "0", image, limits).cells.size(), 8u);
    EXPECT_EQ(RowTexts(table, 0), Texts(8));
    EXPECT_EQ(image[RecordOffset(0) + 24], 'C');
    table.StoreGridToImage(image, limits, kDefaultModelIndex);
    EXPECT_EQ(Read(image, 0, 32), Bytes(kClearedRecord.begin(), kClearedRecord.end()));
}

TEST_F(GridEdit, VfoRowsKeepRxAndTxInOneSection) {
    Frequency(256, Column::RxFreq, "147");
    EXPECT_EQ(table.Cell(256, Column::TxFreq), "146.00000");  // same section: Tx kept
    Frequency(256, Column::RxFreq, "446");
    EXPECT_EQ(table.Cell(256, Column::TxFreq), "446.00000");
    Frequency(257, Column::TxFreq, "145");
    EXPECT_EQ(table.Cell(257, Column::RxFreq), "145.00000");
    Frequency(257, Column::TxFreq, "146");
    EXPECT_EQ(table.Cell(257, Column::RxFreq), "145.00000");
}

TEST_F(GridEdit, ToneAndChoiceCommits) {
    table.CommitToneEdit(0, Column::Decode, "d23i");
    EXPECT_EQ(table.Cell(0, Column::Decode), "D023I");
    // A number is a tone of the lists or nothing: the cell keeps its tone.
    const std::string encode = table.Cell(0, Column::Encode);
    for (const char* refused : {"300.0", "68", "88.6"}) {
        const EditResult kept = table.CommitToneEdit(0, Column::Encode, refused);
        EXPECT_TRUE(kept.refused) << refused;
        EXPECT_FALSE(kept.Changed()) << refused;
        EXPECT_EQ(table.Cell(0, Column::Encode), encode) << refused;
    }
    table.CommitToneEdit(0, Column::Encode, "88,5");
    EXPECT_EQ(table.Cell(0, Column::Encode), "88.5");
    table.CommitToneEdit(0, Column::Encode, "67");
    EXPECT_EQ(table.Cell(0, Column::Encode), "67.0");
    table.CommitToneEdit(0, Column::Encode, "none");
    EXPECT_EQ(table.Cell(0, Column::Encode), "None");
    table.CommitToneEdit(0, Column::Decode, "");
    EXPECT_EQ(table.Cell(0, Column::Decode), "None");
    EXPECT_FALSE(table.CommitToneEdit(0, Column::Power, "67.0").Changed());

    const EditResult edit = table.CommitChoiceEdit(0, Column::Bcl, "QT/DQT");
    ASSERT_EQ(edit.cells.size(), 1u);
    EXPECT_EQ(edit.cells[0].before, "Off");
    EXPECT_FALSE(table.CommitChoiceEdit(0, Column::Bcl, "Maybe").Changed());
    EXPECT_FALSE(table.CommitChoiceEdit(0, Column::Bcl, "QT/DQT").Changed());
}

}  // namespace
}  // namespace kestra
