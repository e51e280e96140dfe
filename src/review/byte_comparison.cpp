// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/byte_comparison.hpp"

namespace kestra {

ByteComparison::ByteComparison(const MemoryImage& before, const MemoryImage& after,
                               std::span<const ImageSpan> spans)
    : before_(before), after_(after) {
    for (std::size_t i = 0; i < kImageSize; ++i) {
        bool counted = spans.empty();
        for (const ImageSpan& span : spans) {
            counted = counted || (i >= span.begin && i < span.end);
        }
        differs_[i] = counted ? static_cast<std::uint8_t>(before[i] ^ after[i]) : 0;
    }
}

bool ByteComparison::AnyDiffers(std::size_t begin, std::size_t end) const {
    for (std::size_t i = begin; i < end; ++i) {
        if (differs_[i] != 0) {
            return true;
        }
    }
    return false;
}

bool ByteComparison::AnyUnexplained(std::span<const ImageBits> bits) const {
    for (const ImageBits& bit : bits) {
        if ((differs_[bit.offset] & ~explained_[bit.offset] & bit.mask) != 0) {
            return true;
        }
    }
    return false;
}

void ByteComparison::Explain(std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        explained_[i] = 0xFF;
    }
}

void ByteComparison::Explain(std::span<const ImageBits> bits) {
    for (const ImageBits& bit : bits) {
        explained_[bit.offset] |= bit.mask;
    }
}

std::vector<ByteDifference> ByteComparison::Runs(
    std::size_t begin, std::size_t end, const std::function<std::string(std::size_t)>& areaOf) {
    std::vector<ByteDifference> runs;
    std::size_t i = begin;
    while (i < end) {
        if (!Unexplained(i)) {
            ++i;
            continue;
        }
        ByteDifference run{i, i, areaOf(i), {}, {}};
        while (i < end && Unexplained(i) && areaOf(i) == run.area) {
            run.before.push_back(before_[i]);
            run.after.push_back(after_[i]);
            explained_[i++] = 0xFF;
        }
        run.end = i;
        runs.push_back(std::move(run));
    }
    return runs;
}

}  // namespace kestra
