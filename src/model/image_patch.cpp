// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/image_patch.hpp"

namespace kestra {

ImagePatch ImagePatch::Between(const MemoryImage& before, const MemoryImage& after) {
    ImagePatch patch;
    std::size_t offset = 0;
    while (offset < kImageSize) {
        if (before[offset] == after[offset]) {
            ++offset;
            continue;
        }
        Run run;
        run.offset = offset;
        while (offset < kImageSize && before[offset] != after[offset]) {
            run.before.push_back(before[offset]);
            run.after.push_back(after[offset]);
            ++offset;
        }
        patch.runs_.push_back(std::move(run));
    }
    return patch;
}

std::size_t ImagePatch::size() const {
    std::size_t count = 0;
    for (const Run& run : runs_) {
        count += run.after.size();
    }
    return count;
}

bool ImagePatch::Touches(std::size_t begin, std::size_t end) const {
    for (const Run& run : runs_) {
        if (run.offset < end && run.offset + run.after.size() > begin) {
            return true;
        }
    }
    return false;
}

void ImagePatch::Apply(MemoryImage& image) const {
    for (const Run& run : runs_) {
        image.write(run.offset, run.after);
    }
}

void ImagePatch::Revert(MemoryImage& image) const {
    for (const Run& run : runs_) {
        image.write(run.offset, run.before);
    }
}

}  // namespace kestra
