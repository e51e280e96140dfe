// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one door through which the desktop program changes the open document. Every editor goes
// through EditImage: a settings, channel or service dialog, an import, a paste, a clear, a
// batch. It commits the cell being typed into, stores the grid into the image when it holds
// cells the records do not have yet (so grid and records agree), takes a snapshot, runs the edit,
// and records what changed as one undoable step (none when no byte changed); when channel records
// changed the grid is refilled from the image, after the edit and after every undo and redo of it.
// A typed grid cell becomes its own undo step here too. A successful Read hands its image to
// AdoptRadioImage. Nothing else in the program pushes onto the document's undo stack.
//
// The undo stack's clean state is the document's saved state, so every recorded step marks the
// document modified; the document controller owns the stack and listens here for an adopted
// radio image, which detaches the document from its file.

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>

#include "channels/backup_store.hpp"
#include "model/memory_image.hpp"
#include "model/messenger.hpp"

class QUndoStack;

namespace kestra {

class CProgramView;
class ChannelDocument;
struct EditResult;

class DocumentEditor : public QObject {
    Q_OBJECT
public:
    // document and undoStack must outlive the editor. messenger says when a backup could not
    // be kept.
    DocumentEditor(ChannelDocument& document, QUndoStack& undoStack, Messenger& messenger,
                   QObject* parent = nullptr);

    // The view whose grid shows the document: its cell commits become undo steps, and its grid
    // is stored and refilled around edits. Set once, before any edit.
    void AttachView(CProgramView* view);
    // Where the backups of reads and writes go (default: BackupDirectory()).
    void SetBackupFolder(std::filesystem::path folder) { backupFolder_ = std::move(folder); }
    const std::filesystem::path& backupFolder() const { return backupFolder_; }

    ChannelDocument& document() const { return document_; }
    QUndoStack& undoStack() const { return undoStack_; }

    // Runs edit (which changes the document's image directly, e.g. by running a dialog on it)
    // as one undoable step named caption. Returns whether a step was recorded.
    bool EditImage(const QString& caption, const std::function<void()>& edit);

    // Takes the image of a read that went through: the document holds it and remembers it as
    // the radio's, the grid shows it, the undo history is cleared (its steps would write old
    // texts into the radio's data) and a backup of it is kept.
    void AdoptRadioImage(const MemoryImage& image);

    // Keeps the document's image as a backup of a transfer; a failure is shown and never stops
    // the transfer.
    void KeepTransferBackup(BackupKind kind);

signals:
    // A radio's image was adopted: it is in no file yet.
    void radioImageAdopted();

private:
    void RecordCellEdit(const EditResult& edit);

    ChannelDocument& document_;
    QUndoStack& undoStack_;
    Messenger& messenger_;
    CProgramView* view_ = nullptr;
    std::filesystem::path backupFolder_ = BackupDirectory();
};

}  // namespace kestra
