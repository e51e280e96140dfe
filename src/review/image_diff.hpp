// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What differs between two memory images, as a radio operator reads it: first the channels by
// label (each field that changed with its old and new text, or the channel added or removed),
// then every settings and calibration field in its editor's own words, found through the same
// field tables that drive the dialogs and the `settings` and `calibration` prints, then the bytes
// that no table owns as ranges of hexadecimal offsets, and last one line for the summary areas
// the program derives (channel bitmaps, first channels, section limits and windows, the model
// block, the derived calibration tables, a shown channel's shift where it follows its Rx and Tx).
// The command line's comparison and the summary before a write read it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/memory_image.hpp"

namespace kestra {

// A half-open range [begin, end) of image offsets.
struct ImageSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct FieldChange {
    std::string caption;
    std::string before;
    std::string after;
};

struct ChannelDifference {
    enum class Kind { Changed, Added, Removed };
    int record = 0;     // 0..257
    std::string label;  // "A001", "B VFO"
    Kind kind = Kind::Changed;
    std::string summary;              // Added/Removed: the channel's frequency and name
    std::vector<FieldChange> fields;  // Changed: the fields whose text differs
};

// A field of a settings or calibration editor whose stored value differs. The texts are what
// the editor shows right after opening; they are equal when only the stored form differs (a
// value the editor normalised when it opened, then stored as it shows it).
struct EditorFieldChange {
    std::string editor;  // the section of the settings or calibration text: "Optional Features"
    FieldChange field;   // its key: "TOT (s)", "136-174 Sql 1/Mid"
};

// Consecutive differing bytes within one area of the image.
struct ByteDifference {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string area;  // "A005", "Parameter Adjust", "" when the area has no name
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

struct ImageDifference {
    std::vector<ChannelDifference> channels;
    std::vector<EditorFieldChange> fields;
    std::vector<ByteDifference> other;
    bool summaryAreas = false;  // some summary area the image preparation derives differs

    bool empty() const {
        return channels.empty() && fields.empty() && other.empty() && !summaryAreas;
    }
};

// Compares before with after. Each image's channels are read with its own section limits, as
// opening it would. With spans given, only bytes inside them count (a write compares only what
// it sends); without, the whole image.
ImageDifference DiffImages(const MemoryImage& before, const MemoryImage& after,
                           std::span<const ImageSpan> spans = {});

// The line that stands for every summary area that differs.
inline constexpr char kSummaryAreasLine[] = "and the summary areas the radio needs";

// One line per difference, in the order above:
//   A001 Rx Freq: 146.52000 -> 146.52500
//   A005 added: 446.00625 MHz "PMR1"
//   Optional Features: TOT (s) 30 -> 120
//   DTMF Encode: PTT ID BOT (empty) -> 123ABCD
//   Parameter Adjust: V PA Drive 15 -> 9
//   Optional Features: Lamp Color 1 -> 1 (as the dialog stores it)
//   0x3000-0x3001: 03 00 -> 07 00
//   and the summary areas the radio needs
std::string FormatImageDifference(const ImageDifference& difference);

}  // namespace kestra
