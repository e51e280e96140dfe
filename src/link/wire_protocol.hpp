// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's side of the radio's wire format, shared by the clone transfer and the service
// transfers: the wake-up with its retries, the identification request, the handshake, one read
// or write block with its acknowledge, and the end strings. Each call reports only whether the
// radio answered as expected; the callers decide what to show.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "link/clock.hpp"
#include "link/ident_reply.hpp"
#include "link/serial_link.hpp"

namespace kestra {

inline constexpr std::array<std::uint8_t, 8> kWakeUpString{0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
inline constexpr std::uint8_t kIdentRequest = 0x02;
inline constexpr std::uint8_t kAcknowledge = 'A';
inline constexpr std::uint8_t kReadCommand = 'R';
inline constexpr std::uint8_t kWriteCommand = 'W';
inline constexpr std::string_view kEndOfRead = "ENDR";
inline constexpr std::string_view kEndOfWrite = "ENDW";
inline constexpr int kWakeUpAttempts = 4;
// How long one wake-up attempt keeps reading for "AG".
inline constexpr int kWakeUpWindowMs = 100;

inline constexpr std::string_view kOpenPortFail = "Open port fail";
inline constexpr std::string_view kCommunicationError = "Communication error";

// How one read block went: whether it arrived whole and was acknowledged, and how many of its
// data bytes came (fewer than asked when the radio sent it short; none when its header broke off).
struct ReadBlockReply {
    bool ok = false;
    std::size_t received = 0;
};

class WireProtocol {
public:
    WireProtocol(SerialLink& link, Clock& clock) : link_(link), clock_(clock) {}

    // Up to four attempts of the wake-up string, each byte after a pause of pauseMs, each
    // attempt reading for "AG" for about 100 ms. True when the radio answered.
    bool WakeUp(int pauseMs);
    // Sends the identification request and reads the 32-byte reply. Nothing when fewer bytes
    // arrive: a short reply means a broken line, and its missing limits must not pass for 0.
    std::optional<IdentReply> RequestIdent();
    // Sends "A" and expects "A" back.
    bool Handshake();
    // One read block at address: header "R", the radio's 4-byte header and the data into out,
    // then the "A" exchange. Not ok when a header or the data arrives short or the acknowledge
    // is missing; out may then hold part of the block.
    ReadBlockReply ReadBlock(std::uint16_t address, std::span<std::uint8_t> out);
    // One write block: header "W" and the data, then the radio's "A".
    bool WriteBlock(std::uint16_t address, std::span<const std::uint8_t> data);
    void SendEnd(std::string_view text);

private:
    std::optional<std::uint8_t> ReadByte();
    void SendHeader(std::uint8_t command, std::uint16_t address, std::size_t length);
    bool SendAndExpectAcknowledge();

    SerialLink& link_;
    Clock& clock_;
};

}  // namespace kestra
