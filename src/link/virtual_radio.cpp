// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/virtual_radio.hpp"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "link/wire_protocol.hpp"
#include "model/codecs.hpp"

namespace kestra {
namespace {

std::string HeaderText(const std::array<std::uint8_t, 4>& header) {
    char text[16];
    std::snprintf(text, sizeof text, "%c %02X %02X %02X", header[0], header[1], header[2],
                  header[3]);
    return text;
}

}  // namespace

VirtualRadio::VirtualRadio() {
    SetModelText("KESTRA-D");
    const std::array<std::uint8_t, 3> firmware{1, 2, 3};
    SetFirmware(firmware);
    SetVariantByte(0);
    SetBandLimitsMhz(136, 174, 400, 520);
}

void VirtualRadio::SetModelText(std::string_view text) {
    for (std::size_t i = 0; i < kIdentModelTextLength; ++i) {
        ident_[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0xFF;
    }
}

void VirtualRadio::SetFirmware(std::span<const std::uint8_t> v) {
    for (std::size_t i = 0; i < kIdentFirmwareLength; ++i) {
        ident_[kIdentFirmwareOffset + i] = i < v.size() ? v[i] : 0xFF;
    }
}

void VirtualRadio::SetVariantByte(std::uint8_t value) {
    ident_[kIdentVariantOffset] = value;
}

void VirtualRadio::SetBandLimitsMhz(int lower1, int upper1, int lower2, int upper2) {
    const std::array<int, 4> limits{lower1, upper1, lower2, upper2};
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const auto bytes = Bcd8Encode(static_cast<std::uint32_t>(limits[i]) * 100000u);
        std::copy(bytes.begin(), bytes.end(), ident_.begin() + kIdentLimitsOffset + 4 * i);
    }
}

std::int64_t VirtualRadio::ByteTimeUs() const {
    if (faults_.baud <= 0) {
        return 0;
    }
    // Start bit, eight data bits, stop bit.
    return (10'000'000 + faults_.baud / 2) / faults_.baud;
}

void VirtualRadio::Reset() {
    state_ = State::Idle;
    wakeMatch_ = 0;
    endMatch_ = 0;
    headerFill_ = 0;
    writeData_.clear();
    wakeUpAttempts_ = 0;
    block_ = 0;
    disconnected_ = false;
}

std::vector<std::uint8_t> VirtualRadio::Receive(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    for (std::uint8_t byte : bytes) {
        ReceiveByte(byte, out);
    }
    return out;
}

void VirtualRadio::ReceiveByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
    if (disconnected_) {
        return;
    }
    if (faults_.silent) {
        // Counts the wake-up attempts it ignores, for tests, but never leaves Idle.
        std::vector<std::uint8_t> ignored;
        MatchWakeUp(byte, ignored);
        state_ = State::Idle;
        return;
    }
    Process(byte, out);
}

void VirtualRadio::Process(std::uint8_t byte, std::vector<std::uint8_t>& out) {
    switch (state_) {
        case State::Idle:
            MatchWakeUp(byte, out);
            return;
        case State::Awake:
            if (byte == kIdentRequest) {
                log_.push_back("IDENT");
                out.insert(out.end(), ident_.begin(), ident_.begin() + IdentBytesSent());
                state_ = State::Identified;
            }
            return;
        case State::Identified:
            if (MatchEnd(byte)) {
                return;
            }
            if (byte == kAcknowledge) {
                log_.push_back("A");
                state_ = State::Session;
                Acknowledge(out);
            }
            return;
        case State::ReadAck:
            if (byte == kAcknowledge) {
                state_ = State::Session;
                ++block_;
                Acknowledge(out);
                return;
            }
            // The program moved on without acknowledging: take the byte as a new frame.
            state_ = State::Session;
            Process(byte, out);
            return;
        case State::Session:
            if (headerFill_ == 0 && MatchEnd(byte)) {
                return;
            }
            HandleHeaderByte(byte, out);
            return;
        case State::WriteData:
            writeData_.push_back(byte);
            if (writeData_.size() == header_[3]) {
                StoreWriteBlock(out);
            }
            return;
    }
}

void VirtualRadio::MatchWakeUp(std::uint8_t byte, std::vector<std::uint8_t>& out) {
    if (byte == kWakeUpString[wakeMatch_]) {
        ++wakeMatch_;
    } else {
        wakeMatch_ = byte == kWakeUpString[0] ? 1 : 0;
    }
    if (wakeMatch_ < kWakeUpString.size()) {
        return;
    }
    wakeMatch_ = 0;
    ++wakeUpAttempts_;
    log_.push_back("PROGRAM");
    if (wakeUpAttempts_ >= faults_.answerWakeUpFromAttempt) {
        out.push_back('A');
        out.push_back('G');
        state_ = State::Awake;
        block_ = 0;
    }
}

bool VirtualRadio::MatchEnd(std::uint8_t byte) {
    static constexpr std::string_view kPrefix = "END";
    if (endMatch_ < kPrefix.size()) {
        if (byte == static_cast<std::uint8_t>(kPrefix[endMatch_])) {
            ++endMatch_;
            return true;
        }
        endMatch_ = 0;
        return false;
    }
    endMatch_ = 0;
    if (byte != 'R' && byte != 'W') {
        return false;
    }
    log_.push_back(byte == 'R' ? std::string(kEndOfRead) : std::string(kEndOfWrite));
    state_ = State::Idle;
    wakeUpAttempts_ = 0;
    block_ = 0;
    return true;
}

void VirtualRadio::HandleHeaderByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
    if (headerFill_ == 0 && byte != kReadCommand && byte != kWriteCommand) {
        return;  // not a frame the radio knows
    }
    header_[headerFill_++] = byte;
    if (headerFill_ < header_.size()) {
        return;
    }
    headerFill_ = 0;
    log_.push_back(HeaderText(header_));
    const auto address = static_cast<std::uint16_t>(header_[1] << 8 | header_[2]);
    if (header_[0] == kReadCommand) {
        SendReadBlock(address, header_[3], out);
        state_ = State::ReadAck;
        return;
    }
    writeData_.clear();
    if (header_[3] == 0) {
        StoreWriteBlock(out);
    } else {
        state_ = State::WriteData;
    }
}

void VirtualRadio::SendReadBlock(std::uint16_t address, std::size_t length,
                                 std::vector<std::uint8_t>& out) {
    out.push_back(kWriteCommand);
    out.push_back(static_cast<std::uint8_t>(address >> 8));
    out.push_back(static_cast<std::uint8_t>(address & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length));
    const bool shortBlock = faults_.shortBlock && *faults_.shortBlock == block_ + 1;
    const std::size_t count = shortBlock ? length / 2 : length;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t a = std::size_t{address} + i;
        out.push_back(a < kImageSize ? memory_[a] : 0xFF);
    }
}

void VirtualRadio::StoreWriteBlock(std::vector<std::uint8_t>& out) {
    const std::size_t address = std::size_t{header_[1]} << 8 | header_[2];
    for (std::size_t i = 0; i < writeData_.size() && address + i < kImageSize; ++i) {
        const bool faulty = faults_.wrongByteAt && std::size_t(*faults_.wrongByteAt) == address + i;
        memory_[address + i] = faulty ? static_cast<std::uint8_t>(~writeData_[i]) : writeData_[i];
    }
    writeData_.clear();
    state_ = State::Session;
    ++block_;
    Acknowledge(out);
}

void VirtualRadio::Acknowledge(std::vector<std::uint8_t>& out) {
    if (faults_.withholdAckAfterBlock && *faults_.withholdAckAfterBlock == block_) {
        return;
    }
    out.push_back(kAcknowledge);
    if (faults_.disconnectAfterBlock && *faults_.disconnectAfterBlock == block_) {
        disconnected_ = true;
    }
}

std::ptrdiff_t VirtualRadio::IdentBytesSent() const {
    const auto full = static_cast<std::ptrdiff_t>(ident_.size());
    if (!faults_.shortIdent) {
        return full;
    }
    return std::clamp<std::ptrdiff_t>(*faults_.shortIdent, 0, full);
}

std::vector<std::string> VirtualRadio::headers() const {
    std::vector<std::string> result;
    std::copy_if(log_.begin(), log_.end(), std::back_inserter(result), [](const std::string& e) {
        return e.size() > 2 && (e[0] == 'R' || e[0] == 'W') && e[1] == ' ';
    });
    return result;
}

}  // namespace kestra
