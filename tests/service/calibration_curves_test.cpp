// SPDX-License-Identifier: GPL-3.0-or-later
// The curves beside the calibration grids follow the grid texts.

#include "service/calibration_curves.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(CalibrationCurves, PowerIsDrawnPerBandAtItsThreePoints) {
    ParameterAdjustForm form = LoadParameterAdjust(MemoryImage());
    std::vector<std::string>& power = form.cells[static_cast<std::size_t>(GridId::Power)];
    power[3] = "200";  // 136-174, high power, low point
    power[5] = "90";   // 136-174, high power, high point
    power[15] = "10";  // 400-520, high power, low point

    const CurveChartData chart = PowerCurves(form);
    ASSERT_EQ(chart.series.size(), 2u);
    const CurveSeries& high = chart.series[1];
    ASSERT_EQ(high.segments.size(), 3u);  // one per band, never joined
    ASSERT_EQ(high.segments[0].size(), 3u);
    EXPECT_EQ(high.segments[0][0].x, 136);
    EXPECT_EQ(high.segments[0][1].x, 155);
    EXPECT_EQ(high.segments[0][2].x, 174);
    EXPECT_EQ(high.segments[0][0].y, 200);
    EXPECT_EQ(high.segments[0][1].y, 255);
    EXPECT_EQ(high.segments[0][2].y, 90);
    EXPECT_EQ(high.segments[2][0].x, 400);
    EXPECT_EQ(high.segments[2][0].y, 10);
    EXPECT_EQ(chart.series[0].segments[1][1].x, 230);

    EXPECT_EQ(SqlThresholdCurves(form).series[0].name, "Sql 1");
}

TEST(CalibrationCurves, SqlPointsUseTheGridForTheSelectedPoint) {
    MemoryImage image;
    const std::vector<SqlPoint> points = SqlPointsOfBand(0);
    image[points[0].offset + 2] = 40;  // 136 MHz, RSSI1 W High
    SqlRecordTexts grid = LoadSqlRecord(image, points[1].offset);
    grid[4] = "77";  // 141 MHz, RSSI1 W High, typed but not stored yet

    const CurveChartData chart = SqlPointCurves(image, 0, 1, points[1], grid);
    ASSERT_EQ(chart.series.size(), 4u);
    EXPECT_EQ(chart.series[0].name, "W High");
    const std::vector<CurvePoint>& line = chart.series[0].segments.at(0);
    ASSERT_EQ(line.size(), 8u);
    EXPECT_EQ(line[0].y, 40);
    EXPECT_EQ(line[1].y, 77);
    EXPECT_EQ(line[2].y, 255);
    EXPECT_EQ(chart.markX, 141);
    // Values above the editor's range still fit the chart.
    EXPECT_GE(chart.yHigh, 255);
}

}  // namespace
}  // namespace kestra
