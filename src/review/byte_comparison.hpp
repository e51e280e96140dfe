// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of one comparison of two images: which bits differ (only inside the spans a write
// sends, when it gives them) and which of them a line of the comparison has already explained.
// Each part of the comparison explains the bits its table owns; what is left at the end is shown
// as bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/field_layout.hpp"
#include "model/memory_image.hpp"
#include "review/image_diff.hpp"

namespace kestra {

class ByteComparison {
public:
    ByteComparison(const MemoryImage& before, const MemoryImage& after,
                   std::span<const ImageSpan> spans);

    // Whether any counted bit of [begin, end) differs, explained or not.
    bool AnyDiffers(std::size_t begin, std::size_t end) const;
    // Whether any of these bits differs and is not explained yet.
    bool AnyUnexplained(std::span<const ImageBits> bits) const;
    void Explain(std::size_t begin, std::size_t end);
    void Explain(std::span<const ImageBits> bits);

    // The bytes of [begin, end) with unexplained differing bits, as runs split wherever
    // areaOf(offset) changes; each run is named by that area. All of them count as explained.
    std::vector<ByteDifference> Runs(std::size_t begin, std::size_t end,
                                     const std::function<std::string(std::size_t)>& areaOf);

private:
    bool Unexplained(std::size_t offset) const {
        return (differs_[offset] & ~explained_[offset]) != 0;
    }

    const MemoryImage& before_;
    const MemoryImage& after_;
    std::array<std::uint8_t, kImageSize> differs_{};
    std::array<std::uint8_t, kImageSize> explained_{};
};

}  // namespace kestra
