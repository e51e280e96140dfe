// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/calibration_tables.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kestra {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::uint8_t> Bytes(const MemoryImage& image, std::size_t offset, std::size_t n) {
    auto s = image.span(offset, n);
    return {s.begin(), s.end()};
}

void SetPowerRow(MemoryImage& image, std::size_t row, std::uint8_t low, std::uint8_t mid,
                 std::uint8_t high) {
    const std::size_t at = kTransmitPowerTableOffset + kTransmitPowerRowSize * row;
    image[at] = low;
    image[at + 1] = mid;
    image[at + 2] = high;
}

std::vector<std::uint8_t> SlopeGroup(const MemoryImage& image, std::size_t row) {
    return Bytes(image, kPowerSlopeTableOffset + kPowerSlopeGroupSize * row, kPowerSlopeGroupSize);
}

// Every byte outside [offset, offset + length) must equal the reference image.
void ExpectOnlyChanged(const MemoryImage& before, const MemoryImage& after, std::size_t offset,
                       std::size_t length) {
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (i >= offset && i < offset + length) {
            continue;
        }
        ASSERT_EQ(before[i], after[i]) << "byte 0x" << std::hex << i << " changed";
    }
}

TEST(CalibrationTables, ReferenceLevelsAreConstantAndStayInTheirTable) {
    for (std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x5A}}) {
        MemoryImage image;
        image.fill(0, kImageSize, fill);
        const MemoryImage before = image;
        ComputeReferenceLevels(image);
        EXPECT_THAT(Bytes(image, 0x3F15, 10),
                    ElementsAre(0x42, 0x3B, 0x35, 0x2F, 0x28, 0x22, 0x1C, 0x15, 0x0F, 0x08));
        ExpectOnlyChanged(before, image, 0x3F15, 10);
    }
}

TEST(CalibrationTables, BandPointsHoldEdgesMiddleAndThirdsOfEveryBand) {
    MemoryImage image;
    const MemoryImage before = image;
    ComputeBandPoints(image);
    // Little-endian 32-bit frequencies in 10 Hz units, five per band.
    const std::vector<std::uint32_t> expected = {
        13600000, 17400000, 15500000, 14900000, 16100000,  //
        20000000, 26000000, 23000000, 22000000, 24000000,  //
        40000000, 52000000, 46000000, 44000000, 48000000};
    std::vector<std::uint8_t> expectedBytes;
    for (std::uint32_t v : expected) {
        for (int i = 0; i < 4; ++i) {
            expectedBytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    }
    EXPECT_THAT(Bytes(image, 0x3F70, 60), ElementsAreArray(expectedBytes));
    ExpectOnlyChanged(before, image, 0x3F70, 60);
}

TEST(CalibrationTables, PowerSlopesRiseAndFallPerSegment) {
    MemoryImage image;
    SetPowerRow(image, 0, 100, 120, 110);
    ComputePowerSlopes(image);
    // 1900000 / 20 rising, then 1900000 / 10 falling (bit 7 of the third byte set).
    EXPECT_THAT(SlopeGroup(image, 0), ElementsAre(0x18, 0x73, 0x01, 0x30, 0xE6, 0x82));
}

TEST(CalibrationTables, PowerSlopesUseTheHalfWidthOfTheRowsBand) {
    MemoryImage image;
    // Rows 2 and 3 belong to 200-260 MHz (half width 3000000), rows 4 and 5 to 400-520 MHz
    // (6000000). A single step is the steepest slope and must still fit in 23 bits.
    SetPowerRow(image, 3, 10, 20, 10);
    SetPowerRow(image, 4, 1, 0, 1);
    ComputePowerSlopes(image);
    // 3000000 / 10 = 300000 = 0x0493E0.
    EXPECT_THAT(SlopeGroup(image, 3), ElementsAre(0xE0, 0x93, 0x04, 0xE0, 0x93, 0x84));
    // 6000000 = 0x5B8D80.
    EXPECT_THAT(SlopeGroup(image, 4), ElementsAre(0x80, 0x8D, 0xDB, 0x80, 0x8D, 0x5B));
}

TEST(CalibrationTables, FlatPowerRowsGiveZeroSlopes) {
    MemoryImage image;  // a fresh image: every power row is 255, 255, 255
    SetPowerRow(image, 1, 77, 77, 77);
    SetPowerRow(image, 2, 50, 50, 60);  // flat first segment only
    ComputePowerSlopes(image);
    for (std::size_t row : {0u, 1u, 3u, 4u, 5u}) {
        EXPECT_THAT(SlopeGroup(image, row), ElementsAre(0, 0, 0, 0, 0, 0)) << "row " << row;
    }
    // 3000000 / 10 = 0x0493E0 on the second segment.
    EXPECT_THAT(SlopeGroup(image, 2), ElementsAre(0, 0, 0, 0xE0, 0x93, 0x04));
}

TEST(CalibrationTables, DeriveTuningTablesFillsBandPointsAndSlopesOnAFreshImage) {
    MemoryImage image;
    SetPowerRow(image, 0, 100, 120, 110);
    const MemoryImage before = image;
    DeriveTuningTables(image);
    MemoryImage points;
    ComputeBandPoints(points);
    EXPECT_EQ(Bytes(image, 0x3F70, 60), Bytes(points, 0x3F70, 60));
    EXPECT_THAT(SlopeGroup(image, 0), ElementsAre(0x18, 0x73, 0x01, 0x30, 0xE6, 0x82));
    // The power table is input and the gap byte 0x3F6F is nobody's: only the two tables change.
    ExpectOnlyChanged(before, image, 0x3F4B, 0x3FAC - 0x3F4B);
    EXPECT_THAT(Bytes(image, 0x3F6F, 1), ElementsAre(0xFF));
}

}  // namespace
}  // namespace kestra
