// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_icons.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <functional>

namespace kestra {

namespace {

// Every picture is drawn on a 32 x 32 design grid and rendered at the usual icon sizes.
using Drawing = std::function<void(QPainter&)>;

QIcon Render(const Drawing& draw) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
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

}  // namespace kestra
