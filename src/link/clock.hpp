// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Time as the protocol sees it: a millisecond stopwatch and a sleep. The steady clock is real
// time; tests use a simulated clock so timeouts and retries run instantly and exactly.

#include <cstdint>

namespace kestra {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() = 0;
    virtual void SleepMs(int ms) = 0;
};

// Real time from std::chrono::steady_clock.
class SteadyClock final : public Clock {
public:
    std::int64_t NowMs() override;
    void SleepMs(int ms) override;
};

// A millisecond stopwatch on a Clock.
class Stopwatch {
public:
    explicit Stopwatch(Clock& clock) : clock_(clock), start_(clock.NowMs()) {}
    std::int64_t ElapsedMs() const { return clock_.NowMs() - start_; }
    void Restart() { start_ = clock_.NowMs(); }

private:
    Clock& clock_;
    std::int64_t start_;
};

}  // namespace kestra
