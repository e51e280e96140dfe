// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the desktop program runs a radio transfer off the user-interface thread, for the
// clone transfers of the transfer dialog and the service dialogs' Read and Write alike. A job
// (a CloneSession or a ServiceTransfer, given its inputs by the caller) runs on a worker thread
// with a serial link of its own; every report it makes (progress, a message box, the request to
// close) runs on the user-interface thread while the worker waits for it, so a message is
// answered before the transfer goes on and the windows keep repainting meanwhile.
//
// The adapter owns the program's busy flag: Start takes it (and refuses while any transfer
// runs, here or elsewhere) and the end of the worker gives it back. The job writes its result
// into a variable of the caller's; once finished() is emitted the worker has ended and the
// result may be read on the user-interface thread, which alone puts it into the document.
//
// A fleet job drives several radios at once ("Write to Several Radios..."): it runs on the one
// worker like any job, starts a worker of its own per port with that port's link, and sends its
// per-radio reports to the user-interface thread through the call it is given. The busy flag is
// taken for the whole fleet, from Start until the last radio's worker has ended.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "link/clock.hpp"
#include "link/clone_session.hpp"
#include "link/serial_link.hpp"
#include "model/messenger.hpp"

class QThread;

namespace kestra {

class LinkFactory;

class ThreadedTransfer : public QObject {
    Q_OBJECT
public:
    // What a job works with on the worker thread.
    struct Worker {
        SerialLink& link;
        Clock& clock;
        // Its calls run on the user-interface thread: progress(), closeRequested() and
        // aboutToSend() are emitted from there, messages go to the messenger given below.
        TransferObserver& observer;
        // The same message boxes for engines that report through a Messenger.
        Messenger& messenger;
    };
    using Job = std::function<void(Worker& worker)>;
    // Runs a function on the user-interface thread and waits for it; callable from any thread
    // at once. Once this object is going away the function is dropped instead.
    using UiCall = std::function<void(const std::function<void()>& function)>;
    using FleetJob = std::function<void(const UiCall& onUiThread)>;

    // busy: the program's one busy flag. links: null for real serial ports only.
    ThreadedTransfer(std::atomic<bool>& busy, Messenger& messenger, const LinkFactory* links,
                     QObject* parent = nullptr);
    // Going away under a running worker: its reports are dropped and it is waited for.
    ~ThreadedTransfer() override;

    // Runs job on a worker thread with a new link to device. False, and nothing started, while
    // a transfer runs anywhere in the program.
    bool Start(const std::string& device, Job job);
    // Runs a fleet job on the worker thread; the same refusal as Start.
    bool StartFleet(FleetJob job);
    bool running() const { return worker_ != nullptr; }

signals:
    void started();
    void progress(int position, int total, const QString& percentText);
    void closeRequested();
    void aboutToSend();
    // The worker has ended; the job's result can be read now.
    void finished();

private:
    class UiObserver;
    class UiMessenger;

    // Runs function on this object's thread and waits for it; dropped once abandoned.
    void OnUiThread(const std::function<void()>& function);
    // Takes the busy flag and runs body on a new worker thread; false when a transfer runs.
    bool StartWorker(std::function<void()> body);
    void OnWorkerFinished();

    std::atomic<bool>& busy_;
    Messenger& messenger_;
    const LinkFactory* links_;
    QThread* worker_ = nullptr;
    std::atomic<bool> abandoned_{false};
};

}  // namespace kestra
