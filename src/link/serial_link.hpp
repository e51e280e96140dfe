// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial line to the radio as the transfers use it: opened per transfer, 9600 baud 8N1 raw,
// reads bounded by a count, a 100 ms gap between two bytes and a total timeout. The real port
// (QSerialPort) lives in the device layer; tests talk to the virtual radio in-process.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kestra {

// The read total timeout's constant part: 500 ms normally, 100 ms for the squelch transfers.
inline constexpr int kReadTotalConstantMs = 500;
inline constexpr int kSqlReadTotalConstantMs = 100;
inline constexpr int kReadIntervalMs = 100;
inline constexpr int kReadTotalPerByteMs = 50;
inline constexpr int kWriteTotalPerByteMs = 50;
inline constexpr int kWriteTotalConstantMs = 50;

// How long a read of count bytes may take in all, and a write of count bytes.
constexpr std::int64_t ReadTotalTimeoutMs(std::size_t count, int readTotalConstantMs) {
    return std::int64_t{kReadTotalPerByteMs} * static_cast<std::int64_t>(count) +
           readTotalConstantMs;
}
constexpr std::int64_t WriteTotalTimeoutMs(std::size_t count) {
    return std::int64_t{kWriteTotalPerByteMs} * static_cast<std::int64_t>(count) +
           kWriteTotalConstantMs;
}

class SerialLink {
public:
    virtual ~SerialLink() = default;
    // Opens the named device exclusively; false when it is absent or busy.
    virtual bool Open(const std::string& device) = 0;
    // 9600 8N1 raw, queue sizes, and the read total constant for every later Read.
    virtual void ApplySettings(int readTotalConstantMs) = 0;
    // Discards whatever waits in the receive and transmit queues.
    virtual void Purge() = 0;
    // Returns the number of bytes written.
    virtual std::size_t Write(std::span<const std::uint8_t> bytes) = 0;
    // Returns on the first of: buffer full, 100 ms between two bytes (after the first byte),
    // total timeout (50 ms per requested byte plus the constant). Returns the count received.
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
    virtual void Close() = 0;
    // Why the last Open failed, in the system's words ("Permission denied"); empty when the
    // link cannot tell.
    virtual std::string OpenErrorText() const { return {}; }
};

}  // namespace kestra
