// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio's whole memory as the program holds it: 16384 bytes whose offsets are at the same time
// the radio's own memory addresses and the offsets in a "*.dat" document file. One image lives in
// the application state; documents, the grid, every editor and every transfer work on it by
// reference. Tests make their own.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kestra {

inline constexpr std::size_t kImageSize = 0x4000;

class MemoryImage {
public:
    // A fresh image is erased memory: every byte 0xFF.
    MemoryImage() { bytes_.fill(0xFF); }

    std::uint8_t& operator[](std::size_t offset) { return bytes_[offset]; }
    std::uint8_t operator[](std::size_t offset) const { return bytes_[offset]; }

    std::span<std::uint8_t> span(std::size_t offset, std::size_t length) {
        return std::span<std::uint8_t>(bytes_).subspan(offset, length);
    }
    std::span<const std::uint8_t> span(std::size_t offset, std::size_t length) const {
        return std::span<const std::uint8_t>(bytes_).subspan(offset, length);
    }
    std::span<std::uint8_t, kImageSize> all() { return bytes_; }
    std::span<const std::uint8_t, kImageSize> all() const { return bytes_; }

    void fill(std::size_t offset, std::size_t length, std::uint8_t value) {
        std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), length, value);
    }
    void write(std::size_t offset, std::span<const std::uint8_t> data) {
        std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    }

    bool operator==(const MemoryImage&) const = default;

private:
    std::array<std::uint8_t, kImageSize> bytes_;
};

}  // namespace kestra
