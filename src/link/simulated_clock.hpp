// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Time for tests: it stands still until someone sleeps or the in-process link waits for bytes,
// so timeouts and retries run instantly and their durations are exact. Kept in microseconds
// because a byte at 9600 baud takes 1.04 ms.

#include <algorithm>
#include <cstdint>

#include "link/clock.hpp"

namespace kestra {

class SimulatedClock final : public Clock {
public:
    std::int64_t NowMs() override { return nowUs_ / 1000; }
    void SleepMs(int ms) override { nowUs_ += std::int64_t{std::max(ms, 0)} * 1000; }

    std::int64_t NowUs() const { return nowUs_; }
    // Moves time forward to t (never backwards).
    void AdvanceToUs(std::int64_t t) { nowUs_ = std::max(nowUs_, t); }

private:
    std::int64_t nowUs_ = 0;
};

}  // namespace kestra
