// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/wire_protocol.hpp"

namespace kestra {

bool WireProtocol::WakeUp(int pauseMs) {
    for (int attempt = 0; attempt < kWakeUpAttempts; ++attempt) {
        // The radio wants the wake-up string one byte at a time, with a pause before each.
        for (std::uint8_t byte : kWakeUpString) {
            clock_.SleepMs(pauseMs);
            link_.Write(std::span<const std::uint8_t>(&byte, 1));
        }
        Stopwatch stopwatch(clock_);
        do {
            if (ReadByte() == 'A' && ReadByte() == 'G') {
                return true;
            }
        } while (stopwatch.ElapsedMs() <= kWakeUpWindowMs);
    }
    return false;
}

std::optional<IdentReply> WireProtocol::RequestIdent() {
    IdentReply reply{};
    link_.Purge();
    const std::uint8_t request = kIdentRequest;
    link_.Write(std::span<const std::uint8_t>(&request, 1));
    if (link_.Read(reply) != reply.size()) {
        return std::nullopt;
    }
    return reply;
}

bool WireProtocol::Handshake() {
    link_.Purge();
    return SendAndExpectAcknowledge();
}

ReadBlockReply WireProtocol::ReadBlock(std::uint16_t address, std::span<std::uint8_t> out) {
    link_.Purge();
    SendHeader(kReadCommand, address, out.size());
    std::array<std::uint8_t, 4> radioHeader{};
    if (link_.Read(radioHeader) != radioHeader.size()) {
        return {false, 0};
    }
    // A block that arrives short is an error: storing it would mix stale bytes into the image.
    const std::size_t received = link_.Read(out);
    if (received != out.size()) {
        return {false, received};
    }
    link_.Purge();
    return {SendAndExpectAcknowledge(), received};
}

bool WireProtocol::WriteBlock(std::uint16_t address, std::span<const std::uint8_t> data) {
    link_.Purge();
    SendHeader(kWriteCommand, address, data.size());
    link_.Write(data);
    return ReadByte() == kAcknowledge;
}

void WireProtocol::SendEnd(std::string_view text) {
    link_.Write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size()));
}

std::optional<std::uint8_t> WireProtocol::ReadByte() {
    std::uint8_t byte = 0;
    if (link_.Read(std::span<std::uint8_t>(&byte, 1)) != 1) {
        return std::nullopt;
    }
    return byte;
}

void WireProtocol::SendHeader(std::uint8_t command, std::uint16_t address, std::size_t length) {
    const std::array<std::uint8_t, 4> header{command, static_cast<std::uint8_t>(address >> 8),
                                             static_cast<std::uint8_t>(address & 0xFF),
                                             static_cast<std::uint8_t>(length)};
    link_.Write(header);
}

bool WireProtocol::SendAndExpectAcknowledge() {
    const std::uint8_t ack = kAcknowledge;
    link_.Write(std::span<const std::uint8_t>(&ack, 1));
    return ReadByte() == kAcknowledge;
}

}  // namespace kestra
