// SPDX-License-Identifier: GPL-3.0-or-later
// The service dialogs' common frame.

#include "service/ui/service_dialog.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

#include <memory>

#include "link/port_names.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "service/ui/spin_text_box.hpp"

namespace kestra {

ServiceDialog::ServiceDialog(const QString& caption, const ServiceContext& context, QWidget* parent)
    : QDialog(parent),
      state_(context.state),
      messenger_(context.messenger),
      transfer_(new ThreadedTransfer(context.state.busy, context.messenger, context.links, this)),
      keepBackup_(context.keepBackup) {
    setWindowTitle(caption);
    setModal(true);
    connect(transfer_, &ThreadedTransfer::started, this, [this] {
        SetControlsEnabled(false);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    });
    connect(transfer_, &ThreadedTransfer::finished, this, [this] {
        QApplication::restoreOverrideCursor();
        SetControlsEnabled(true);
    });
}

void ServiceDialog::done(int result) {
    if (transfer_->running()) {
        return;
    }
    LeaveFocusedBox();
    Commit();
    QDialog::done(result);
}

void ServiceDialog::RunTransfer(const ServiceTransferPlan& plan, std::function<void(bool)> done) {
    // A write hands the radio's values it replaces to the context's backup, named after us.
    ServiceBackupKeeper keep;
    if (keepBackup_ && plan.direction == TransferDirection::Write) {
        keep = [store = keepBackup_, dialog = windowTitle().toStdString()](
                   const MemoryImage& previous) { return store(dialog, previous); };
    }
    const ServiceRequest request{plan, ResolveDevice(state_.portName, state_.deviceOverride),
                                 state_.image, std::move(keep)};
    // Written by the worker, read here once the transfer has finished.
    auto result = std::make_shared<ServiceResult>();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(transfer_, &ThreadedTransfer::finished, this,
                          [this, plan, result, connection, done = std::move(done)] {
                              disconnect(*connection);
                              if (result->ok && plan.direction == TransferDirection::Read) {
                                  CopyPlanRanges(plan, result->image, state_.image);
                              }
                              done(result->ok);
                          });
    const bool started = transfer_->Start(request.device, [request, result](auto& worker) {
        *result = ServiceTransfer(worker.link, worker.clock, worker.messenger).Run(request);
    });
    if (!started) {
        disconnect(*connection);
    }
}

void ServiceDialog::RunWrite(ServiceArea area) {
    if (HoldsUnreadValues(area, state_.image) &&
        !messenger_.Show(std::string(kUnreadValuesQuestion), MessageButtons::YesNo)) {
        return;
    }
    RunTransfer(AreaInfo(area).write, [](bool) {});
}

void ServiceDialog::RunIdentify(std::function<void(const std::optional<IdentReply>&)> done) {
    const std::string device = ResolveDevice(state_.portName, state_.deviceOverride);
    auto reply = std::make_shared<std::optional<IdentReply>>();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(transfer_, &ThreadedTransfer::finished, this,
                          [reply, connection, done = std::move(done)] {
                              QObject::disconnect(*connection);
                              done(*reply);
                          });
    const bool started = transfer_->Start(device, [device, reply](auto& worker) {
        *reply = ServiceTransfer(worker.link, worker.clock, worker.messenger)
                     .Identify(device, kIdentifyLine);
    });
    if (!started) {
        disconnect(*connection);
    }
}

void ServiceDialog::SetControlsEnabled(bool enabled) {
    if (!enabled) {
        disabled_.clear();
        // The dialog itself stays enabled, so the transfer's message boxes over it answer.
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isEnabled() && !child->isWindow()) {
                child->setEnabled(false);
                disabled_.append(child);
            }
        }
        return;
    }
    for (const QPointer<QWidget>& child : disabled_) {
        if (child != nullptr) {
            child->setEnabled(true);
        }
    }
    disabled_.clear();
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
    if (transfer_->running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace kestra
