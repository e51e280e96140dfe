// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/child_frame.hpp"

#include <QAction>
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
