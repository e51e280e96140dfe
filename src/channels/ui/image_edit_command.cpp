// SPDX-License-Identifier: GPL-3.0-or-later
// Undo command of the editors that change the image directly.

#include "channels/ui/image_edit_command.hpp"

namespace kestra {

ImageEditCommand::ImageEditCommand(const QString& text, ImagePatch patch, MemoryImage& image,
                                   std::function<void(const ImagePatch&)> afterChange,
                                   QUndoCommand* parent)
    : QUndoCommand(text, parent),
      patch_(std::move(patch)),
      image_(image),
      afterChange_(std::move(afterChange)) {}

void ImageEditCommand::undo() {
    patch_.Revert(image_);
    if (afterChange_) {
        afterChange_(patch_);
    }
}

void ImageEditCommand::redo() {
    if (alreadyApplied_) {
        alreadyApplied_ = false;
        return;
    }
    patch_.Apply(image_);
    if (afterChange_) {
        afterChange_(patch_);
    }
}

}  // namespace kestra
