// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/virtual_radio_link.hpp"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kestra {
namespace {

constexpr std::int64_t kUsPerMs = 1000;

}  // namespace

VirtualRadioLink::VirtualRadioLink(VirtualRadio& radio, SimulatedClock& clock)
    : radio_(radio), simulated_(&clock) {}

VirtualRadioLink::VirtualRadioLink(VirtualRadio& radio) : radio_(radio) {}

std::int64_t VirtualRadioLink::NowUs() const {
    if (simulated_ != nullptr) {
        return simulated_->NowUs();
    }
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void VirtualRadioLink::WaitUntilUs(std::int64_t t) {
    if (simulated_ != nullptr) {
        simulated_->AdvanceToUs(t);
        return;
    }
    using namespace std::chrono;
    std::this_thread::sleep_until(steady_clock::time_point(microseconds(t)));
}

std::string VirtualRadioLink::OpenErrorText() const {
    return radio_.faults().absent ? "No such file or directory" : "";
}

bool VirtualRadioLink::Open(const std::string& device) {
    if (open_ || radio_.faults().absent) {
        return false;
    }
    open_ = true;
    device_ = device;
    ++openCount_;
    readTotalConstantMs_ = kReadTotalConstantMs;
    incoming_.clear();
    txFreeUs_ = rxFreeUs_ = NowUs();
    radio_.Reset();
    return true;
}

void VirtualRadioLink::ApplySettings(int readTotalConstantMs) {
    readTotalConstantMs_ = readTotalConstantMs;
}

void VirtualRadioLink::Purge() {
    // Only what has arrived is in the driver's queue; bytes still on the wire arrive later.
    const std::int64_t now = NowUs();
    while (!incoming_.empty() && incoming_.front().atUs <= now) {
        incoming_.pop_front();
    }
}

std::size_t VirtualRadioLink::Write(std::span<const std::uint8_t> bytes) {
    if (!open_) {
        return 0;
    }
    // The driver queues the bytes at once; the radio sees each one when its wire time is over
    // and starts answering right then.
    const std::int64_t byteUs = radio_.ByteTimeUs();
    std::vector<std::uint8_t> answer;
    for (std::uint8_t byte : bytes) {
        txFreeUs_ = std::max(txFreeUs_, NowUs()) + byteUs;
        answer.clear();
        radio_.ReceiveByte(byte, answer);
        for (std::uint8_t reply : answer) {
            rxFreeUs_ = std::max(rxFreeUs_, txFreeUs_) + byteUs;
            incoming_.push_back({rxFreeUs_, reply});
        }
    }
    bytesWritten_ += bytes.size();
    return bytes.size();
}

std::size_t VirtualRadioLink::Read(std::span<std::uint8_t> buffer) {
    if (!open_ || buffer.empty()) {
        return 0;
    }
    const std::int64_t start = NowUs();
    const std::int64_t deadline =
        start + ReadTotalTimeoutMs(buffer.size(), readTotalConstantMs_) * kUsPerMs;
    std::size_t got = 0;
    std::int64_t lastUs = start;
    while (got < buffer.size()) {
        std::int64_t limit = deadline;
        if (got > 0) {
            limit = std::min(limit, lastUs + std::int64_t{kReadIntervalMs} * kUsPerMs);
        }
        if (incoming_.empty() || incoming_.front().atUs > limit) {
            WaitUntilUs(limit);
            return got;
        }
        lastUs = std::max(incoming_.front().atUs, start);
        buffer[got++] = incoming_.front().byte;
        incoming_.pop_front();
    }
    WaitUntilUs(lastUs);
    return got;
}

void VirtualRadioLink::Close() {
    open_ = false;
    incoming_.clear();
}

}  // namespace kestra
