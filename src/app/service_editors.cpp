// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit menu's service dialogs.

#include "app/service_editors.hpp"

#include <QAction>

#include "app/main_window.hpp"
#include "channels/ui/program_view.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"

namespace kestra {

namespace {

using Command = CMainFrame::Command;

// Everything an editor of the image changed between `before` and now becomes one undoable step
// of the document. The one place that knows where the undo stack lives.
void RecordAsOneEdit(CMainFrame& frame, const QString& text, const MemoryImage& before) {
    frame.view()->RecordImageEdit(text, before);
}

}  // namespace

ServiceEditors::ServiceEditors(CMainFrame& frame, AppState& state, Messenger& messenger,
                               const LinkFactory* links)
    : QObject(&frame), frame_(frame), state_(state), messenger_(messenger), links_(links) {
    connect(frame.action(Command::ParamAdjust), &QAction::triggered, this,
            &ServiceEditors::ParameterAdjust);
    connect(frame.action(Command::DtmfInitialization), &QAction::triggered, this,
            &ServiceEditors::DtmfInitialization);
    connect(frame.action(Command::SqlAdjust), &QAction::triggered, this,
            &ServiceEditors::SqlAdjust);
    connect(frame.action(Command::RadioInformation), &QAction::triggered, this,
            &ServiceEditors::RadioInformation);

    frame.action(Command::RadioInformation)->setEnabled(true);
    auto enableServiceItems = [this] {
        for (const Command command :
             {Command::ParamAdjust, Command::DtmfInitialization, Command::SqlAdjust}) {
            frame_.action(command)->setEnabled(state_.serviceMode);
        }
    };
    connect(frame.view(), &CProgramView::serviceModeEntered, this, enableServiceItems);
    enableServiceItems();
}

template <typename Dialog>
void ServiceEditors::Open(const QString& undoText) {
    const MemoryImage before = state_.image;
    {
        Dialog dialog(ServiceContext{state_, messenger_, links_}, &frame_);
        emit dialogOpened(&dialog);
        dialog.exec();
    }
    RecordAsOneEdit(frame_, undoText, before);
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
