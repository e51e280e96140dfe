// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real serial port behind SerialLink, on QSerialPort. A transfer opens it, uses it and
// closes it on one thread: the port object is created by Open on the calling thread and
// destroyed by Close, so the desktop's worker thread can own its link outright. Reads and
// writes block on the device with poll-style waits (never a busy loop) and end on the first of
// count reached, a 100 ms gap after the first byte, or the total timeout. When the device goes
// away under us (a USB cable pulled), every later read and write fails at once instead of
// waiting out its timeout. On Linux, Open asks the driver for low-latency mode, so a USB
// adapter passes each answer on at once instead of after its latency timer.

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "link/serial_link.hpp"

QT_BEGIN_NAMESPACE
class QSerialPort;
QT_END_NAMESPACE

namespace kestra {

class QtSerialLink final : public SerialLink {
public:
    QtSerialLink();
    ~QtSerialLink() override;
    QtSerialLink(const QtSerialLink&) = delete;
    QtSerialLink& operator=(const QtSerialLink&) = delete;

    bool Open(const std::string& device) override;
    void ApplySettings(int readTotalConstantMs) override;
    void Purge() override;
    std::size_t Write(std::span<const std::uint8_t> bytes) override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    void Close() override;
    std::string OpenErrorText() const override { return lastError_; }

    bool IsOpen() const;
    // True once the device has reported a hang-up or a fatal error since Open.
    bool IsBroken() const { return broken_; }
    // Whether the driver put the port in low-latency mode at the last Open (false where it
    // refused, as a pseudo-terminal does, and on systems without the mode).
    bool LowLatency() const { return lowLatency_; }
    // The last error text of the port (for diagnostics; the transfers show their own texts).
    std::string ErrorText() const;

private:
    enum class Wait { Ready, Timeout, Failed };
    // Waits up to timeoutMs for incoming bytes (forRead) or for room to write, and lets the port
    // move data between the device and its buffers.
    Wait WaitFor(bool forRead, int timeoutMs);
    void NoteError();

    std::unique_ptr<QSerialPort> port_;
    int readTotalConstantMs_ = kReadTotalConstantMs;
    bool broken_ = false;
    bool lowLatency_ = false;
    std::string lastError_;
};

}  // namespace kestra
