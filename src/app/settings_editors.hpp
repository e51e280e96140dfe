// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens the radio settings editors ("Optional Features", "DTMF" and "Radio") from the Edit menu
// and the navigation tree. Each dialog works on the image directly; an opening that changed a
// byte of the image becomes one undoable step and marks the document modified, one that
// changed nothing leaves the document as it was.

#include <QObject>

#include <functional>

namespace kestra {

class CMainFrame;
struct AppState;

class SettingsEditors : public QObject {
    Q_OBJECT
public:
    // Enables the frame's three actions and connects them.
    SettingsEditors(CMainFrame& frame, AppState& state);

    void OpenOptionalFeatures();
    void OpenDtmf();
    void OpenRadio();

private:
    // Runs a modal editor of the image and records what it changed as one step named caption.
    void EditImage(const QString& caption, const std::function<void()>& runDialog);

    CMainFrame& frame_;
    AppState& state_;
};

}  // namespace kestra
