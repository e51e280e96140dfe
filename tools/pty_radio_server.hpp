// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Serves a VirtualRadio on the master side of a pseudo-terminal, so that any program (kestra-cli,
// the desktop program, a terminal) can open the slave side as if it were the radio's programming
// cable. Bytes the client writes reach the radio after their wire time at the configured baud
// rate, and the radio's answer goes back byte by byte at the same rate, so a transfer takes as
// long as it would on a real cable. The server sleeps in ppoll between bytes; it never spins.
//
// The server keeps its own descriptor of the slave open, so the line survives clients that open
// and close it one after another; each new open of the slave starts the radio afresh (its session
// and half-received frames are forgotten), the way a radio sees a cable being plugged in.

#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "link/virtual_radio.hpp"

namespace kestra {

class PtyRadioServer {
public:
    explicit PtyRadioServer(VirtualRadio& radio) : radio_(radio) {}
    ~PtyRadioServer();
    PtyRadioServer(const PtyRadioServer&) = delete;
    PtyRadioServer& operator=(const PtyRadioServer&) = delete;

    // Creates the pseudo-terminal; false with a reason in error() when that fails.
    bool Open();
    const std::string& slavePath() const { return slavePath_; }
    const std::string& error() const { return error_; }

    // Called after every write session the radio completed ("ENDW" received).
    void OnWriteSession(std::function<void()> callback) { onWriteSession_ = std::move(callback); }
    // Frames the radio recognised go to this callback when set (for --verbose).
    void OnFrame(std::function<void(const std::string&)> callback) {
        onFrame_ = std::move(callback);
    }

    // Serves until stopFlag becomes non-zero. SIGINT and SIGTERM are only let through while the
    // server sleeps, so a handler that sets the flag ends the loop promptly. Returns false after
    // a fatal error of the pseudo-terminal.
    bool Serve(const volatile std::sig_atomic_t& stopFlag);

private:
    struct Outgoing {
        std::int64_t dueNs;
        std::uint8_t byte;
    };
    void TakeInput(std::int64_t nowNs);
    void FlushDue(std::int64_t nowNs);
    // Opens and closes of the slave by clients, reported by inotify.
    void LineEvents();
    void ReportFrames();

    VirtualRadio& radio_;
    int master_ = -1;
    int heldSlave_ = -1;
    int inotify_ = -1;
    std::string slavePath_;
    std::string error_;
    std::function<void()> onWriteSession_;
    std::function<void(const std::string&)> onFrame_;

    // Bytes the radio has answered and that are still "on the wire", in order.
    std::deque<Outgoing> outgoing_;
    std::int64_t rxFreeNs_ = 0;  // when the line towards the radio is free again
    std::int64_t txFreeNs_ = 0;  // when the line from the radio is free again
};

}  // namespace kestra
