// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration curves' line chart.

#include "service/ui/curve_chart_widget.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <set>

namespace kestra {

namespace {

// Distinct on white and in print: blue, orange, green, purple.
const QColor kSeriesColours[] = {QColor(0x1F, 0x77, 0xB4), QColor(0xE6, 0x6A, 0x00),
                                 QColor(0x2C, 0xA0, 0x2C), QColor(0x94, 0x45, 0xBD)};
constexpr int kPanelGap = 14;
constexpr int kMaxLabelledPoints = 5;
// A series that lies exactly on an earlier one is drawn where it lies, with a dashed line whose
// gaps show the earlier line and hollow marks this much larger around the earlier marks, so
// both stay in sight and neither moves towards a neighbouring series.
constexpr double kCoincidentMarkGrowth = 2.0;

// Each series has its own point mark as well as its colour: circle, square, triangle, diamond.
void PaintMark(QPainter& painter, std::size_t series, const QPointF& at, double growth = 0) {
    const double r = 2.9 + growth;
    switch (series % 4) {
        case 0:
            painter.drawEllipse(at, r - 0.7, r - 0.7);
            return;
        case 1:
            painter.drawRect(QRectF(at.x() - r + 0.6, at.y() - r + 0.6, 2 * r - 1.2, 2 * r - 1.2));
            return;
        case 2:
            painter.drawPolygon(QPolygonF(
                {at + QPointF(0, -r - 0.5), at + QPointF(r, r - 0.5), at + QPointF(-r, r - 0.5)}));
            return;
        default:
            painter.drawPolygon(QPolygonF({at + QPointF(0, -r - 0.5), at + QPointF(r + 0.5, 0),
                                           at + QPointF(0, r + 0.5), at + QPointF(-r - 0.5, 0)}));
    }
}

bool SameCurve(const CurveSeries& a, const CurveSeries& b) {
    if (a.segments.size() != b.segments.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.segments.size(); ++i) {
        const auto& p = a.segments[i];
        const auto& q = b.segments[i];
        if (p.size() != q.size() || !std::equal(p.begin(), p.end(), q.begin(),
                                                [](const CurvePoint& u, const CurvePoint& v) {
                                                    return u.x == v.x && u.y == v.y;
                                                })) {
            return false;
        }
    }
    return true;
}

// A step of 1, 2 or 5 times a power of ten that splits the span into at most `count` parts.
double NiceStep(double span, int count) {
    const double raw = span / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10 * power;
}

}  // namespace

QPointF CurveChartWidget::Panel::Map(double x, double y, double yLow, double yHigh) const {
    // A little room at both ends so the end points are not drawn on the frame.
    const double margin = std::max((range.xHigh - range.xLow) * 0.12, 1.0);
    const double fx = (x - range.xLow + margin) / (range.xHigh - range.xLow + 2 * margin);
    const double fy = (y - yLow) / std::max(yHigh - yLow, 1e-9);
    return {plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()};
}

CurveChartWidget::CurveChartWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CurveChartWidget::SetData(CurveChartData data) {
    data_ = std::move(data);
    update();
}

QSize CurveChartWidget::sizeHint() const {
    return {360, 240};
}

QSize CurveChartWidget::minimumSizeHint() const {
    return {240, 160};
}

double CurveChartWidget::yHigh() const {
    return std::max(data_.yHigh, data_.yLow + 1);
}

std::vector<CurveChartWidget::Panel> CurveChartWidget::LayOutPanels(const QRectF& area) const {
    std::vector<CurvePanel> ranges = data_.panels;
    if (ranges.empty()) {
        ranges.push_back({0, 1});
    }
    const double count = static_cast<double>(ranges.size());
    const double width = (area.width() - kPanelGap * (count - 1)) / count;
    std::vector<Panel> panels;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const double left = area.left() + static_cast<double>(i) * (width + kPanelGap);
        panels.push_back({QRectF(left, area.top(), width, area.height()), ranges[i]});
    }
    return panels;
}

void CurveChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const int line = fontMetrics().height();
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(8, 4, width() - 16, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(data_.title));
    painter.setFont(font());

    const int left = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12;
    const int top = 4 + line + 8;
    const int legendHeight = line + 6;
    const QRectF area(left, top, width() - left - 10, height() - top - 2 * line - 8 - legendHeight);
    if (area.width() < 40 || area.height() < 30) {
        return;
    }
    const std::vector<Panel> panels = LayOutPanels(area);
    PaintValueAxis(painter, panels);
    for (const Panel& panel : panels) {
        PaintPanel(painter, panel);
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRectF(area.left(), area.bottom() + 2 + line, area.width(), line),
                     Qt::AlignCenter, QStringLiteral("MHz"));
    PaintLegend(painter,
                QRect(left, height() - legendHeight - 2, width() - left - 8, legendHeight));
}

void CurveChartWidget::PaintValueAxis(QPainter& painter, const std::vector<Panel>& panels) const {
    const QFontMetrics metrics = fontMetrics();
    const double step = NiceStep(yHigh() - data_.yLow, 4);
    for (double y = std::ceil(data_.yLow / step) * step; y <= yHigh() + 1e-9; y += step) {
        for (const Panel& panel : panels) {
            const QPointF at = panel.Map(panel.range.xLow, y, data_.yLow, yHigh());
            painter.setPen(palette().color(QPalette::Midlight));
            painter.drawLine(QPointF(panel.plot.left(), at.y()),
                             QPointF(panel.plot.right(), at.y()));
        }
        const QPointF at = panels.front().Map(0, y, data_.yLow, yHigh());
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRectF(0, at.y() - metrics.height() / 2.0, panels.front().plot.left() - 5,
                                metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(y));
    }
}

void CurveChartWidget::PaintPanel(QPainter& painter, const Panel& panel) const {
    const QFontMetrics metrics = fontMetrics();
    // Few points are labelled one by one; a long run of points gets even ticks.
    std::set<double> xs;
    for (const CurveSeries& series : data_.series) {
        for (const auto& segment : series.segments) {
            for (const CurvePoint& p : segment) {
                if (panel.Holds(p.x)) {
                    xs.insert(p.x);
                }
            }
        }
    }
    if (xs.size() > static_cast<std::size_t>(kMaxLabelledPoints) || xs.empty()) {
        xs.clear();
        const double step = NiceStep(panel.range.xHigh - panel.range.xLow, 4);
        for (double x = std::ceil(panel.range.xLow / step) * step; x <= panel.range.xHigh;
             x += step) {
            xs.insert(x);
        }
    }
    for (const double x : xs) {
        const QPointF at = panel.Map(x, data_.yLow, data_.yLow, yHigh());
        painter.setPen(palette().color(QPalette::Midlight));
        painter.drawLine(QPointF(at.x(), panel.plot.top()), QPointF(at.x(), panel.plot.bottom()));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRectF(at.x() - 20, panel.plot.bottom() + 2, 40, metrics.height()),
                         Qt::AlignCenter, QString::number(x));
    }
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(panel.plot);
    if (data_.markX && panel.Holds(*data_.markX)) {
        const QPointF at = panel.Map(*data_.markX, data_.yLow, data_.yLow, yHigh());
        painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
        painter.drawLine(QPointF(at.x(), panel.plot.top()), QPointF(at.x(), panel.plot.bottom()));
    }

    PaintSeries(painter, panel);
}

void CurveChartWidget::PaintSeries(QPainter& painter, const Panel& panel) const {
    painter.save();
    painter.setClipRect(panel.plot.adjusted(-8, -8, 8, 8));
    for (std::size_t s = 0; s < data_.series.size(); ++s) {
        const QColor colour = kSeriesColours[s % std::size(kSeriesColours)];
        const int below = CoincidentBefore(s);  // equal series drawn before this one
        QPen line(colour, 2);
        if (below > 0) {
            line.setDashPattern({3, 3});
            line.setDashOffset(2.0 * (below - 1));
        }
        for (const auto& segment : data_.series[s].segments) {
            if (segment.empty() || !panel.Holds(segment.front().x)) {
                continue;
            }
            QPainterPath path;
            for (std::size_t i = 0; i < segment.size(); ++i) {
                const QPointF at = panel.Map(segment[i].x, segment[i].y, data_.yLow, yHigh());
                i == 0 ? path.moveTo(at) : path.lineTo(at);
            }
            painter.setPen(line);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
            painter.setPen(QPen(colour, below > 0 ? 1.5 : 1));
            painter.setBrush(below > 0 ? QBrush(Qt::NoBrush) : QBrush(colour));
            for (const CurvePoint& p : segment) {
                PaintMark(painter, s, panel.Map(p.x, p.y, data_.yLow, yHigh()),
                          kCoincidentMarkGrowth * below);
            }
        }
    }
    painter.restore();
}

int CurveChartWidget::CoincidentBefore(std::size_t series) const {
    int count = 0;
    for (std::size_t t = 0; t < series; ++t) {
        count += SameCurve(data_.series[t], data_.series[series]) ? 1 : 0;
    }
    return count;
}

void CurveChartWidget::PaintLegend(QPainter& painter, const QRect& area) const {
    const QFontMetrics metrics = fontMetrics();
    int x = area.left();
    for (std::size_t s = 0; s < data_.series.size(); ++s) {
        const QString name = QString::fromStdString(data_.series[s].name);
        const int y = area.center().y();
        const QColor colour = kSeriesColours[s % std::size(kSeriesColours)];
        // As the series is drawn: dashed with a hollow mark when it lies on an earlier one.
        const bool onAnother = CoincidentBefore(s) > 0;
        QPen line(colour, 3);
        if (onAnother) {
            line.setDashPattern({2, 1});
        }
        painter.setPen(line);
        painter.drawLine(x, y, x + 16, y);
        painter.setPen(QPen(colour, onAnother ? 1.5 : 1));
        painter.setBrush(onAnother ? QBrush(Qt::NoBrush) : QBrush(colour));
        PaintMark(painter, s, QPointF(x + 8, y));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(
            QRect(x + 20, area.top(), metrics.horizontalAdvance(name) + 2, area.height()),
            Qt::AlignLeft | Qt::AlignVCenter, name);
        x += 20 + metrics.horizontalAdvance(name) + 14;
    }
}

}  // namespace kestra
