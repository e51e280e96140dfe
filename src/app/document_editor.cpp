// SPDX-License-Identifier: GPL-3.0-or-later
// The document's one write door and the undo commands it records.

#include "app/document_editor.hpp"

#include <QUndoCommand>
#include <QUndoStack>

#include <chrono>
#include <utility>

#include "channels/channel_document.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/program_view.hpp"
#include "model/channel_record.hpp"
#include "model/image_map.hpp"
#include "model/image_patch.hpp"

namespace kestra {

namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// "Edit A 001 Rx Freq": the row and column the user committed, for the Edit menu's texts.
QString CellEditText(const EditResult& edit) {
    int record = 0;
    Column column = Column::RxFreq;
    if (!edit.cells.empty()) {
        record = edit.cells.front().record;
        column = edit.cells.front().column;
    } else if (edit.record) {
        record = edit.record->record;
    }
    return QStringLiteral("Edit %1 %2").arg(Latin1(RowLabel(record)), Latin1(ColumnHeader(column)));
}

// One committed grid cell. The table's commit rules have applied it already (the first redo,
// from QUndoStack::push, does nothing); undo restores exactly the cells and record bytes the
// commit reported, redo puts the edit back.
class CellEditCommand final : public QUndoCommand {
public:
    CellEditCommand(ChannelGridModel& model, EditResult edit)
        : QUndoCommand(CellEditText(edit)), model_(model), edit_(std::move(edit)) {}

    void undo() override { model_.RevertEdit(edit_); }
    void redo() override {
        if (std::exchange(alreadyApplied_, false)) {
            return;
        }
        model_.ReapplyEdit(edit_);
    }

private:
    ChannelGridModel& model_;
    EditResult edit_;
    bool alreadyApplied_ = true;
};

// One edit of the image: the bytes it changed. The edit is in the image when the command is
// pushed; undo writes the old bytes back and redo the new ones, and after either the grid is
// refilled when channel records changed.
class ImageEditCommand final : public QUndoCommand {
public:
    ImageEditCommand(const QString& text, ImagePatch patch, MemoryImage& image,
                     std::function<void(const ImagePatch&)> afterChange)
        : QUndoCommand(text),
          patch_(std::move(patch)),
          image_(image),
          afterChange_(std::move(afterChange)) {}

    void undo() override {
        patch_.Revert(image_);
        afterChange_(patch_);
    }
    void redo() override {
        if (std::exchange(alreadyApplied_, false)) {
            return;
        }
        patch_.Apply(image_);
        afterChange_(patch_);
    }

private:
    ImagePatch patch_;
    MemoryImage& image_;
    std::function<void(const ImagePatch&)> afterChange_;
    bool alreadyApplied_ = true;
};

bool TouchesChannelRecords(const ImagePatch& patch) {
    return patch.Touches(map::kRecordBase, RecordOffset(kRecordCount));
}

}  // namespace

DocumentEditor::DocumentEditor(ChannelDocument& document, QUndoStack& undoStack,
                               Messenger& messenger, QObject* parent)
    : QObject(parent), document_(document), undoStack_(undoStack), messenger_(messenger) {}

void DocumentEditor::AttachView(CProgramView* view) {
    view_ = view;
    connect(view_->gridModel(), &ChannelGridModel::cellsCommitted, this,
            &DocumentEditor::RecordCellEdit);
}

void DocumentEditor::RecordCellEdit(const EditResult& edit) {
    // The stack owns its commands.
    undoStack_.push(new CellEditCommand(*view_->gridModel(), edit));
}

bool DocumentEditor::EditImage(const QString& caption, const std::function<void()>& edit) {
    // A cell still being typed into is its own step, before this one; then cells the records do
    // not have yet go into them (with the summary areas every store derives), so an editor of
    // records starts from what the grid shows and a refill after it loses no typed cell.
    view_->CommitOpenEditor();
    if (view_->gridModel()->HasUnstoredEdits()) {
        view_->StoreGridToImage();
    }
    const MemoryImage before = document_.image();
    edit();
    ImagePatch patch = ImagePatch::Between(before, document_.image());
    if (patch.empty()) {
        return false;
    }
    const bool records = TouchesChannelRecords(patch);
    undoStack_.push(new ImageEditCommand(caption, std::move(patch), document_.image(),
                                         [this](const ImagePatch& changed) {
                                             if (TouchesChannelRecords(changed)) {
                                                 view_->FillGridFromImage();
                                             }
                                         }));
    if (records) {
        view_->FillGridFromImage();
    }
    return true;
}

void DocumentEditor::AdoptRadioImage(const MemoryImage& image) {
    document_.ReplaceImage(image);
    view_->ShowDocument();
    undoStack_.clear();
    KeepTransferBackup(BackupKind::Read);
    emit radioImageAdopted();
}

void DocumentEditor::KeepTransferBackup(BackupKind kind) {
    const BackupResult kept =
        KeepBackup(backupFolder_, document_.image(), kind, std::chrono::system_clock::now());
    std::string text;
    if (!kept.ok()) {
        const std::string what(BackupKindText(kind));
        text = "No backup of this " + what + " was kept: " + kept.error + " The " + what +
               " itself is not affected.";
    }
    for (const std::string& warning : kept.warnings) {
        text += (text.empty() ? "" : "\n") + warning;
    }
    if (!text.empty()) {
        messenger_.Show(text);
    }
}

}  // namespace kestra
