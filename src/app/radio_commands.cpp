// SPDX-License-Identifier: GPL-3.0-or-later
// Read, Write, Initialization, Com Setup and the password gate.

#include "app/radio_commands.hpp"

#include <QPushButton>

#include "channels/ui/channel_grid_view.hpp"

#include "app/document_editor.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/channel_document.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/program_view.hpp"
#include "link/device/cable_check.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "link/transfer_messages.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/channel_record.hpp"
#include "model/program_directory.hpp"
#include "model/settings_file.hpp"
#include "review/image_diff.hpp"
#include "service/ui/password_dialog.hpp"

namespace kestra {

RadioCommands::RadioCommands(AppState& state, Messenger& messenger, DocumentEditor& editor,
                             CProgramView& view, QWidget* dialogParent)
    : QObject(dialogParent),
      state_(state),
      messenger_(messenger),
      editor_(editor),
      view_(view),
      dialogParent_(dialogParent) {
    connect(view.initializationButton(), &QPushButton::clicked, this,
            &RadioCommands::Initialization);
    connect(&view, &CProgramView::passwordRequested, this, &RadioCommands::EnterServiceMode);
}

void RadioCommands::SetSettingsPath(std::filesystem::path path) {
    settingsPath_ = std::move(path);
}

void RadioCommands::SetPortProbe(std::function<std::vector<ComPortStatus>()> probe) {
    portProbe_ = probe ? std::move(probe) : ProbeComPorts;
}

std::filesystem::path RadioCommands::SettingsPath() const {
    return settingsPath_.empty() ? SettingsFilePath(ProgramDirectory()) : settingsPath_;
}

std::optional<CloneResult> RadioCommands::RunTransfer(const ClonePlan& plan) {
    static const LinkFactory realPortsOnly;
    TransferDialog dialog(state_, messenger_, links_ != nullptr ? *links_ : realPortsOnly, plan,
                          dialogParent_);
    dialog.SetSettingsPath(SettingsPath());
    if (plan.direction == TransferDirection::Write) {
        // The image about to be sent is kept once Start is pressed.
        connect(&dialog, &TransferDialog::starting, this,
                [this] { editor_.KeepTransferBackup(BackupKind::Write); });
    }
    emit dialogOpened(&dialog);
    dialog.exec();
    // After the dialog and any message it showed, the keyboard is back in the document window,
    // so Ctrl+R or Ctrl+W works at once.
    if (QWidget* window = view_.window(); window->isVisible()) {
        window->activateWindow();
    }
    view_.grid()->setFocus();
    if (!dialog.succeeded()) {
        return std::nullopt;
    }
    return dialog.result();
}

void RadioCommands::Read() {
    view_.CommitOpenEditor();
    if (mayReplaceDocument_ && !mayReplaceDocument_()) {
        return;
    }
    // A failed or abandoned read leaves the document as it was.
    if (const std::optional<CloneResult> read = RunTransfer(ClonePlan::Read())) {
        editor_.AdoptRadioImage(read->image);
        AnnounceCompleted(true);
    }
}

void RadioCommands::Write() {
    view_.StoreGridToImage();
    if (!ConfirmWrite()) {
        return;
    }
    if (const std::optional<CloneResult> written = RunTransfer(ClonePlan::Write())) {
        view_.document().RememberWrittenImage();
        AnnounceCompleted(false, written->verified);
    }
}

void RadioCommands::Initialization() {
    if (!state_.serviceMode) {
        return;
    }
    view_.StoreGridToImage();
    if (RunTransfer(ClonePlan::Initialization())) {
        view_.document().RememberWrittenImage();
    }
}

void RadioCommands::AnnounceCompleted(bool reading, bool verified) {
    int channels = 0;
    for (int record = 0; record < kRecordCount; ++record) {
        channels += !IsVfoRecord(record) && !view_.table().IsRowEmpty(record) ? 1 : 0;
    }
    emit transferCompleted(QString::fromStdString(
        TransferCompleteText(reading, channels, PortLabel(state_), verified)));
}

bool RadioCommands::ConfirmWrite() {
    const ChannelDocument& document = view_.document();
    const std::optional<MemoryImage>& radio = document.lastRadioImage();
    if (!radio) {
        return true;
    }
    std::vector<ImageSpan> sent;
    for (const CloneRange& range : ClonePlan::Write().ranges) {
        sent.push_back({range.start, range.end});
    }
    WritePreviewDialog preview(DiffImages(*radio, document.image(), sent), dialogParent_);
    return preview.exec() == QDialog::Accepted;
}

void RadioCommands::ComSetup() {
    SettingsFile settings(SettingsPath());
    PortDialog dialog(state_, settings, portProbe_(), DetectSerialPorts(), dialogParent_);
    // "Check..." reaches the demo radio as the transfers do.
    const LinkFactory* links = links_;
    dialog.SetCableCheck([links](const ChosenPort& port) {
        return CheckCable(port, links != nullptr ? *links : LinkFactory());
    });
    dialog.exec();
}

void RadioCommands::EnterServiceMode() {
    PasswordDialog dialog(dialogParent_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    state_.serviceMode = true;
    view_.ShowInitializationButton();
    emit serviceModeEntered();
}

}  // namespace kestra
