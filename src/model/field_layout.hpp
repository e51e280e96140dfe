#pragma once
// How the editors' settings blocks are described: one table row per field, naming where its bits
// live in the memory image and what the form offers for it. The codec (decode on open, encode on
// close), the dialog that builds its controls from the table and the command line all read the
// same rows, so a field's offset, bits, list and fallback are written down exactly once.
//
// Bit fields are written read-modify-write: only the field's own bits change, every other bit of
// the byte keeps what it held.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/memory_image.hpp"

namespace kestra {

// Bits shift..shift+width-1 of the byte at offset (bit 0 is the least significant). A whole
// byte is shift 0, width 8.
struct BitField {
    std::size_t offset = 0;
    std::uint8_t shift = 0;
    std::uint8_t width = 8;

    constexpr std::uint8_t Mask() const {
        return static_cast<std::uint8_t>(((1u << width) - 1u) << shift);
    }
};

inline std::uint8_t ReadBits(const MemoryImage& image, BitField field) {
    return static_cast<std::uint8_t>((image[field.offset] & field.Mask()) >> field.shift);
}

// Values wider than the field keep only the bits that fit.
inline void WriteBits(MemoryImage& image, BitField field, unsigned value) {
    const std::uint8_t mask = field.Mask();
    const auto shifted = static_cast<std::uint8_t>((value << field.shift) & mask);
    image[field.offset] = static_cast<std::uint8_t>((image[field.offset] & ~mask) | shifted);
}

// A drop-down field: its caption, where its index is stored, the list's texts in order, and the
// entry chosen when the stored value has none (kNoFallback: every stored value has an entry).
struct ListField {
    static constexpr int kNoFallback = -1;

    std::string_view caption;
    BitField where;
    std::span<const std::string_view> texts;
    int fallbackIndex = kNoFallback;
};

}  // namespace kestra
