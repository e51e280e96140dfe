// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the transfer benchmarks share: what a clone transfer costs on the line (every byte of the
// exchange, both ways, straight from the protocol, and how long that takes at the radio's line
// speed), and a program run measured in wall time and the CPU time it used.

#include <sys/resource.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "e2e/processes.hpp"

#include "link/clone_range.hpp"
#include "link/clone_session.hpp"
#include "link/ident_reply.hpp"
#include "link/wire_protocol.hpp"

namespace kestra::bench {

inline constexpr int kBaud = 9600;
inline constexpr double kBitsPerByte = 10.0;  // start bit, 8 data bits, stop bit

// Bytes on the wire for one clone transfer, both directions.
inline std::size_t WireBytes(const ClonePlan& plan) {
    std::size_t bytes = kWakeUpString.size() + 2;  // wake-up and "AG"
    bytes += 1 + kIdentReplySize;                  // identification request and reply
    bytes += 1 + 1;                                // handshake "A" and its "A"
    for (const CloneRange& range : plan.ranges) {
        for (std::uint32_t a = range.start; a < range.end;) {
            const std::uint32_t length = BlockLengthAt(a, range.end);
            if (plan.direction == TransferDirection::Read) {
                bytes += 4 + 4 + length + 1 + 1;  // header, radio's header, data, "A", "A"
            } else {
                bytes += 4 + length + 1;  // header, data, "A"
            }
            a += length;
        }
    }
    bytes += (plan.direction == TransferDirection::Read ? kEndOfRead : kEndOfWrite).size();
    return bytes;
}

inline double WireSeconds(const ClonePlan& plan) {
    return static_cast<double>(WireBytes(plan)) * kBitsPerByte / kBaud;
}

struct Run {
    int exitCode = -1;
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// Runs a program to its end with stdout discarded (and stderr sent to stderrPath when one is
// given): its wall time and the CPU time it used.
inline Run Measure(std::vector<std::string> args, const std::string& stderrPath = {}) {
    Run run;
    const auto start = std::chrono::steady_clock::now();
    test::SpawnOutput discard;
    discard.stdoutPath = "/dev/null";
    discard.stderrPath = stderrPath;
    rusage usage{};
    run.exitCode = test::WaitForExit(test::SpawnProgram(std::move(args), discard), &usage);
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto seconds = [](const timeval& tv) { return tv.tv_sec + tv.tv_usec / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

}  // namespace kestra::bench
