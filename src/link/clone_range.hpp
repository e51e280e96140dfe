// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An image address range moved in blocks of at most 32 bytes that never cross a 32-byte
// boundary: the unit both the clone transfer and the service transfers are made of.

#include <cstdint>

namespace kestra {

inline constexpr int kBlockSize = 32;

// A half-open image address range [start, end) moved in blocks that never cross a 32-byte
// boundary.
struct CloneRange {
    std::uint16_t start = 0;
    std::uint32_t end = 0;  // up to 0x4000, so wider than 16 bits
    int BlockCount() const;
};

// The length of the block that starts at address a of a range ending at end (a < end).
constexpr std::uint32_t BlockLengthAt(std::uint32_t a, std::uint32_t end) {
    const std::uint32_t m = a % kBlockSize;
    return a - m + kBlockSize > end ? end - a : kBlockSize - m;
}

}  // namespace kestra
