// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small line chart of calibration values over frequency, painted by hand: a title, a value
// axis, one panel per band (so a 38 MHz band and a 120 MHz band both get a readable share of the
// width) with its MHz ticks, one coloured line with its own shape of point mark per series, a
// legend, and an optional vertical mark at the selected point. A series with the same values as
// an earlier one (the wide and narrow columns of a signal strength) is drawn dashed with hollow,
// larger marks, so that neither hides the other.

#include <QWidget>

#include <vector>

#include "service/calibration_curves.hpp"

namespace kestra {

class CurveChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit CurveChartWidget(QWidget* parent = nullptr);

    void SetData(CurveChartData data);
    const CurveChartData& data() const { return data_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where one panel lies and how its values map into it.
    struct Panel {
        QRectF plot;
        CurvePanel range;
        QPointF Map(double x, double y, double yLow, double yHigh) const;
        bool Holds(double x) const { return x >= range.xLow && x <= range.xHigh; }
    };

    std::vector<Panel> LayOutPanels(const QRectF& area) const;
    void PaintValueAxis(QPainter& painter, const std::vector<Panel>& panels) const;
    void PaintPanel(QPainter& painter, const Panel& panel) const;
    void PaintSeries(QPainter& painter, const Panel& panel) const;
    void PaintLegend(QPainter& painter, const QRect& area) const;
    double yHigh() const;
    // How many earlier series have exactly the same points as this one; each lifts it a little.
    int CoincidentBefore(std::size_t series) const;

    CurveChartData data_;
};

}  // namespace kestra
