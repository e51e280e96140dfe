// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_icons.hpp"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QPolygonF>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cstdint>
#include <functional>

namespace kestra {

namespace {

// Every picture is drawn on a 32 x 32 design grid, at the size asked for when it is first needed
// (nothing is drawn at start-up for sizes nobody shows), and kept for the next time.
using Drawing = std::function<void(QPainter&)>;

class DrawnIconEngine : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawing draw) : draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        const QString key = QStringLiteral("kestra-icon-%1-%2-%3")
                                .arg(reinterpret_cast<quintptr>(this))
                                .arg(side)
                                .arg(static_cast<int>(mode));
        QPixmap drawn;
        if (QPixmapCache::find(key, &drawn)) {
            return drawn;
        }
        drawn = QPixmap(side, side);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 32.0, side / 32.0);
        draw_(painter);
        painter.end();
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        QPixmapCache::insert(key, drawn);
        return drawn;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    // Sizes a window manager or desktop may pick from for the window's icon.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}};
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }

private:
    Drawing draw_;
};

QIcon Render(Drawing draw) {
    return QIcon(new DrawnIconEngine(std::move(draw)));
}

const QColor kBody(0x2f, 0x3b, 0x48);
const QColor kBodyEdge(0x1b, 0x23, 0x2c);
const QColor kScreen(0x8f, 0xd6, 0xc8);
const QColor kAccent(0xe0, 0x7a, 0x2f);

// A small handheld radio: antenna, body, display and speaker grille.
void DrawRadio(QPainter& p, const QRectF& body) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBodyEdge);
    const qreal antennaWidth = body.width() * 0.18;
    p.drawRoundedRect(QRectF(body.left() + body.width() * 0.16, body.top() - body.height() * 0.42,
                             antennaWidth, body.height() * 0.48),
                      antennaWidth / 2, antennaWidth / 2);
    p.setPen(QPen(kBodyEdge, 1.0));
    p.setBrush(kBody);
    p.drawRoundedRect(body, body.width() * 0.16, body.width() * 0.16);
    p.setPen(Qt::NoPen);
    p.setBrush(kScreen);
    const QRectF screen(body.left() + body.width() * 0.16, body.top() + body.height() * 0.12,
                        body.width() * 0.68, body.height() * 0.24);
    p.drawRoundedRect(screen, 1.0, 1.0);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb6), body.height() * 0.045, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = body.top() + body.height() * (0.55 + 0.12 * i);
        p.drawLine(QPointF(body.left() + body.width() * 0.22, y),
                   QPointF(body.right() - body.width() * 0.22, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(body.right() - body.width() * 0.24, body.top() - body.height() * 0.06),
                  body.width() * 0.09, body.width() * 0.09);
}

// A bold arrow pointing down (into the tray) or up (out of it) above a tray.
void DrawTransfer(QPainter& p, bool down, const QColor& colour) {
    p.setPen(QPen(QColor(0x55, 0x60, 0x6b), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(4, 20);
    tray.lineTo(4, 28);
    tray.lineTo(28, 28);
    tray.lineTo(28, 20);
    p.drawPath(tray);

    // Drawn pointing down; the upward arrow is its mirror image about y = 13.
    static constexpr QPointF kDownArrow[] = {{13, 3},  {19, 3}, {19, 13}, {24, 13},
                                             {16, 23}, {8, 13}, {13, 13}};
    QPolygonF arrow;
    for (const QPointF& point : kDownArrow) {
        arrow << QPointF(point.x(), down ? point.y() : 26 - point.y());
    }
    p.setPen(QPen(colour.darker(140), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPolygon(arrow);
}

}  // namespace

QIcon ApplicationIcon() {
    return Render([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3f, 0x7c, 0xac));
        p.drawEllipse(QRectF(1, 1, 30, 30));
        DrawRadio(p, QRectF(10.5, 11, 11, 18));
    });
}

QIcon ReadIcon() {
    return Render([](QPainter& p) { DrawTransfer(p, true, QColor(0x3c, 0x9a, 0x4f)); });
}

QIcon WriteIcon() {
    return Render([](QPainter& p) { DrawTransfer(p, false, QColor(0xd0, 0x6a, 0x2a)); });
}

QIcon NewIcon() {
    return Render([](QPainter& p) {
        // A sheet with its top right corner folded over.
        const QPolygonF sheet({{7, 3}, {20, 3}, {26, 9}, {26, 29}, {7, 29}});
        p.setPen(QPen(QColor(0x55, 0x60, 0x6b), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawPolygon(sheet);
        p.setBrush(QColor(0xd5, 0xdb, 0xe1));
        p.drawPolygon(QPolygonF({{20, 3}, {20, 9}, {26, 9}}));
    });
}

QIcon OpenIcon() {
    return Render([](QPainter& p) {
        // A folder with its front flap opened towards the viewer.
        const QColor edge(0x9a, 0x6b, 0x12);
        p.setPen(QPen(edge, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xe8, 0xb8, 0x4a));
        p.drawPolygon(QPolygonF({{3, 7}, {11, 7}, {14, 10}, {27, 10}, {27, 27}, {3, 27}}));
        p.setBrush(QColor(0xf6, 0xd3, 0x7a));
        p.drawPolygon(QPolygonF({{3, 27}, {8, 15}, {30, 15}, {26, 27}}));
    });
}

QIcon SaveIcon() {
    return Render([](QPainter& p) {
        // A diskette: body, label and shutter.
        p.setPen(QPen(QColor(0x1b, 0x3a, 0x5c), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x3b, 0x6e, 0xa5));
        p.drawPolygon(QPolygonF({{4, 4}, {25, 4}, {28, 7}, {28, 28}, {4, 28}}));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 16, 16, 12));
        p.setBrush(QColor(0xc9, 0xd3, 0xdd));
        p.drawRect(QRectF(10, 4, 11, 8));
        p.setBrush(QColor(0x3b, 0x6e, 0xa5));
        p.drawRect(QRectF(17, 5.5, 2.5, 5));
    });
}

QIcon AboutIcon() {
    return Render([](QPainter& p) {
        // The letter i in a round sign.
        p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 1.2));
        p.setBrush(QColor(0x3f, 0x7c, 0xac));
        p.drawEllipse(QRectF(2, 2, 28, 28));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.3, 2.3);
        p.drawRoundedRect(QRectF(13.8, 13.5, 4.4, 11.5), 1.2, 1.2);
    });
}

QIcon PrintIcon() {
    return Render([](QPainter& p) {
        p.setPen(QPen(QColor(0x55, 0x60, 0x6b), 1.4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(0x6d, 0x78, 0x84));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 18, 14, 11));
        p.setPen(QPen(QColor(0x9a, 0xa8, 0xb6), 1.2));
        p.drawLine(QPointF(12, 22), QPointF(20, 22));
        p.drawLine(QPointF(12, 25.5), QPointF(18, 25.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7c, 0xd0, 0x6e));
        p.drawEllipse(QPointF(25, 15), 1.3, 1.3);
    });
}

QPixmap BackgroundTile() {
    // A calm slate tile with a faint diagonal weave and a little grain. Every pattern in it has
    // the tile's period, so it repeats seamlessly.
    constexpr int kSize = 64;
    constexpr int kBase[3] = {86, 104, 124};
    QImage tile(kSize, kSize, QImage::Format_RGB32);
    std::uint32_t grain = 1957;
    for (int y = 0; y < kSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < kSize; ++x) {
            // Two families of lines 8 pixels apart, a shade lighter than the base.
            const int lift = ((x + y) % 8 == 0 ? 7 : 0) + ((x - y + kSize) % 8 == 0 ? 4 : 0);
            grain = grain * 1664525u + 1013904223u;  // a fixed sequence: the same tile always
            const int noise = static_cast<int>((grain >> 24) % 7) - 3;
            int rgb[3];
            for (int c = 0; c < 3; ++c) {
                rgb[c] = std::clamp(kBase[c] + lift + noise, 0, 255);
            }
            line[x] = qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    return QPixmap::fromImage(tile);
}

}  // namespace kestra
