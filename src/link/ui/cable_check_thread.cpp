// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ui/cable_check_thread.hpp"

#include <QThread>

#include <memory>

namespace kestra {

QThread* StartCableCheck(QObject* context, CableCheck check, const ChosenPort& port,
                         std::function<void(const DoctorReport&)> done) {
    auto report = std::make_shared<DoctorReport>();
    QThread* thread =
        QThread::create([check = std::move(check), port, report] { *report = check(port); });
    QObject::connect(thread, &QThread::finished, context, [thread, report, done = std::move(done)] {
        thread->deleteLater();
        done(*report);
    });
    thread->start();
    return thread;
}

}  // namespace kestra
