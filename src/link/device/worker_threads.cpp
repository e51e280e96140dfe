// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device/worker_threads.hpp"

#include <QThread>

#include <memory>

namespace kestra {

void RunOnQtThreads(std::vector<std::function<void()>>& jobs) {
    std::vector<std::unique_ptr<QThread>> threads;
    threads.reserve(jobs.size());
    for (std::function<void()>& job : jobs) {
        threads.emplace_back(QThread::create(job));
        threads.back()->start();
    }
    for (const std::unique_ptr<QThread>& thread : threads) {
        thread->wait();
    }
}

}  // namespace kestra
