// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio's 32-byte identification reply: bytes 0-7 the model text, 8-14 the firmware version
// (one number per byte, 0xFF ends it), 15 a model variant flag, 16-31 the lower and upper limits
// of its two bands (packed BCD in 10 Hz units). The clone transfer checks the limits against the
// image; Radio Information and `kestra-cli info` show the decoded fields.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "model/codecs.hpp"

namespace kestra {

inline constexpr std::size_t kIdentReplySize = 32;
using IdentReply = std::array<std::uint8_t, kIdentReplySize>;

// Where the fields stand in the reply.
inline constexpr std::size_t kIdentModelTextLength = 8;  // from byte 0
inline constexpr std::size_t kIdentFirmwareOffset = 8;
inline constexpr std::size_t kIdentFirmwareLength = 7;
inline constexpr std::size_t kIdentVariantOffset = 15;
inline constexpr std::size_t kIdentLimitsOffset = 16;  // four 4-byte limits

// One limit of the reply the way the radio's own software converts it: the four bytes as a
// little-endian 32-bit number, written in lower-case hexadecimal and read back as a decimal
// number. For packed BCD this is the BCD value; a text with letters gives the value of its
// leading decimal digits, and a text that starts with a letter gives the raw number.
Frequency IdentLimitValue(std::span<const std::uint8_t, 4> bytes);

// The two bands of the reply in 10 Hz units: [0] from bytes 16-23, [1] from bytes 24-31.
std::array<Band, 2> IdentReplyBands(const IdentReply& reply);

// The programming-software version that belongs to a firmware version's first two components.
struct PcVersionEntry {
    const char* firmware;
    const char* pcVersion;
};
inline constexpr std::array<PcVersionEntry, 1> kPcVersionTable{{{"v1.2", "v2.5.1"}}};

// The reply as Radio Information shows it.
struct RadioInformation {
    std::string model;                      // bytes 0-7 up to the first unprintable, "-K472" added
    std::optional<std::string> mcuVersion;  // "v1.2.3"; empty when byte 8 is 0xFF
    std::optional<std::string> pcVersion;   // from kPcVersionTable, when the firmware has an entry
    int aLowerMhz = 0;                      // limits in whole MHz (integer division)
    int aUpperMhz = 0;
    int bLowerMhz = 0;
    int bUpperMhz = 0;
};
RadioInformation DecodeIdentReply(const IdentReply& reply);

}  // namespace kestra
