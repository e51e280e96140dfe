// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens the service dialogs from the Edit menu: "Param Adjust", "DTMF Initialization" and
// "Sql Adjust", which the menu offers once service mode was entered, and "Radio Information",
// which is always there. Each dialog runs through the document's editor: one that changes the
// image is one undoable step of the document (a service "Read" inside it included) and marks
// the document modified. A service "Write" keeps the radio's values it replaces in the backup
// folder (kind "service", the dialog named) before it sends anything.

#include <QObject>

#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QDialog;

namespace kestra {

class CMainFrame;
class DocumentEditor;
class LinkFactory;

class ServiceEditors : public QObject {
    Q_OBJECT
public:
    // Connects the frame's four actions and enables them: "Radio Information" at once, the
    // three service items when service mode is entered (EnableServiceItems).
    ServiceEditors(CMainFrame& frame, DocumentEditor& editor, AppState& state, Messenger& messenger,
                   const LinkFactory* links);

public slots:
    void ParameterAdjust();
    void DtmfInitialization();
    void SqlAdjust();
    void RadioInformation();
    // Service mode was entered: the three service items work from now on.
    void EnableServiceItems();

signals:
    // A dialog is about to run modally (tests drive it from here).
    void dialogOpened(QDialog* dialog);

private:
    template <typename Dialog>
    void Open(const QString& undoText);

    CMainFrame& frame_;
    DocumentEditor& editor_;
    AppState& state_;
    Messenger& messenger_;
    const LinkFactory* links_;
};

}  // namespace kestra
