// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DTMF Initialization's eleven decoder registers. Each entry of the decoder table is a fixed
// two-byte tag, rewritten on every commit, and a 16-bit value, high byte first, which the dialog
// shows as a hexadecimal box of at most four digits. The four bytes after the table are moved
// with it to and from the radio and otherwise left alone.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/image_map.hpp"
#include "model/memory_image.hpp"
#include "model/spin_field.hpp"

namespace kestra {

struct DtmfDecoderEntry {
    std::string_view caption;
    std::array<std::uint8_t, 2> tag;
};

inline constexpr std::array<DtmfDecoderEntry, map::kDtmfDecoderEntryCount> kDtmfDecoderEntries{{
    {"L_group high threshold", {0x01, 0xC4}},
    {"L_group low threshold", {0x00, 0xD5}},
    {"H_group high threshold", {0x03, 0xAB}},
    {"H_group low threshold", {0x03, 0xAC}},
    {"Power clipper level", {0x01, 0xB2}},
    {"Power clipper time", {0x01, 0xB3}},
    {"Total_P diff DTMF_P threshold", {0x01, 0xB4}},
    {"Non-power clipper", {0x01, 0xCB}},
    {"Non-power hold time 1", {0x01, 0xBB}},
    {"Non-power hold time 2", {0x01, 0xBC}},
    {"Twist", {0x01, 0xC3}},
}};

// Every box: 0 to FFFF, four hexadecimal digits, letters in upper case.
inline constexpr SpinFieldRule kDtmfDecoderRule{0, 0xFFFF, SpinFormat::Hex, {kHexDigits, 4, true}};

using DtmfInitializationForm = std::array<std::string, map::kDtmfDecoderEntryCount>;

// The boxes as the dialog shows them after it opens (already clamped).
DtmfInitializationForm LoadDtmfInitialization(const MemoryImage& image);
// Clamps the boxes, writes the eleven tags, then each box's low 16 bits, high byte first.
void CommitDtmfInitialization(DtmfInitializationForm& form, MemoryImage& image);

}  // namespace kestra
