// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One undoable step of an editor that works on the memory image directly (a settings dialog,
// Channel Edit, a batch, an import): the bytes it changed. The edit is already in the image when
// the command is pushed; undo writes the old bytes back and redo the new ones, and after either
// the owner refreshes what shows the image (the grid, when channel records changed).

#include <QUndoCommand>

#include <functional>

#include "model/image_patch.hpp"

namespace kestra {

class ImageEditCommand : public QUndoCommand {
public:
    // afterChange runs after every undo and every redo but the first (the edit is already
    // applied when the command is pushed).
    ImageEditCommand(const QString& text, ImagePatch patch, MemoryImage& image,
                     std::function<void(const ImagePatch&)> afterChange,
                     QUndoCommand* parent = nullptr);

    void undo() override;
    void redo() override;

    const ImagePatch& patch() const { return patch_; }

private:
    ImagePatch patch_;
    MemoryImage& image_;
    std::function<void(const ImagePatch&)> afterChange_;
    bool alreadyApplied_ = true;
};

}  // namespace kestra
