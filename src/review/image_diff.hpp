// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What differs between two memory images, as a user reads it: first the channels by label (each
// field that changed with its old and new text, or the channel added or removed), then the
// settings blocks under their editors' captions (the editors' own values where the core knows
// them, else the bytes), then the remaining bytes as ranges of hexadecimal offsets, named after
// the area of the image they lie in. The command line's comparison and the summary before a
// write read it.

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

// Consecutive differing bytes within one area of the image.
struct ByteDifference {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string area;  // "channel bitmaps", "A005", "" when the area has no name
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

struct BlockDifference {
    std::string caption;                // the editor's caption: "Optional Features"
    std::vector<FieldChange> values;    // the editor's values that differ, where known
    std::vector<ByteDifference> bytes;  // otherwise the differing bytes
};

struct ImageDifference {
    std::vector<ChannelDifference> channels;
    std::vector<BlockDifference> blocks;
    std::vector<ByteDifference> other;

    bool empty() const { return channels.empty() && blocks.empty() && other.empty(); }
};

// Compares before with after. Each image's channels are read with its own section limits, as
// opening it would. With spans given, only bytes inside them count (a write compares only what
// it sends); without, the whole image.
ImageDifference DiffImages(const MemoryImage& before, const MemoryImage& after,
                           std::span<const ImageSpan> spans = {});

// One line per difference, in the order above:
//   A001 Rx Freq: 146.52000 -> 146.52500
//   A005 added: 446.00625 MHz "PMR1"
//   Parameter Adjust, Voice Tx Gain: 40 -> 12
//   Optional Features, 0x2042: 04 -> 05
//   0x2E40-0x2E41 (channel bitmaps): 03 00 -> 07 00
std::string FormatImageDifference(const ImageDifference& difference);

}  // namespace kestra
