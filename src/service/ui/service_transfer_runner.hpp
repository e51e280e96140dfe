// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the service dialogs' transfers off the user-interface thread. The exchange itself is the
// core ServiceTransfer; this adapter gives it a serial link of its own on a worker thread, a
// copy of the image to work on, and a messenger whose boxes appear on the user-interface thread
// while the worker waits for them. Meanwhile the dialog keeps repainting with its controls
// disabled and a busy cursor, and a successful read copies exactly the ranges it moved into the
// image; a failure leaves the image as it was.
//
// This is the one place that calls ServiceTransfer for the dialogs.

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

#include "link/ident_reply.hpp"
#include "link/service_transfer.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QWidget;

namespace kestra {

class LinkFactory;
class SerialLink;
class Clock;

class ServiceTransferRunner : public QObject {
    Q_OBJECT
public:
    // links: null for real serial ports only. window: the dialog whose controls are disabled
    // while a transfer runs.
    ServiceTransferRunner(AppState& state, Messenger& messenger, const LinkFactory* links,
                          QWidget* window);
    ~ServiceTransferRunner() override;

    // A read or write plan: true after "Read complete" / "Write complete" was dismissed.
    bool Run(const ServiceTransferPlan& plan);
    // The identify transfer: the radio's reply, or nothing after the failure message.
    std::optional<IdentReply> Identify();

    bool running() const { return running_; }

signals:
    void started();
    void finished();

private:
    using Work =
        std::function<void(AppState& copy, SerialLink& link, Clock& clock, Messenger& messenger)>;
    // Runs work on a worker thread and returns when it is done, keeping the events flowing.
    // False when a transfer is already running here or anywhere in the program.
    bool Execute(AppState& copy, const Work& work);
    void SetControlsEnabled(bool enabled);

    AppState& state_;
    Messenger& messenger_;
    const LinkFactory* links_;
    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> disabled_;
    bool running_ = false;
};

}  // namespace kestra
