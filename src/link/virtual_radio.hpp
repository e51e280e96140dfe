// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A radio in software: the radio's side of the clone protocol and of the service transfers over
// its own 16384-byte memory. It is a byte-stream state machine: feed it the bytes the program
// writes and it returns the bytes it answers. The in-process link (tests, the desktop program's
// demo radio) and the pseudo-terminal server (kestra-virtual-radio) put it behind a serial line.
//
// What it understands: the wake-up string (answered "AG"), the identification request (answered
// with the configured 32-byte reply), the handshake "A", read blocks ("R" addr-hi addr-lo len,
// answered with a 4-byte header "W" addr-hi addr-lo len and the data, then "A" for the program's
// "A"), write blocks ("W" header and data, stored and answered "A") and the end strings "ENDR"
// and "ENDW". The wake-up string is recognised only while the radio is out of a session: an end
// string or Reset() brings it back there. The in-process link resets it at every Open and the
// pseudo-terminal server whenever a client opens the line, the way a radio starts afresh when its
// cable is plugged in.
//
// Faults make it misbehave the way a real radio or cable can, for tests of every failure path.
// Blocks are counted from 1 in each session (a session starts at an answered wake-up); block 0
// is the handshake acknowledge.
//
// Not thread-safe: one user at a time (the link that owns the line).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/ident_reply.hpp"
#include "model/memory_image.hpp"

namespace kestra {

struct VirtualRadioFaults {
    // The port cannot be opened at all (the link's Open fails).
    bool absent = false;
    // Never answers anything.
    bool silent = false;
    // Answers the wake-up string only from this attempt on (1 = the first one). Attempts are
    // counted since the last Reset() or end string.
    int answerWakeUpFromAttempt = 1;
    // Does not acknowledge block N (0 = the handshake acknowledge).
    std::optional<int> withholdAckAfterBlock;
    // Sends only half of the data of read block N.
    std::optional<int> shortBlock;
    // Sends only the first N bytes of the identification reply (0: none, as if the line went
    // dead after the wake-up).
    std::optional<int> shortIdent;
    // Stops answering after the acknowledge of block N (0 = after the handshake) until Reset().
    std::optional<int> disconnectAfterBlock;
    // A faulty memory cell: a write block that covers this address stores the byte with its
    // bits inverted there, and acknowledges as usual.
    std::optional<int> wrongByteAt;
    // Line speed for the link's pacing: every byte takes 10 bits / baud in both directions.
    // 0 = bytes travel instantly.
    int baud = 0;
};

class VirtualRadio {
public:
    // Memory all 0xFF; identification "KESTRA-D", firmware 1.2.3, byte 15 = 0, bands 136-174
    // and 400-520 MHz; no faults; no pacing.
    VirtualRadio();

    // The radio's memory; tests and the demo set it up and inspect what a write stored.
    MemoryImage& memory() { return memory_; }
    const MemoryImage& memory() const { return memory_; }

    // ---- identification reply ----
    void SetModelText(std::string_view text);           // bytes 0-7, 0xFF after the text
    void SetFirmware(std::span<const std::uint8_t> v);  // bytes 8-14, 0xFF after the numbers
    void SetVariantByte(std::uint8_t value);            // byte 15
    // Band limits in whole MHz, stored as packed BCD of 10 Hz units in bytes 16-31.
    void SetBandLimitsMhz(int lower1, int upper1, int lower2, int upper2);
    // Any 32 bytes at all (for malformed replies).
    void SetIdentReply(const IdentReply& reply) { ident_ = reply; }
    const IdentReply& identReply() const { return ident_; }

    // ---- faults and pacing ----
    VirtualRadioFaults& faults() { return faults_; }
    const VirtualRadioFaults& faults() const { return faults_; }
    // Wire time of one byte in microseconds at faults().baud (0 when not paced).
    std::int64_t ByteTimeUs() const;

    // ---- the byte stream ----
    // Forgets any half-received frame and the session: the line was just opened.
    void Reset();
    // Takes bytes the program wrote; returns the bytes the radio answers, in order.
    std::vector<std::uint8_t> Receive(std::span<const std::uint8_t> bytes);
    // One byte at a time: appends the answer to out.
    void ReceiveByte(std::uint8_t byte, std::vector<std::uint8_t>& out);

    // ---- what the radio saw (for tests) ----
    // One entry per recognised frame: "PROGRAM" (every wake-up string, answered or not),
    // "IDENT", "A" (the handshake only), block headers as "R 3E D0 10" / "W 3E D0 10" (hex,
    // upper case), "ENDR", "ENDW".
    const std::vector<std::string>& log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // Headers only ("R ..." and "W ..." entries of the log).
    std::vector<std::string> headers() const;
    int wakeUpAttempts() const { return wakeUpAttempts_; }

private:
    enum class State { Idle, Awake, Identified, Session, WriteData, ReadAck };

    void Process(std::uint8_t byte, std::vector<std::uint8_t>& out);
    void MatchWakeUp(std::uint8_t byte, std::vector<std::uint8_t>& out);
    // False when the byte is not part of an end string.
    bool MatchEnd(std::uint8_t byte);
    void HandleHeaderByte(std::uint8_t byte, std::vector<std::uint8_t>& out);
    void SendReadBlock(std::uint16_t address, std::size_t length, std::vector<std::uint8_t>& out);
    void StoreWriteBlock(std::vector<std::uint8_t>& out);
    // How much of the identification reply goes out.
    std::ptrdiff_t IdentBytesSent() const;
    // Answers "A" for block block_ unless a fault withholds it.
    void Acknowledge(std::vector<std::uint8_t>& out);

    MemoryImage memory_;
    IdentReply ident_{};
    VirtualRadioFaults faults_;
    std::vector<std::string> log_;

    State state_ = State::Idle;
    std::size_t wakeMatch_ = 0;  // bytes of the wake-up string matched so far
    std::size_t endMatch_ = 0;   // bytes of "ENDR"/"ENDW" matched so far
    std::array<std::uint8_t, 4> header_{};
    std::size_t headerFill_ = 0;
    std::vector<std::uint8_t> writeData_;
    int wakeUpAttempts_ = 0;
    int block_ = 0;  // blocks completed in this session
    bool disconnected_ = false;
};

}  // namespace kestra
