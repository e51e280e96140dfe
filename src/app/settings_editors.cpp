// SPDX-License-Identifier: GPL-3.0-or-later
// The settings editors behind the Edit menu and the navigation tree.

#include "app/settings_editors.hpp"

#include <QAction>

#include "app/main_window.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"

namespace kestra {

using Command = CMainFrame::Command;

SettingsEditors::SettingsEditors(CMainFrame& frame, AppState& state)
    : QObject(&frame), frame_(frame), state_(state) {
    const std::pair<Command, void (SettingsEditors::*)()> editors[] = {
        {Command::OptionalFeatures, &SettingsEditors::OpenOptionalFeatures},
        {Command::Dtmf, &SettingsEditors::OpenDtmf},
        {Command::Radio, &SettingsEditors::OpenRadio}};
    for (const auto& [command, open] : editors) {
        QAction* action = frame_.action(command);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, open);
    }
}

void SettingsEditors::OpenOptionalFeatures() {
    EditImage(QStringLiteral("Optional Features"), [this] {
        OptionalFeaturesDialog dialog(state_.image, &frame_);
        dialog.exec();
    });
}

void SettingsEditors::OpenDtmf() {
    EditImage(QStringLiteral("DTMF"), [this] {
        DtmfDialog dialog(state_.image, state_.autoDialCallId, &frame_);
        dialog.exec();
    });
}

void SettingsEditors::OpenRadio() {
    EditImage(QStringLiteral("Radio"), [this] {
        RadioDialog dialog(state_.image, &frame_);
        dialog.exec();
    });
}

void SettingsEditors::EditImage(const QString& caption, const std::function<void()>& runDialog) {
    CProgramView* view = frame_.view();
    // A cell still being typed into is its own step, before this one.
    view->grid()->CommitOpenEditor();
    const MemoryImage before = state_.image;
    runDialog();
    view->RecordImageEdit(caption, before);
}

}  // namespace kestra
