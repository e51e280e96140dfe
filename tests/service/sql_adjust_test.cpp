// SPDX-License-Identifier: GPL-3.0-or-later
// Sql Adjust's points and the order of its grid cells in a squelch record.

#include "service/sql_adjust.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(SqlAdjust, EveryBandHasItsPointsInOneRunOfRecords) {
    const std::vector<SqlPoint> a = SqlPointsOfBand(0);
    const std::vector<SqlPoint> b = SqlPointsOfBand(1);
    const std::vector<SqlPoint> c = SqlPointsOfBand(2);
    ASSERT_EQ(a.size(), 8u);
    ASSERT_EQ(b.size(), 13u);
    ASSERT_EQ(c.size(), 25u);
    EXPECT_EQ(a[1].mhz, 141);
    EXPECT_EQ(a[1].offset, 0x2A10u);
    EXPECT_EQ(a.back().mhz, 171);
    EXPECT_EQ(b.front().offset, 0x2A80u);
    EXPECT_EQ(c.front().offset, 0x2B50u);
    EXPECT_EQ(c.back().mhz, 520);
    EXPECT_EQ(c.back().offset, 0x2CD0u);
    EXPECT_EQ(AllSqlPoints().size(), 46u);
    EXPECT_EQ(BandText(0), "136-174");
    EXPECT_EQ(BandText(2), "400-520");
}

TEST(SqlAdjust, CellsLandInTheirRecordBytes) {
    MemoryImage image;
    SqlRecordTexts cells = LoadSqlRecord(image, 0x2A10);
    EXPECT_THAT(cells, ::testing::Each(std::string("255")));

    // Row "RSSI1", column "N Low".
    cells[4 * 1 + 3] = "99";
    // Row "Noise1": W High, W Low, N High, N Low.
    cells[0] = "1";
    cells[1] = "2";
    cells[2] = "3";
    cells[3] = "4";
    cells[15] = "7x";   // the leading number counts
    cells[14] = "";     // no number: 0
    cells[13] = "300";  // the low 8 bits
    StoreSqlRecord(cells, image, 0x2A10);

    EXPECT_EQ(image[0x2A1B], 99);
    EXPECT_EQ(image[0x2A10], 1);
    EXPECT_EQ(image[0x2A11], 2);
    EXPECT_EQ(image[0x2A18], 3);
    EXPECT_EQ(image[0x2A19], 4);
    EXPECT_EQ(image[0x2A1F], 7);
    EXPECT_EQ(image[0x2A1E], 0);
    EXPECT_EQ(image[0x2A17], 300 & 0xFF);
    EXPECT_EQ(image[0x2A20], 0xFF);  // the next record is untouched
    EXPECT_EQ(LoadSqlRecord(image, 0x2A10)[7], "99");
}

TEST(SqlAdjust, TheCellEditorClampsInto0To137AndWraps) {
    EXPECT_EQ(LeaveSpinField(kSqlCellRule, "255"), "137");
    EXPECT_EQ(StepSpinField(kSqlCellRule, "0", -1), "137");
    EXPECT_EQ(StepSpinField(kSqlCellRule, "137", +1), "0");
    EXPECT_EQ(TypedSpinText(kSqlCellRule, "1234"), std::nullopt);
}

}  // namespace
}  // namespace kestra
