// SPDX-License-Identifier: GPL-3.0-or-later
// The service dialogs' common frame.

#include "service/ui/service_dialog.hpp"

#include <QCloseEvent>
#include <QPushButton>

#include "service/ui/service_transfer_runner.hpp"
#include "service/ui/spin_text_box.hpp"

namespace kestra {

ServiceDialog::ServiceDialog(const QString& caption, const ServiceContext& context, QWidget* parent)
    : QDialog(parent),
      state_(context.state),
      messenger_(context.messenger),
      runner_(new ServiceTransferRunner(context.state, context.messenger, context.links, this)) {
    setWindowTitle(caption);
    setModal(true);
}

void ServiceDialog::done(int result) {
    if (runner_->running()) {
        return;
    }
    LeaveFocusedBox();
    Commit();
    QDialog::done(result);
}

void ServiceDialog::LeaveFocusedBox() {
    // The dialog's own focus widget: the box typed in last, even when the window is not active.
    for (QWidget* w = focusWidget(); w != nullptr && w != this; w = w->parentWidget()) {
        if (auto* box = qobject_cast<SpinTextBox*>(w); box != nullptr && isAncestorOf(box)) {
            box->Leave();
            return;
        }
    }
}

QPushButton* ServiceDialog::MakeButton(const QString& text) {
    auto* button = new QPushButton(text, this);
    // A transfer starts only when its button is pressed, never from Enter in a box.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void ServiceDialog::closeEvent(QCloseEvent* event) {
    if (runner_->running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace kestra
