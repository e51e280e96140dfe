// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CProgramView: the document window's form. It shows the document's 258 channel slots in the
// grid (a QTableView over the document's ChannelTable), edits cells in place through the core
// commit rules (each edit an undoable command on the document's undo stack), mirrors the
// document's radio model in the "Radio" box, and hosts the commands that move the image to and
// from the radio: Read, Write, Initialization, Com Setup and the password gate. In the grid,
// Ctrl+C copies the highlighted rows as CSV text, Ctrl+V pastes such rows from the current row
// on and Delete empties the highlighted rows.
//
// The view owns neither the document nor the undo stack: the document controller holds both
// and hands them in. The main window creates one view per document window and routes the menu
// commands to it. Hosts that offer the demo radio hand the view a LinkFactory; hosts that know
// where Program.ini lives hand it the path (otherwise the program directory's settings file is
// used).

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "link/device/port_probe.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QComboBox;
class QPushButton;
class QUndoStack;

namespace kestra {

class ChannelDocument;
class ChannelGridView;
class ChannelInterchange;
class ChannelTable;
class LinkFactory;
class TransferController;

class CProgramView : public QWidget {
    Q_OBJECT
public:
    // document and undoStack must outlive the view.
    CProgramView(AppState& state, ChannelDocument& document, QUndoStack& undoStack,
                 Messenger& messenger, QWidget* parent = nullptr);
    ~CProgramView() override;

    // Decode the image into the grid and show it (after an editor changed channel records).
    void FillGridFromImage();
    // The document was replaced or decoded anew (New, Open): show its grid and its model. An
    // open cell editor is dropped; its text belonged to the old contents.
    void ShowDocument();
    // Commit open editors, encode the grid into the image and prepare the image (before every
    // save, write and print).
    void StoreGridToImage();
    // Commits and closes the cell editor being typed into, if any.
    void CommitOpenEditor();

    ChannelDocument& document() const;
    // The document's undo stack: every grid edit is a command on it.
    QUndoStack* undoStack() const;
    const ChannelTable& table() const;

    // How transfers reach the radio (null: real serial ports only, "demo" then fails to open).
    void SetLinkFactory(const LinkFactory* links);
    // Where Com Setup stores the port choice.
    void SetSettingsPath(std::filesystem::path path);
    // What Com Setup shows about COM1-COM16 (default: ProbeComPorts, opening each port).
    void SetPortProbe(std::function<std::vector<ComPortStatus>()> probe);
    // Where the automatic backups of reads and writes go (default: BackupDirectory()).
    void SetBackupFolder(std::filesystem::path folder);

    // An editor changed the image directly since before was taken (a settings dialog, Channel
    // Edit, a batch): the difference becomes one undoable step named text, and the document
    // counts as modified. An edit that changed no byte records nothing; returns whether a step
    // was recorded. When channel records changed, undo and redo refill the grid; an editor of
    // channel records therefore starts after StoreGridToImage, so grid and image agree.
    bool RecordImageEdit(const QString& text, const MemoryImage& before);

    // The document's radio model, shown in the "Radio" box: the model block every store writes.
    int modelIndex() const;

    ChannelGridView* grid() const { return grid_; }
    QComboBox* modelCombo() const { return modelCombo_; }
    QPushButton* batchGenerateButton() const { return batchGenerate_; }
    QPushButton* channelEditButton() const { return channelEdit_; }
    QPushButton* initializationButton() const { return initialization_; }
    TransferController* transferController() const { return transfers_; }
    // Import and export of CSV lists, and the grid's copy, paste and delete of rows.
    ChannelInterchange* interchange() const { return interchange_; }

public slots:
    void Read();              // Program, Read (Ctrl+R); a backup after a read that went through
    void Write();             // Program, Write (Ctrl+W): the summary, a backup, the transfer
    void Initialization();    // the view's "Initialization" button (service mode only)
    void ComSetup();          // Setup, Com Setup: the "Port" dialog
    void EnterServiceMode();  // Ctrl+F11: the "Password" dialog
    // The "Channel Edit" button: the dialog on the grid's current row; all it changed is one
    // undoable step, and the grid is refilled with the focus back in it.
    void ChannelEdit();
    // The "Batch Generate" button: each Apply of the dialog is one undoable step and refills
    // the grid at once.
    void BatchGenerate();

signals:
    // The password was accepted (first time or again); the main window appends the service
    // items to the Edit menu once.
    void serviceModeEntered();
    // The image changed through a transfer (a successful read filled the grid).
    void imageReplaced();
    // The user picked another radio model: the next save writes its model block.
    void modelChosen();
    // A read or write went through: "Read complete: 42 channels from COM3 (/dev/ttyUSB2)".
    void transferCompleted(const QString& statusText);

private:
    // The "Radio" box, the buttons and the layout around the grid.
    void BuildForm();
    // The image about to be written or just read, kept in the backup folder. A failure is
    // shown and never stops the transfer.
    void KeepTransferBackup(bool read);
    // Before a write: what it changes on the radio since the last read or write in this
    // document, with Write and Cancel. True to go on (also when there is nothing to compare).
    bool ConfirmWrite();
    // Says that a transfer went through, with the channels it moved and the port.
    void AnnounceCompleted(bool reading);

    struct Private;
    std::unique_ptr<Private> d_;
    // The form's controls, children of the view.
    ChannelGridView* grid_ = nullptr;
    QComboBox* modelCombo_ = nullptr;
    QPushButton* batchGenerate_ = nullptr;
    QPushButton* channelEdit_ = nullptr;
    QPushButton* initialization_ = nullptr;
    TransferController* transfers_ = nullptr;
    ChannelInterchange* interchange_ = nullptr;
};

}  // namespace kestra
