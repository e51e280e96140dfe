// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Check..." off the user-interface thread: the cable doctor takes a few seconds on a silent
// port, so it runs on a worker thread of its own and its report comes back on the thread of the
// window that asked. The Port dialog and "Write to Several Radios..." both check this way.

#include <QObject>

#include <functional>

#include "link/cable_doctor.hpp"

class QThread;

namespace kestra {

// How "Check..." examines a port; it runs on a worker thread.
using CableCheck = std::function<DoctorReport(const ChosenPort&)>;

// Starts check(port) on a new thread. Once it has ended, done(report) runs on context's thread
// and the thread is deleted; the pointer returned is valid until then (a window going away
// waits for it).
QThread* StartCableCheck(QObject* context, CableCheck check, const ChosenPort& port,
                         std::function<void(const DoctorReport&)> done);

}  // namespace kestra
