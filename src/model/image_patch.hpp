// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes one edit changed in the memory image, kept as runs of (offset, bytes before, bytes
// after). An editor that works on the image directly (a settings dialog, Channel Edit, a batch,
// an import) takes a copy of the image before it starts; the difference to the image afterwards
// is its undoable step. Reverting writes back only the changed bytes, so steps that touched
// other parts of the image in between are not disturbed.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/memory_image.hpp"

namespace kestra {

class ImagePatch {
public:
    struct Run {
        std::size_t offset = 0;
        std::vector<std::uint8_t> before;
        std::vector<std::uint8_t> after;
    };

    ImagePatch() = default;
    static ImagePatch Between(const MemoryImage& before, const MemoryImage& after);

    bool empty() const { return runs_.empty(); }
    const std::vector<Run>& runs() const { return runs_; }
    // Number of bytes that differ.
    std::size_t size() const;
    // True when a changed byte lies in [begin, end).
    bool Touches(std::size_t begin, std::size_t end) const;

    // Writes the bytes after the edit, or back the bytes before it.
    void Apply(MemoryImage& image) const;
    void Revert(MemoryImage& image) const;

private:
    std::vector<Run> runs_;
};

}  // namespace kestra
