// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/calibration_curves.hpp"

#include <algorithm>

namespace kestra {

namespace {

constexpr int kTensOfHzPerMhz = 100000;

CurvePanel PanelOf(int band) {
    const Band& b = kSupportedBands[static_cast<std::size_t>(band)];
    return {static_cast<double>(b.lower / kTensOfHzPerMhz),
            static_cast<double>(b.upper / kTensOfHzPerMhz)};
}

// What a cell text stores: its leading decimal number, low 8 bits.
double CellValue(const std::string& text) {
    return static_cast<double>(SpinTextValue(text, SpinFormat::Decimal) & 0xFF);
}

// Even grid rows make the first series, odd rows the second; each band one segment.
CurveChartData ThreePointCurves(const ParameterAdjustForm& form, GridId id, std::string title,
                                std::array<std::string, 2> names, double yHigh) {
    const CalibrationGrid& grid = GridOf(id);
    const std::vector<std::string>& cells = form.cells[static_cast<std::size_t>(id)];
    CurveChartData chart{std::move(title), 0, yHigh, {}, {}, std::nullopt};
    for (int band = 0; band < static_cast<int>(kSupportedBands.size()); ++band) {
        chart.panels.push_back(PanelOf(band));
    }
    chart.series = {{std::move(names[0]), {}}, {std::move(names[1]), {}}};
    for (int r = 0; r < grid.rowCount; ++r) {
        const std::array<int, 3> mhz = BandPointsMhz(GridRowBand(grid, r));
        std::vector<CurvePoint> segment;
        for (int c = 0; c < grid.columnCount; ++c) {
            const std::size_t k = static_cast<std::size_t>(r * grid.columnCount + c);
            segment.push_back({static_cast<double>(mhz[static_cast<std::size_t>(c)]),
                               k < cells.size() ? CellValue(cells[k]) : 0.0});
        }
        chart.series[static_cast<std::size_t>(r % 2)].segments.push_back(std::move(segment));
    }
    return chart;
}

}  // namespace

std::array<int, 3> BandPointsMhz(int band) {
    const Band& b = kSupportedBands[static_cast<std::size_t>(band)];
    // The middle point is the band's centre rounded to whole MHz, as the band point table has it.
    const int middle = ((b.lower + b.upper) / 2 + kTensOfHzPerMhz / 2) / kTensOfHzPerMhz;
    return {b.lower / kTensOfHzPerMhz, middle, b.upper / kTensOfHzPerMhz};
}

CurveChartData PowerCurves(const ParameterAdjustForm& form) {
    const CalibrationGrid& grid = GridOf(GridId::Power);
    // The legend uses the grid's own row words.
    auto words = [&](int row) {
        const std::string label = GridRowLabel(grid, row);
        return label.substr(label.find(' ') + 1);
    };
    return ThreePointCurves(form, GridId::Power, "Transmit power", {words(0), words(1)},
                            grid.editor.high);
}

CurveChartData SqlThresholdCurves(const ParameterAdjustForm& form) {
    return ThreePointCurves(form, GridId::Sql, "Squelch thresholds", {"Sql 1", "Sql 9"},
                            GridOf(GridId::Sql).editor.high);
}

CurveChartData SqlPointCurves(const MemoryImage& image, int band, int row,
                              const std::optional<SqlPoint>& selected,
                              const SqlRecordTexts& selectedCells) {
    CurveChartData chart;
    chart.title =
        std::string(kSqlRowLabels[static_cast<std::size_t>(row)]) + ", " + BandText(band) + " MHz";
    chart.yHigh = kSqlCellRule.high;
    chart.panels = {PanelOf(band)};
    const std::vector<SqlPoint> points = SqlPointsOfBand(band);
    for (int c = 0; c < kSqlGridSize; ++c) {
        const std::size_t k = static_cast<std::size_t>(row * kSqlGridSize + c);
        std::vector<CurvePoint> line;
        for (const SqlPoint& point : points) {
            const bool isSelected = selected && selected->offset == point.offset;
            const double y =
                isSelected ? CellValue(selectedCells[k]) : image[point.offset + kCellOffset[k]];
            line.push_back({static_cast<double>(point.mhz), y});
            chart.yHigh = std::max(chart.yHigh, y);
        }
        chart.series.push_back(
            {std::string(kSqlColumnHeaders[static_cast<std::size_t>(c)]), {std::move(line)}});
    }
    if (selected && selected->band == band) {
        chart.markX = selected->mhz;
    }
    return chart;
}

}  // namespace kestra
