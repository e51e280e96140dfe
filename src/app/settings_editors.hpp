// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens the radio settings editors ("Optional Features", "DTMF" and "Radio") from the Edit menu
// and the navigation tree. Each dialog works on the image directly, run through the document's
// editor: an opening that changed a byte of the image becomes one undoable step and marks the
// document modified, one that changed nothing leaves the document as it was.

#include <QObject>

namespace kestra {

class CMainFrame;
class DocumentEditor;
struct AppState;

class SettingsEditors : public QObject {
    Q_OBJECT
public:
    // Enables the frame's three actions and connects them.
    SettingsEditors(CMainFrame& frame, DocumentEditor& editor, AppState& state);

    void OpenOptionalFeatures();
    void OpenDtmf();
    void OpenRadio();

private:
    CMainFrame& frame_;
    DocumentEditor& editor_;
    AppState& state_;
};

}  // namespace kestra
