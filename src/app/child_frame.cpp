// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/child_frame.hpp"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>

#include "app/app_icons.hpp"
#include "channels/ui/program_view.hpp"

namespace kestra {

CChildFrame::CChildFrame(CProgramView* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(ApplicationIcon());
    resize(kWidth, kHeight);

    // The window menu closes the window with the platform's Close keys, which include Ctrl+W
    // here; in this program Ctrl+W is Program, Write. Ctrl+F4 still closes the window.
    if (QMenu* menu = systemMenu()) {
        for (QAction* item : menu->actions()) {
            QList<QKeySequence> keys = item->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0) {
                item->setShortcuts(keys);
            }
        }
    }
}

void CChildFrame::showDocument() {
    if (isHidden()) {
        show();
    }
    if (isMinimized()) {
        showNormal();
    }
    if (QMdiArea* area = mdiArea()) {
        area->setActiveSubWindow(this);
    }
    view_->setFocus();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    // The document outlives its window: hide instead of closing.
    event->ignore();
    hide();
    emit hiddenByClose();
}

}  // namespace kestra

namespace kestra {

bool CChildFrame::focusNextPrevChild(bool next) {
    // The window's controls that Tab stops at, in the order Tab visits them.
    QList<QWidget*> stops;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && w->isVisible() && w->isEnabled() && w->focusProxy() == nullptr &&
            (w->focusPolicy() & Qt::TabFocus) != 0) {
            stops << w;
        }
    }
    const qsizetype at = stops.indexOf(QApplication::focusWidget());
    const bool atEnd = next ? at == stops.size() - 1 : at == 0;
    if (at >= 0 && atEnd && focusNeighbour_ != nullptr && focusNeighbour_->isVisible()) {
        focusNeighbour_->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QMdiSubWindow::focusNextPrevChild(next);
}

}  // namespace kestra
