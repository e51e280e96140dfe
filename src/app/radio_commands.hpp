// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands that move the document to and from the radio, and the ones around them:
// Program, Read and Write; the view's "Initialization" button (service mode); Setup, Com Setup
// (the "Port" dialog); and the service password gate (Ctrl+F11 in the document window).
//
// Each transfer runs in the transfer dialog, which is given the port and a copy of the image
// and returns what it read. A read that went through is handed to the document's editor
// (AdoptRadioImage), which alone puts it into the document. A write first stores the grid,
// shows what it changes on the radio since this document last met it (with Write and Cancel),
// keeps a backup of the image once Start is pressed, and remembers the written image. The
// status bar hears of every transfer that went through.

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <vector>

#include "link/clone_session.hpp"
#include "link/device/port_probe.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QWidget;

namespace kestra {

class CProgramView;
class DocumentEditor;
class LinkFactory;
class TransferDialog;

class RadioCommands : public QObject {
    Q_OBJECT
public:
    // dialogParent: the window the dialogs are centred on. Connects the view's
    // "Initialization" button and its password request.
    RadioCommands(AppState& state, Messenger& messenger, DocumentEditor& editor, CProgramView& view,
                  QWidget* dialogParent);

    // How transfers reach the radio (null: real serial ports only, "demo" then fails to open).
    void SetLinkFactory(const LinkFactory* links) { links_ = links; }
    const LinkFactory* linkFactory() const { return links_; }
    // The Program.ini that Com Setup and "Verify after write" use (default: the program
    // directory's).
    void SetSettingsPath(std::filesystem::path path);
    // What Com Setup shows about COM1-COM16 (default: ProbeComPorts, opening each port).
    void SetPortProbe(std::function<std::vector<ComPortStatus>()> probe);
    // Asked before a read replaces the document (the save question); false stops the read.
    void SetReadGuard(std::function<bool()> mayReplaceDocument) {
        mayReplaceDocument_ = std::move(mayReplaceDocument);
    }

public slots:
    void Read();              // Program, Read (Ctrl+R)
    void Write();             // Program, Write (Ctrl+W)
    void Initialization();    // the view's "Initialization" button (service mode only)
    void ComSetup();          // Setup, Com Setup: the "Port" dialog
    void EnterServiceMode();  // Ctrl+F11: the "Password" dialog

signals:
    // A transfer dialog is about to run modally (hosts and tests can watch it).
    void dialogOpened(TransferDialog* dialog);
    // The password was accepted (first time or again).
    void serviceModeEntered();
    // A read or write went through: "Read complete: 42 channels from COM3 (/dev/ttyUSB2)".
    void transferCompleted(const QString& statusText);

private:
    // Runs the plan in the transfer dialog; the result of a run that went through, or nothing.
    std::optional<CloneResult> RunTransfer(const ClonePlan& plan);
    // Before a write: what it changes on the radio since the last read or write in this
    // document, with Write and Cancel. True to go on (also when there is nothing to compare).
    bool ConfirmWrite();
    // Says that a transfer went through, with the channels it moved and the port.
    void AnnounceCompleted(bool reading, bool verified = false);
    std::filesystem::path SettingsPath() const;

    AppState& state_;
    Messenger& messenger_;
    DocumentEditor& editor_;
    CProgramView& view_;
    QWidget* dialogParent_;
    const LinkFactory* links_ = nullptr;
    std::filesystem::path settingsPath_;
    std::function<std::vector<ComPortStatus>()> portProbe_ = ProbeComPorts;
    std::function<bool()> mayReplaceDocument_;
};

}  // namespace kestra
