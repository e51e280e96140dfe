// SPDX-License-Identifier: GPL-3.0-or-later
// The demo radio's memory (src/res/demo-radio.dat) holds what a calibrated unit holds: every
// service editor shows values inside its boxes' ranges, the power and squelch curves rise over
// each band, and opening and closing every editor on it changes nothing.

#include <gtest/gtest.h>

#include <string>

#include "model/document_file.hpp"
#include "service/calibration_curves.hpp"
#include "service/calibration_file.hpp"
#include "service/dtmf_initialization.hpp"
#include "settings/settings_text.hpp"

namespace kestra {
namespace {

MemoryImage DemoImage() {
    MemoryImage image;
    const auto loaded = LoadDocumentFile(KESTRA_SOURCE_DIR "/src/res/demo-radio.dat", image);
    EXPECT_TRUE(loaded) << loaded.error;
    return image;
}

// Every segment of every series rises from the band's low point to its high point.
void ExpectRising(const CurveChartData& chart) {
    for (const CurveSeries& series : chart.series) {
        for (const auto& segment : series.segments) {
            ASSERT_GE(segment.size(), 2u) << chart.title;
            for (std::size_t i = 1; i < segment.size(); ++i) {
                EXPECT_GE(segment[i].y, segment[i - 1].y) << chart.title << " " << series.name;
            }
            EXPECT_GT(segment.back().y, segment.front().y) << chart.title << " " << series.name;
        }
    }
}

TEST(DemoCalibration, EditorsShowARealUnitsValues) {
    const MemoryImage image = DemoImage();
    const ParameterAdjustForm form = LoadParameterAdjust(image);
    const CurveChartData power = PowerCurves(form);
    ExpectRising(power);
    ExpectRising(SqlThresholdCurves(form));
    // High power needs more drive than low power, a tight squelch more than an open one.
    for (const CurveChartData& chart : {power, SqlThresholdCurves(form)}) {
        for (std::size_t band = 0; band < 3; ++band) {
            for (std::size_t point = 0; point < 3; ++point) {
                EXPECT_GT(chart.series[1].segments[band][point].y,
                          chart.series[0].segments[band][point].y + 20)
                    << chart.title;
            }
        }
    }
    for (int band = 0; band < 3; ++band) {
        for (int row = 0; row < kSqlGridSize; ++row) {
            const CurveChartData sql = SqlPointCurves(image, band, row, std::nullopt, {});
            ExpectRising(sql);
            EXPECT_LE(sql.yHigh, kSqlCellRule.high) << sql.title;  // every value fits its cell
        }
    }
    for (const std::string& box : LoadDtmfInitialization(image)) {
        EXPECT_NE(box, "FFFF");  // an erased register
    }
    for (const CalibrationEntry& entry : CalibrationEntries(image)) {
        if (entry.section == kParameterAdjustSection && entry.key.find('/') == std::string::npos) {
            EXPECT_NE(entry.value, "255") << entry.key;  // an erased box
        }
    }
}

TEST(DemoCalibration, OpeningAndClosingEveryEditorChangesNothing) {
    const MemoryImage demo = DemoImage();
    MemoryImage image = demo;
    std::string callId;
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    EXPECT_NE(PrintSettings(forms).find("CH 1=88.100\n"), std::string::npos);
    forms.StoreToImage(image);
    ASSERT_EQ(ApplyCalibrationFile(FormatCalibrationFile(image), image), std::nullopt);
    EXPECT_TRUE(image == demo);
}

}  // namespace
}  // namespace kestra
