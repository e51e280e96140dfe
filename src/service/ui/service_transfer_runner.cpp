// SPDX-License-Identifier: GPL-3.0-or-later
// The service transfers on a worker thread.

#include "service/ui/service_transfer_runner.hpp"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QWidget>

#include <memory>

#include "link/clock.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_names.hpp"

namespace kestra {

namespace {

// The worker's messenger: every box is shown on the user-interface thread while the worker
// waits for the answer.
class UiThreadMessenger final : public Messenger {
public:
    UiThreadMessenger(Messenger& target, QObject* uiObject) : target_(target), ui_(uiObject) {}

    bool Show(const std::string& text, MessageButtons buttons) override {
        if (QThread::currentThread() == ui_->thread()) {
            return target_.Show(text, buttons);
        }
        bool answer = false;
        QMetaObject::invokeMethod(
            ui_, [&] { answer = target_.Show(text, buttons); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    void ShowFailure(const std::string& text, MessageIcon icon) override {
        if (QThread::currentThread() == ui_->thread()) {
            target_.ShowFailure(text, icon);
            return;
        }
        QMetaObject::invokeMethod(
            ui_, [&] { target_.ShowFailure(text, icon); }, Qt::BlockingQueuedConnection);
    }

private:
    Messenger& target_;
    QObject* ui_;
};

// What the worker needs of the program's state: the port choice and a copy of the image.
void PrepareCopy(const AppState& from, AppState& copy) {
    copy.image = from.image;
    copy.limits = from.limits;
    copy.portName = from.portName;
    copy.deviceOverride = from.deviceOverride;
    copy.serviceMode = from.serviceMode;
}

}  // namespace

ServiceTransferRunner::ServiceTransferRunner(AppState& state, Messenger& messenger,
                                             const LinkFactory* links, QWidget* window)
    : QObject(window), state_(state), messenger_(messenger), links_(links), window_(window) {}

ServiceTransferRunner::~ServiceTransferRunner() = default;

bool ServiceTransferRunner::Run(const ServiceTransferPlan& plan) {
    AppState copy;
    PrepareCopy(state_, copy);
    bool success = false;
    const bool ran =
        Execute(copy, [&](AppState& work, SerialLink& link, Clock& clock, Messenger& messenger) {
            success = ServiceTransfer(work, link, clock, messenger).Run(plan);
        });
    if (!ran || !success) {
        return false;
    }
    if (plan.direction == TransferDirection::Read) {
        for (const CloneRange& range : plan.UsedRanges()) {
            const std::size_t end = std::min<std::size_t>(range.end, kImageSize);
            state_.image.write(range.start, copy.image.span(range.start, end - range.start));
        }
    }
    return true;
}

std::optional<IdentReply> ServiceTransferRunner::Identify() {
    AppState copy;
    PrepareCopy(state_, copy);
    std::optional<IdentReply> reply;
    Execute(copy, [&](AppState& work, SerialLink& link, Clock& clock, Messenger& messenger) {
        reply = ServiceTransfer(work, link, clock, messenger).Identify(kIdentifyLine);
    });
    return reply;
}

bool ServiceTransferRunner::Execute(AppState& copy, const Work& work) {
    // Only one transfer at a time in the whole program, clone or service.
    bool expected = false;
    if (running_ || !state_.busy.compare_exchange_strong(expected, true)) {
        return false;
    }
    running_ = true;
    emit started();
    SetControlsEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);

    static const LinkFactory realPortsOnly;
    const LinkFactory& links = links_ != nullptr ? *links_ : realPortsOnly;
    const std::string device = ResolveDevice(copy.portName, copy.deviceOverride);
    UiThreadMessenger messenger(messenger_, this);
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        // The link is created, used and closed on this thread.
        std::unique_ptr<SerialLink> link = links.Create(device);
        SteadyClock clock;
        work(copy, *link, clock, messenger);
    }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();

    QApplication::restoreOverrideCursor();
    SetControlsEnabled(true);
    running_ = false;
    state_.busy = false;
    emit finished();
    return true;
}

void ServiceTransferRunner::SetControlsEnabled(bool enabled) {
    if (!enabled) {
        disabled_.clear();
        if (window_ == nullptr) {
            return;
        }
        // The dialog itself stays enabled, so the transfer's message boxes over it answer.
        for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
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

}  // namespace kestra
