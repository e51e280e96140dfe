// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Jobs that each talk to a serial port, all at once, each on a thread of its own. The threads
// are Qt's: a serial port lives on the thread that opened it and needs that thread's event
// dispatcher, which a thread of the standard library does not have.

#include <functional>
#include <vector>

namespace kestra {

// Starts every job on a thread of its own and returns when all of them have ended.
void RunOnQtThreads(std::vector<std::function<void()>>& jobs);

}  // namespace kestra
