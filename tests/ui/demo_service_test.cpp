// SPDX-License-Identifier: GPL-3.0-or-later
// The service dialogs after a Read from the demo radio: Parameter Adjust, DTMF Initialization and
// Sql Adjust show the demo's calibration and draw it as rising curves, and series of equal value
// (the wide and narrow signal strengths) both stay in sight on the chart.

#include <QImage>
#include <QTreeWidget>

#include "app/resources.hpp"
#include "service/calibration_curves.hpp"
#include "service/dtmf_initialization.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/spin_text_box.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "service_test_support.hpp"

namespace kestra::test {
namespace {

class DemoServiceTest : public ServiceDialogTest {
protected:
    void SetUp() override {
        ServiceDialogTest::SetUp();
        EnsureResources();
        DemoRadio demo;
        ASSERT_TRUE(demo.loadedFromResource());
        demo_ = demo.radio().memory();
        radio_.memory() = demo_;
    }

    MemoryImage demo_;
};

// The pixels of the chart above its legend that have nearly this colour.
int PixelsOf(const QImage& chart, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < chart.height() - 40; ++y) {
        for (int x = 0; x < chart.width(); ++x) {
            const QColor c = chart.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                                 std::abs(c.blue() - colour.blue()) <
                             30
                         ? 1
                         : 0;
        }
    }
    return count;
}

TEST_F(DemoServiceTest, ParameterAdjustAndDtmfInitializationShowTheDemosCalibration) {
    ParameterAdjustDialog parameters(Context());
    parameters.show();
    Press(parameters, parameters.readButton());
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"Read complete"});
    EXPECT_EQ(parameters.box("V PA Drive")->text(), "10");
    const ParameterAdjustForm form = LoadParameterAdjust(demo_);
    EXPECT_EQ(parameters.grid(GridId::Power)->Cells(),
              form.cells[static_cast<std::size_t>(GridId::Power)]);
    const CurveChartData& power = parameters.powerChart()->data();
    ASSERT_EQ(power.series.size(), 2u);
    for (const auto& segment : power.series[1].segments) {  // high power rises over each band
        EXPECT_LT(segment.front().y, segment.back().y);
    }

    DtmfInitializationDialog dtmf(Context());
    dtmf.show();
    Press(dtmf, dtmf.readButton());
    const DtmfInitializationForm registers = LoadDtmfInitialization(demo_);
    for (std::size_t k = 0; k < registers.size(); ++k) {
        EXPECT_EQ(dtmf.box(k)->text().toStdString(), registers[k]) << k;
        EXPECT_NE(registers[k], "FFFF") << k;
    }
}

TEST_F(DemoServiceTest, SqlAdjustDrawsEqualSeriesApart) {
    SqlAdjustDialog sql(Context());
    sql.resize(900, 600);
    sql.show();
    Press(sql, sql.readButton());
    sql.tree()->setCurrentItem(sql.pointItem(2, 450));
    sql.grid()->setCurrentCell(1, 0);  // RSSI1
    const CurveChartData& chart = sql.chart()->data();
    ASSERT_EQ(chart.title, "RSSI1, 400-520 MHz");
    ASSERT_EQ(chart.series.size(), 4u);
    // The signal strength does not depend on the bandwidth: W High and N High are equal ...
    const auto& wide = chart.series[0].segments.at(0);
    const auto& narrow = chart.series[2].segments.at(0);
    ASSERT_EQ(wide.size(), narrow.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        EXPECT_EQ(wide[i].y, narrow[i].y);
    }
    EXPECT_LT(wide.front().y, wide.back().y);
    // ... and both lines are drawn: the one drawn first is not hidden under the other.
    const QImage drawn = sql.chart()->grab().toImage();
    EXPECT_GT(PixelsOf(drawn, QColor(0x1F, 0x77, 0xB4)), 100);  // W High
    EXPECT_GT(PixelsOf(drawn, QColor(0x2C, 0xA0, 0x2C)), 100);  // N High
}

}  // namespace
}  // namespace kestra::test
