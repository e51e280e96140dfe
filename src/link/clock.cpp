// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/clock.hpp"

#include <chrono>
#include <thread>

namespace kestra {

std::int64_t SteadyClock::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace kestra
