// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calibration values as curves over frequency, for the small charts beside the grids: the
// transmit power and the squelch thresholds of Parameter Adjust at the low, middle and high
// point of each band, and one measurement of Sql Adjust across all points of a band. A
// technician spots a bad point on a curve faster than among dozens of numbers. The curves are
// built from the texts the grids show, so they follow every edit before it is committed.

#include <optional>
#include <string>
#include <vector>

#include "model/memory_image.hpp"
#include "service/parameter_adjust.hpp"
#include "service/sql_adjust.hpp"

namespace kestra {

struct CurvePoint {
    double x = 0;  // MHz
    double y = 0;
};

// One line of the chart; a band is a segment of its own, so no line joins two bands.
struct CurveSeries {
    std::string name;
    std::vector<std::vector<CurvePoint>> segments;
};

// A range of the frequency axis, drawn as a panel of its own beside the others, so that bands
// far apart each get a readable share of the width.
struct CurvePanel {
    double xLow = 0;
    double xHigh = 0;
};

struct CurveChartData {
    std::string title;
    double yLow = 0;
    double yHigh = 0;
    std::vector<CurvePanel> panels;  // one per band shown
    std::vector<CurveSeries> series;
    std::optional<double> markX;  // the selected point, drawn as a vertical line
};

// The MHz of the low, middle and high point of a band, where the three grid columns belong.
std::array<int, 3> BandPointsMhz(int band);

// Low and high power over the three points of every band (the power grid).
CurveChartData PowerCurves(const ParameterAdjustForm& form);
// "Sql 1" and "Sql 9" over the three points of every band (the Sql grid).
CurveChartData SqlThresholdCurves(const ParameterAdjustForm& form);
// One grid row of Sql Adjust ("Noise1"...), its four columns over every point of the band; the
// selected point's values come from the grid texts, the others from the image.
CurveChartData SqlPointCurves(const MemoryImage& image, int band, int row,
                              const std::optional<SqlPoint>& selected,
                              const SqlRecordTexts& selectedCells);

}  // namespace kestra
