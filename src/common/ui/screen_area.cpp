// SPDX-License-Identifier: GPL-3.0-or-later
// The free area of a window's screen.

#include "common/ui/screen_area.hpp"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace kestra {

QSize FreeClientArea(const QWidget& window) {
    const QWidget* shown =
        window.parentWidget() != nullptr ? window.parentWidget()->window() : &window;
    QScreen* screen = shown->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return {};
    }
    // A shown parent tells what frame this window manager draws; otherwise a usual one.
    QSize frame = kWindowFrameAllowance;
    if (shown != &window && shown->isVisible()) {
        frame = frame.expandedTo(shown->frameGeometry().size() - shown->geometry().size());
    }
    return screen->availableGeometry().size() - frame;
}

void ResizeWithinScreen(QWidget& window, QSize preferred) {
    window.ensurePolished();
    if (window.layout() != nullptr) {
        window.layout()->activate();
    }
    QSize size = preferred;
    const QSize area = FreeClientArea(window);
    if (area.isValid()) {
        size = size.boundedTo(area);
    }
    window.resize(size.expandedTo(window.minimumSizeHint()).expandedTo(window.minimumSize()));
}

}  // namespace kestra
