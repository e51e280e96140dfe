// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit menu's service dialogs.

#include "app/service_editors.hpp"

#include <QAction>

#include <chrono>

#include "app/document_editor.hpp"
#include "app/main_window.hpp"
#include "channels/backup_store.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"

namespace kestra {

using Command = CMainFrame::Command;

ServiceEditors::ServiceEditors(CMainFrame& frame, DocumentEditor& editor, AppState& state,
                               Messenger& messenger, const LinkFactory* links)
    : QObject(&frame),
      frame_(frame),
      editor_(editor),
      state_(state),
      messenger_(messenger),
      links_(links) {
    connect(frame.action(Command::ParamAdjust), &QAction::triggered, this,
            &ServiceEditors::ParameterAdjust);
    connect(frame.action(Command::DtmfInitialization), &QAction::triggered, this,
            &ServiceEditors::DtmfInitialization);
    connect(frame.action(Command::SqlAdjust), &QAction::triggered, this,
            &ServiceEditors::SqlAdjust);
    connect(frame.action(Command::RadioInformation), &QAction::triggered, this,
            &ServiceEditors::RadioInformation);

    frame.action(Command::RadioInformation)->setEnabled(true);
    EnableServiceItems();
}

void ServiceEditors::EnableServiceItems() {
    for (const Command command :
         {Command::ParamAdjust, Command::DtmfInitialization, Command::SqlAdjust}) {
        frame_.action(command)->setEnabled(state_.serviceMode);
    }
}

template <typename Dialog>
void ServiceEditors::Open(const QString& undoText) {
    // The radio's values that a service Write replaces go into the backup folder first; a
    // Write whose backup cannot be kept sends nothing.
    ServiceBackupStore keep = [folder = editor_.backupFolder()](const std::string& dialog,
                                                                const MemoryImage& previous) {
        return KeepBackup(folder, previous, BackupKind::Service, std::chrono::system_clock::now(),
                          kBackupsKept, dialog)
            .error;
    };
    editor_.EditImage(undoText, [this, &keep] {
        Dialog dialog(ServiceContext{state_, messenger_, links_, keep}, &frame_);
        emit dialogOpened(&dialog);
        dialog.exec();
    });
}

void ServiceEditors::ParameterAdjust() {
    // The menu items are the guard; they exist only in service mode.
    if (state_.serviceMode) {
        Open<ParameterAdjustDialog>(QStringLiteral("Parameter Adjust"));
    }
}

void ServiceEditors::DtmfInitialization() {
    if (state_.serviceMode) {
        Open<DtmfInitializationDialog>(QStringLiteral("DTMF Initialization"));
    }
}

void ServiceEditors::SqlAdjust() {
    if (state_.serviceMode) {
        Open<SqlAdjustDialog>(QStringLiteral("Sql Adjust"));
    }
}

void ServiceEditors::RadioInformation() {
    Open<RadioInformationDialog>(QStringLiteral("Radio Information"));
}

}  // namespace kestra
