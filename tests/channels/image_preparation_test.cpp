// SPDX-License-Identifier: GPL-3.0-or-later
// What every save and write puts into the image besides the channel records.

#include "channels/image_preparation.hpp"

#include <gtest/gtest.h>

#include <vector>

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

Bytes Bcd(std::initializer_list<std::int64_t> values) {
    Bytes bytes;
    for (auto v : values) {
        const auto b = Bcd8Encode(static_cast<std::uint32_t>(v));
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

void PutChannel(MemoryImage& image, int record, std::uint32_t rx, std::uint8_t flags = 0x38) {
    WriteClearedRecord(image, record);
    image.write(RecordOffset(record), Bcd({rx}));
    image[RecordOffset(record) + 13] = flags;
}

TEST(ModelBlock, BlocksAreCopiedExactly) {
    const std::size_t sizes[] = {110, 54, 104};
    const std::uint8_t firsts[] = {0xC0, 0xC4, 0xB0};
    const std::uint8_t lasts[] = {0x00, 0xDC, 0x77};
    for (int model = 0; model < 3; ++model) {
        const auto block = ModelBlock(model);
        ASSERT_EQ(block.size(), sizes[model]) << kModelNames[model];
        EXPECT_EQ(block.front(), firsts[model]) << kModelNames[model];
        EXPECT_EQ(block.back(), lasts[model]) << kModelNames[model];
    }
    EXPECT_EQ(ModelBlock(0)[104], 0x0B);  // spot checks inside the blocks
    EXPECT_EQ(ModelBlock(1)[44], 0x94);
    EXPECT_EQ(ModelBlock(2)[85], 0xBB);

    MemoryImage image;
    image.fill(map::kModelBlock, 0x80, 0x00);
    WriteModelBlock(image, 1);
    EXPECT_EQ(image[0x2F00], 0xFF);
    EXPECT_EQ(Read(image, 0x2F01, 54), Bytes(ModelBlock(1).begin(), ModelBlock(1).end()));
    EXPECT_EQ(Read(image, 0x2F37, 0x2F70 - 0x2F37), Bytes(0x2F70 - 0x2F37, 0xFF));
    EXPECT_EQ(Read(image, 0x2F70, 10),
              (Bytes{0xB0, 0x01, 0x00, 0x0A, 0x01, 0x00, 0x88, 0xAA, 0x10, 0x00}));
    WriteModelBlock(image, 7);  // no such entry: the first model
    EXPECT_EQ(image[0x2F01], 0xC0);
}

TEST(ModelBlock, ImageTellsWhichModelWroteIt) {
    MemoryImage image;
    EXPECT_EQ(ModelIndexOfImage(image), -1);  // erased: never saved
    for (int model = 0; model < static_cast<int>(kModelNames.size()); ++model) {
        WriteModelBlock(image, model);
        EXPECT_EQ(ModelIndexOfImage(image), model);
    }
    image[map::kModelBlock + 20] ^= 0x01;
    EXPECT_EQ(ModelIndexOfImage(image), -1);
}

TEST(PrepareImageForWrite, DerivesEverySummaryArea) {
    MemoryImage image = BuiltInDocumentImage();
    PutChannel(image, 0, 14652500);        // A001, scan add
    PutChannel(image, 1, 14600000, 0x30);  // A002, not scanned
    PutChannel(image, 132, 44600000);      // B005
    PutChannel(image, 9, 30000000);        // A010 at 300 MHz: absent
    image[0x204C] = image[0x204D] = image[0x204E] = 0xFF;
    image[map::kCurrentChannelA] = 1;  // A002 is present: kept
    image[map::kCurrentChannelB] = 0;  // B001 is absent: moved to B005
    image.fill(map::kSecondBitmaps, 64, 0xAA);
    PrepareImageForWrite(image, SectionLimits{});

    EXPECT_EQ(Read(image, 0x2E00, 16), Bytes(16, 0xFF));
    EXPECT_EQ(Read(image, 0x2E10, 16), Bcd({13600000, 17400000, 40000000, 52000000}));
    EXPECT_EQ(Read(image, 0x1F70, 8), (Bytes{0xB0, 0x01, 0x04, 0x0A, 0x08, 0x02, 0x88, 0xAA}));
    EXPECT_EQ(Read(image, 0x204C, 3), (Bytes{0x9F, 0x3F, 0xCE}));
    EXPECT_EQ(Read(image, map::kPresentMapA, 2), (Bytes{0x03, 0x00}));
    EXPECT_EQ(Read(image, map::kScanMapA, 2), (Bytes{0x01, 0x00}));
    EXPECT_EQ(Read(image, map::kPresentMapB, 2), (Bytes{0x10, 0x00}));
    EXPECT_EQ(Read(image, map::kScanMapB, 16), Read(image, map::kPresentMapB, 16));
    EXPECT_EQ(Read(image, 0x2E20, 2), (Bytes{1, 5}));
    EXPECT_EQ(Read(image, 0x2E28, 16), Bytes(16, 0xFF));
    EXPECT_EQ(Read(image, map::kCurrentChannelA, 2), (Bytes{1, 4}));
    EXPECT_EQ(Read(image, 0x2E80, 16), (Bytes{0x00, 0x00, 0x40, 0x14, 0x00, 0x00, 0x60, 0x14, 0x00,
                                              0x00, 0x00, 0x43, 0x00, 0x00, 0x00, 0x44}));
    EXPECT_EQ(Read(image, 0x2E90, 64), Bytes(64, 0x00));
    EXPECT_EQ(Read(image, 0x3F15, 3), (Bytes{0x42, 0x3B, 0x35}));  // derived tables ran
    EXPECT_EQ(Read(image, 0x3F70, 4), (Bytes{0x00, 0x85, 0xCF, 0x00}));
}

TEST(PrepareImageForWrite, EmptySectionAndCurrentChannelOutsideTheSection) {
    MemoryImage image = BuiltInDocumentImage();
    PutChannel(image, 130, 44600000);  // only B003
    image[map::kCurrentChannelA] = 3;
    image[map::kCurrentChannelB] = 130;
    PrepareImageForWrite(image, SectionLimits{});
    EXPECT_EQ(image[0x2E20], 0xFF);
    EXPECT_EQ(Read(image, map::kCurrentChannelA, 2), (Bytes{0xFE, 2}));
    // An A index of 130 must not be taken for record 130 (B003, present).
    image[map::kCurrentChannelA] = 130;
    PrepareImageForWrite(image, SectionLimits{});
    EXPECT_EQ(image[map::kCurrentChannelA], 0xFE);
}

Bytes Windows(Frequency aLow, Frequency aHigh, Frequency bLow, Frequency bHigh) {
    MemoryImage image;
    SectionLimits limits;
    limits.lower = {aLow, bLow};
    limits.upper = {aHigh, bHigh};
    ComputeSectionWindows(image, limits);
    return Read(image, 0x2E80, 16);
}

TEST(ComputeSectionWindows, ClampsIntoTheBandWindows) {
    EXPECT_EQ(Windows(14450000, 14550000, 43500000, 52000000),
              Bcd({14450000, 14550000, 43500000, 44000000}));
    // A section in the 200-260 MHz band takes the other section's window.
    EXPECT_EQ(Windows(13600000, 17400000, 22000000, 24000000),
              Bcd({14400000, 14600000, 14400000, 14600000}));
    EXPECT_EQ(Windows(21000000, 25000000, 40000000, 52000000),
              Bcd({43000000, 44000000, 43000000, 44000000}));
    EXPECT_EQ(Windows(21000000, 25000000, 22000000, 24000000),
              Bcd({14400000, 14600000, 14400000, 14600000}));
    // A lower limit in no band keeps its section's own limits.
    EXPECT_EQ(Windows(30000000, 31000000, 40000000, 52000000),
              Bcd({30000000, 31000000, 43000000, 44000000}));
    EXPECT_EQ(Windows(13600000, 17400000, 60000000, 61000000),
              Bcd({14400000, 14600000, 60000000, 61000000}));
    const Bytes unset = Windows(13600000, 17400000, -1, -1);
    EXPECT_EQ(Bytes(unset.begin() + 8, unset.end()), Bytes(8, 0xFF));
}

}  // namespace
}  // namespace kestra
