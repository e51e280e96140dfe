// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the four service dialogs share: the modal frame with its caption, their "Read" and
// "Write" transfers (run through the program's one ThreadedTransfer: the dialog keeps
// repainting with its controls disabled and a busy cursor, and a read's ranges go into the
// image only after every block arrived), the rule that a dialog cannot be closed while its
// transfer runs, and the commit that runs however the dialog closes (there is no "OK"/"Cancel"
// distinction: closing always commits).

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <optional>

#include "link/ident_reply.hpp"
#include "link/service_transfer.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QPushButton;

namespace kestra {

class LinkFactory;
class ThreadedTransfer;

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

    // The dialog's transfers (running() tells whether one runs now).
    ThreadedTransfer* transfers() const { return transfer_; }

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

    // Starts the plan's transfer with the image as it is now. When it ends, a read that went
    // through has put exactly the plan's ranges into the image; then done(ok) runs.
    void RunTransfer(const ServiceTransferPlan& plan, std::function<void(bool ok)> done);
    // Starts the identify transfer; done gets the radio's reply, or nothing after the failure
    // message.
    void RunIdentify(std::function<void(const std::optional<IdentReply>&)> done);

    AppState& state_;
    Messenger& messenger_;

private:
    void SetControlsEnabled(bool enabled);

    ThreadedTransfer* transfer_;
    QList<QPointer<QWidget>> disabled_;
};

}  // namespace kestra
