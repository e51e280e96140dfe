// SPDX-License-Identifier: GPL-3.0-or-later
// The document: open, new, save and a read's image, on the program's one memory image.

#include "channels/channel_document.hpp"

#include "channels/image_preparation.hpp"

namespace kestra {

ChannelDocument::ChannelDocument(MemoryImage& image, SectionLimits& limits)
    : image_(image), limits_(limits), modelIndex_(kDefaultModelIndex) {
    FillGridFromImage();
}

bool ChannelDocument::SetModelIndex(int index) {
    if (index < 0 || index >= static_cast<int>(kModelNames.size()) || index == modelIndex_) {
        return false;
    }
    modelIndex_ = index;
    return true;
}

void ChannelDocument::New(const std::filesystem::path& programDir) {
    image_ = NewDocumentImage(programDir);
    FillGridFromImage();
}

FileResult ChannelDocument::Open(const std::filesystem::path& path) {
    // The loader leaves the image untouched on failure, so nothing else needs undoing.
    FileResult result = LoadDocumentFile(path, image_);
    if (result) {
        FillGridFromImage();
    }
    return result;
}

FileResult ChannelDocument::Save(const std::filesystem::path& path) {
    StoreGridToImage();
    return SaveDocumentFile(path, image_);
}

void ChannelDocument::FillGridFromImage() {
    table_.FillGridFromImage(image_, limits_);
    // A document or radio that was saved for another model keeps it: the next save must not
    // quietly write the chosen model's block over it.
    if (const int model = ModelIndexOfImage(image_); model >= 0) {
        modelIndex_ = model;
    }
}

void ChannelDocument::StoreGridToImage() {
    table_.StoreGridToImage(image_, limits_, modelIndex_);
}

void ChannelDocument::ReplaceImage(const MemoryImage& radioImage) {
    if (&radioImage != &image_) {
        image_ = radioImage;
    }
    FillGridFromImage();
    lastRadioImage_ = image_;
}

}  // namespace kestra
