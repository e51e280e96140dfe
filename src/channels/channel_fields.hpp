// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fields of one channel record under the Channel Edit dialog's captions, as texts: what a
// user reads when two images are compared, and the lists the dialog offers. Also the one test of
// whether a channel slot holds a channel the grid shows, which the import, the export, the
// comparison and the backup list share.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/field_layout.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

inline constexpr std::array<std::string_view, 2> kTxPowerTexts{"Low", "High"};
inline constexpr std::array<std::string_view, 2> kWideNarrowTexts{"Narrow", "Wide"};
inline constexpr std::array<std::string_view, 3> kBclTexts{"Off", "Carrier", "QT/DQT"};
inline constexpr std::array<std::string_view, 2> kVoxTexts{"Off", "On"};
inline constexpr std::array<std::string_view, 10> kVoiceProcessTexts{
    "Off",        "Companding", "Scrambler1", "Scrambler2", "Scrambler3",
    "Scrambler4", "Scrambler5", "Scrambler6", "Scrambler7", "Scrambler8"};
inline constexpr std::array<std::string_view, 2> kScanAddTexts{"Del", "Add"};
inline constexpr std::array<std::string_view, 2> kSignalTypeTexts{"Off", "DTMF"};
inline constexpr std::array<std::string_view, 4> kPttIdTexts{"Off", "BOT", "EOT", "Both"};
inline constexpr std::array<std::string_view, 3> kRelayModeTexts{"Off", "Reverse", "Talk around"};

// The drop-down fields of a record in the dialog's order. Offsets count from the record's first
// byte; a stored index without an entry shows the fallback ("High", "Wide", "Add", else "Off").
inline constexpr std::array<ListField, 9> kChannelListFields{{
    {"Tx Power", {13, 4, 1}, kTxPowerTexts, 1},
    {"W/N", {13, 5, 1}, kWideNarrowTexts, 1},
    {"BCL", {13, 6, 2}, kBclTexts, 0},
    {"Vox", {13, 2, 1}, kVoxTexts, 0},
    {"Voice Process", {12, 4, 4}, kVoiceProcessTexts, 0},
    {"Scan Add", {13, 3, 1}, kScanAddTexts, 1},
    {"Signal Type", {12, 0, 2}, kSignalTypeTexts, 0},
    {"PTT ID", {13, 0, 2}, kPttIdTexts, 0},
    {"Relay Mode", {12, 2, 2}, kRelayModeTexts, 0},
}};

// The text a list field of record (0..257) shows.
std::string_view ChannelListText(const MemoryImage& image, int record, const ListField& field);

// One field of a record as a text, and the record bytes it lives in.
struct ChannelFieldText {
    std::string_view caption;
    std::string text;
    std::size_t firstByte = 0;
    std::size_t byteCount = 0;
};

// Every field of record (0..257) in the dialog's order: "Rx Freq", "Tx Freq" (empty when the
// channel has none), "Rx Tone", "Tx Tone", "Tx Power", "W/N", "BCL", "Vox", "Voice Process",
// "CH. Name", "Scan Add", "Signal Type", "PTT ID", "Relay Mode".
std::vector<ChannelFieldText> ChannelFieldTexts(const MemoryImage& image, int record);

// Whether record (0..257) holds a channel the grid shows: its bit in its section's present map
// is set (the VFO slots have none) and its Rx frequency lies in a section.
bool ChannelIsShown(const MemoryImage& image, int record, const SectionLimits& limits);

// The limits an opened image brings: the start-up limits with the image's pairs taken over.
SectionLimits LimitsOfImage(const MemoryImage& image);

// The number of memory channels (A001-B128) the grid shows for the image with its own limits.
int ShownChannelCount(const MemoryImage& image);

}  // namespace kestra
