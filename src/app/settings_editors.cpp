// SPDX-License-Identifier: GPL-3.0-or-later
// The settings editors behind the Edit menu and the navigation tree.

#include "app/settings_editors.hpp"

#include <QAction>

#include "app/document_editor.hpp"
#include "app/main_window.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"

namespace kestra {

using Command = CMainFrame::Command;

SettingsEditors::SettingsEditors(CMainFrame& frame, DocumentEditor& editor, AppState& state)
    : QObject(&frame), frame_(frame), editor_(editor), state_(state) {
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
    editor_.EditImage(QStringLiteral("Optional Features"), [this] {
        OptionalFeaturesDialog dialog(state_.image, &frame_);
        dialog.exec();
    });
}

void SettingsEditors::OpenDtmf() {
    editor_.EditImage(QStringLiteral("DTMF"), [this] {
        DtmfDialog dialog(state_.image, state_.autoDialCallId, &frame_);
        dialog.exec();
    });
}

void SettingsEditors::OpenRadio() {
    editor_.EditImage(QStringLiteral("Radio"), [this] {
        RadioDialog dialog(state_.image, &frame_);
        dialog.exec();
    });
}

}  // namespace kestra
