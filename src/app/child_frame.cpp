#include "app/child_frame.hpp"

#include <QCloseEvent>
#include <QMdiArea>

#include "app/app_icons.hpp"
#include "channels/program_view.hpp"

namespace kestra {

CChildFrame::CChildFrame(CProgramView* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(ApplicationIcon());
    resize(kWidth, kHeight);
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
