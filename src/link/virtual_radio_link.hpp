// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial line to a VirtualRadio in the same process, with the timing of a real port: bytes
// take their wire time when the radio is paced, and a Read returns on the first of count
// reached, 100 ms between two bytes, or its total timeout (50 ms per byte plus the constant).
//
// Two kinds of time:
// - on a SimulatedClock (tests) waiting moves the clock forward by exactly what a real port
//   would wait, so a silent radio costs no real time;
// - on real time (the desktop program's demo radio) a Read sleeps until the next byte's arrival
//   or the timeout, never spinning.
//
// Threads: the link and its radio are used by one thread at a time. The desktop program creates
// them on the user-interface thread and hands them to the transfer's worker thread for the run;
// the dialog is modal, so nothing else touches them meanwhile.

#include <cstdint>
#include <deque>
#include <span>
#include <string>

#include "link/serial_link.hpp"
#include "link/simulated_clock.hpp"
#include "link/virtual_radio.hpp"

namespace kestra {

class VirtualRadioLink final : public SerialLink {
public:
    // Simulated time: every wait advances clock.
    VirtualRadioLink(VirtualRadio& radio, SimulatedClock& clock);
    // Real time (std::chrono::steady_clock); pair it with a SteadyClock for the transfer.
    explicit VirtualRadioLink(VirtualRadio& radio);

    // Succeeds for any device name unless the radio is absent; resets the radio's session.
    bool Open(const std::string& device) override;
    // An absent radio is a device that is not there.
    std::string OpenErrorText() const override;
    void ApplySettings(int readTotalConstantMs) override;
    void Purge() override;
    std::size_t Write(std::span<const std::uint8_t> bytes) override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    void Close() override;

    bool isOpen() const { return open_; }
    const std::string& device() const { return device_; }
    int openCount() const { return openCount_; }
    std::size_t bytesWritten() const { return bytesWritten_; }

private:
    struct Arrival {
        std::int64_t atUs;
        std::uint8_t byte;
    };
    std::int64_t NowUs() const;
    void WaitUntilUs(std::int64_t t);

    VirtualRadio& radio_;
    SimulatedClock* simulated_ = nullptr;
    bool open_ = false;
    std::string device_;
    int openCount_ = 0;
    std::size_t bytesWritten_ = 0;
    int readTotalConstantMs_ = kReadTotalConstantMs;
    std::int64_t txFreeUs_ = 0;  // when the line towards the radio is free again
    std::int64_t rxFreeUs_ = 0;  // when the line from the radio is free again
    std::deque<Arrival> incoming_;
};

}  // namespace kestra
