// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document: what the program has open, and the one place that decides how it is opened,
// created, saved and replaced by a read from the radio. It works on the program's one memory
// image and section limits (handed in by reference, never copied into a second live image) and
// owns what belongs to them: the channel grid's working copy, the radio model whose block every
// save and write carries, and the image last read from or written to a radio.
//
// The desktop program (its document controller, the grid view, the "Radio" box) and kestra-cli
// go through the same object, so the same file always saves to the same bytes. Undo belongs to
// the desktop program's document controller; this class knows nothing of it.
//
// The grid mirrors the image after every operation here: the constructor, New, Open and
// ReplaceImage decode it, StoreGridToImage encodes it back.

#include <filesystem>
#include <optional>

#include "channels/channel_table.hpp"
#include "model/document_file.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

class ChannelDocument {
public:
    // The document of the image as it is now: its limits and grid decoded, the model its block
    // names (the start-up model "6120E" when it names none). image and limits must outlive it.
    ChannelDocument(MemoryImage& image, SectionLimits& limits);
    ChannelDocument(const ChannelDocument&) = delete;
    ChannelDocument& operator=(const ChannelDocument&) = delete;

    MemoryImage& image() { return image_; }
    const MemoryImage& image() const { return image_; }
    const SectionLimits& limits() const { return limits_; }
    ChannelTable& table() { return table_; }
    const ChannelTable& table() const { return table_; }

    // The radio model (index into kModelNames) whose block the next store writes.
    int modelIndex() const { return modelIndex_; }
    // The user picked a model; an index outside kModelNames changes nothing. Returns whether
    // the model changed.
    bool SetModelIndex(int index);

    // The image as it was last read from a radio or written to one, for comparing what a write
    // would change; nothing before the first transfer. Opening or creating a document keeps it:
    // the radio still holds what it held.
    const std::optional<MemoryImage>& lastRadioImage() const { return lastRadioImage_; }

    // The new-document image (Default.dat from programDir, else the built-in defaults), decoded.
    void New(const std::filesystem::path& programDir);
    // Replaces the image with the file's 16384 bytes and decodes it. A failed open changes
    // nothing at all (image, limits, grid, model) and says why.
    FileResult Open(const std::filesystem::path& path);
    // Stores the grid and writes the image to path atomically (a failed save keeps the old
    // file; the image then holds the stored grid all the same).
    FileResult Save(const std::filesystem::path& path);

    // Decodes the image into the grid: the limits pairs it holds (ReadModelLimits), then the
    // 258 records; the model follows the image's model block when it holds one of the three,
    // else stays as chosen (a document without a block keeps the current model).
    void FillGridFromImage();
    // Encodes the grid into the records, writes the model block and prepares every summary
    // area: what every save, write and print starts with, and what an editor of channel
    // records runs before it takes its copy of the image.
    void StoreGridToImage();

    // After a successful read: adopts the radio's image, decodes it and remembers it as the
    // image last exchanged with the radio.
    void ReplaceImage(const MemoryImage& radioImage);
    // After a successful write: the image as it now is on the radio.
    void RememberWrittenImage() { lastRadioImage_ = image_; }

private:
    MemoryImage& image_;
    SectionLimits& limits_;
    ChannelTable table_;
    int modelIndex_;
    std::optional<MemoryImage> lastRadioImage_;
};

}  // namespace kestra
