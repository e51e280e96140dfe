// SPDX-License-Identifier: GPL-3.0-or-later
// Radio transfers on a worker thread, reporting on the user-interface thread.

#include "link/ui/threaded_transfer.hpp"

#include <QCoreApplication>
#include <QThread>

#include "link/device/link_factory.hpp"

namespace kestra {

class ThreadedTransfer::UiObserver final : public TransferObserver {
public:
    explicit UiObserver(ThreadedTransfer& owner) : owner_(owner) {}

    void SetProgress(int position, int total, const std::string& percentText) override {
        const QString text = QString::fromStdString(percentText);
        owner_.OnUiThread(
            [this, position, total, &text] { emit owner_.progress(position, total, text); });
    }
    void ShowMessage(const std::string& text) override {
        owner_.OnUiThread([this, &text] { owner_.messenger_.Show(text); });
    }
    void ShowFailure(const std::string& text, MessageIcon icon) override {
        owner_.OnUiThread([this, &text, icon] { owner_.messenger_.ShowFailure(text, icon); });
    }
    void RequestClose() override {
        owner_.OnUiThread([this] { emit owner_.closeRequested(); });
    }
    void AboutToSend() override {
        owner_.OnUiThread([this] { emit owner_.aboutToSend(); });
    }

private:
    ThreadedTransfer& owner_;
};

class ThreadedTransfer::UiMessenger final : public Messenger {
public:
    explicit UiMessenger(ThreadedTransfer& owner) : owner_(owner) {}

    bool Show(const std::string& text, MessageButtons buttons) override {
        bool answer = false;
        owner_.OnUiThread(
            [this, &text, buttons, &answer] { answer = owner_.messenger_.Show(text, buttons); });
        return answer;
    }
    void ShowFailure(const std::string& text, MessageIcon icon) override {
        owner_.OnUiThread([this, &text, icon] { owner_.messenger_.ShowFailure(text, icon); });
    }

private:
    ThreadedTransfer& owner_;
};

ThreadedTransfer::ThreadedTransfer(std::atomic<bool>& busy, Messenger& messenger,
                                   const LinkFactory* links, QObject* parent)
    : QObject(parent), busy_(busy), messenger_(messenger), links_(links) {}

ThreadedTransfer::~ThreadedTransfer() {
    if (worker_ == nullptr) {
        return;
    }
    // A report already on its way blocks the worker until this thread delivers it, so keep
    // delivering this object's queued calls (which now do nothing) while waiting.
    abandoned_ = true;
    while (!worker_->wait(10)) {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    delete worker_;
    worker_ = nullptr;
    busy_ = false;
}

void ThreadedTransfer::OnUiThread(const std::function<void()>& function) {
    if (abandoned_) {
        return;
    }
    if (QThread::currentThread() == thread()) {
        function();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, &function] {
            if (!abandoned_) {
                function();
            }
        },
        Qt::BlockingQueuedConnection);
}

bool ThreadedTransfer::Start(const std::string& device, Job job) {
    static const LinkFactory realPortsOnly;
    const LinkFactory& links = links_ != nullptr ? *links_ : realPortsOnly;
    return StartWorker([this, &links, device, job = std::move(job)] {
        UiObserver observer(*this);
        UiMessenger messenger(*this);
        // The link is created, used and closed on this thread.
        std::unique_ptr<SerialLink> link = links.Create(device);
        SteadyClock clock;
        Worker worker{*link, clock, observer, messenger};
        job(worker);
    });
}

bool ThreadedTransfer::StartFleet(FleetJob job) {
    return StartWorker([this, job = std::move(job)] {
        job([this](const std::function<void()>& function) { OnUiThread(function); });
    });
}

bool ThreadedTransfer::StartWorker(std::function<void()> body) {
    // Taking the flag here, on the user-interface thread, leaves no moment in which a second
    // start could slip in.
    bool expected = false;
    if (worker_ != nullptr || !busy_.compare_exchange_strong(expected, true)) {
        return false;
    }
    abandoned_ = false;
    worker_ = QThread::create(std::move(body));
    connect(worker_, &QThread::finished, this, &ThreadedTransfer::OnWorkerFinished);
    emit started();
    worker_->start();
    return true;
}

void ThreadedTransfer::OnWorkerFinished() {
    if (worker_ == nullptr) {
        return;
    }
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    busy_ = false;
    emit finished();
}

}  // namespace kestra
