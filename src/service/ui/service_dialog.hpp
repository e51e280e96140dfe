// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the four service dialogs share: the modal frame with its caption, the transfer runner
// their "Read" and "Write" buttons use, the rule that a dialog cannot be closed while its
// transfer runs, and the commit that runs however the dialog closes (there is no "OK"/"Cancel"
// distinction: closing always commits).

#include <QDialog>

#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QPushButton;

namespace kestra {

class LinkFactory;
class ServiceTransferRunner;

// What a service dialog works with.
struct ServiceContext {
    AppState& state;
    Messenger& messenger;
    const LinkFactory* links = nullptr;  // null: real serial ports only
};

class ServiceDialog : public QDialog {
    Q_OBJECT
public:
    ServiceDialog(const QString& caption, const ServiceContext& context, QWidget* parent);

    ServiceTransferRunner* transfers() const { return runner_; }

    // Commits the controls into the image, then closes; refused while a transfer runs.
    void done(int result) override;

protected:
    // Controls to image; the dialogs that edit nothing keep the default.
    virtual void Commit() {}
    // Leaves the box that has the keyboard focus, as moving the focus away would.
    void LeaveFocusedBox();
    // A "Read" or "Write" button that Enter in a box does not press.
    QPushButton* MakeButton(const QString& text);
    void closeEvent(QCloseEvent* event) override;

    AppState& state_;
    Messenger& messenger_;

private:
    ServiceTransferRunner* runner_;
};

}  // namespace kestra
