// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ident_reply.hpp"

#include <cstdio>
#include <optional>

#include "model/text_numbers.hpp"

namespace kestra {

Frequency IdentLimitValue(std::span<const std::uint8_t, 4> bytes) {
    const std::uint32_t raw = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                              std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    char text[9];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(raw));
    // The hexadecimal digits read as a decimal number, up to the first letter; at most eight
    // digits, so the value always fits. A text that starts with a letter keeps the raw value.
    const std::optional<std::int64_t> decimal = ScanLeadingInteger(text);
    if (!decimal) {
        return static_cast<Frequency>(raw);
    }
    return static_cast<Frequency>(*decimal);
}

std::array<Band, 2> IdentReplyBands(const IdentReply& reply) {
    auto limit = [&](std::size_t offset) {
        return IdentLimitValue(std::span<const std::uint8_t, 4>(reply.data() + offset, 4));
    };
    constexpr std::size_t at = kIdentLimitsOffset;
    return {{{limit(at), limit(at + 4)}, {limit(at + 8), limit(at + 12)}}};
}

RadioInformation DecodeIdentReply(const IdentReply& reply) {
    RadioInformation info;
    for (std::size_t i = 0; i < kIdentModelTextLength && reply[i] >= 0x20 && reply[i] <= 0x7E;
         ++i) {
        info.model.push_back(static_cast<char>(reply[i]));
    }
    if (reply[kIdentVariantOffset] == 1) {
        info.model += "-K472";
    }

    std::string firmware = "v";
    for (std::size_t i = kIdentFirmwareOffset;
         i < kIdentFirmwareOffset + kIdentFirmwareLength && reply[i] != 0xFF; ++i) {
        firmware += std::to_string(reply[i]) + ".";
    }
    while (firmware.back() == '.') {
        firmware.pop_back();
    }
    if (firmware != "v") {
        info.mcuVersion = firmware;
    }
    const std::size_t lastDot = firmware.rfind('.');
    const std::string key =
        lastDot == std::string::npos ? std::string() : firmware.substr(0, lastDot);
    for (const PcVersionEntry& entry : kPcVersionTable) {
        if (key == entry.firmware) {
            info.pcVersion = entry.pcVersion;
        }
    }

    const std::array<Band, 2> bands = IdentReplyBands(reply);
    info.aLowerMhz = bands[0].lower / 100000;
    info.aUpperMhz = bands[0].upper / 100000;
    info.bLowerMhz = bands[1].lower / 100000;
    info.bUpperMhz = bands[1].upper / 100000;
    return info;
}

}  // namespace kestra
