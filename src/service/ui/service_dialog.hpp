// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the four service dialogs share: the modal frame with its caption, their "Read" and
// "Write" transfers (run through the program's one ThreadedTransfer: the dialog keeps
// repainting with its controls disabled and a busy cursor, and a read's ranges go into the
// image only after every block arrived), the rule that a dialog cannot be closed while its
// transfer runs, and the commit that runs however the dialog closes (there is no "OK"/"Cancel"
// distinction: closing always commits).
//
// A "Write" asks first when its values were never read from a radio (No is the default), and
// its transfer reads the radio's present values of the same ranges and has the context keep
// them before anything is written.

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>

#include "link/ident_reply.hpp"
#include "link/service_transfer.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"
#include "service/service_area.hpp"

class QPushButton;

namespace kestra {

class LinkFactory;
class ThreadedTransfer;

// Keeps the radio's values read before a dialog's Write (previous: those values in the write's
// ranges, 0xFF elsewhere) as a backup named after the dialog's caption. Returns why it could
// not, or an empty text. Runs on the transfer's worker thread.
using ServiceBackupStore =
    std::function<std::string(const std::string& dialog, const MemoryImage& previous)>;

// What a service dialog works with.
struct ServiceContext {
    AppState& state;
    Messenger& messenger;
    const LinkFactory* links = nullptr;  // null: real serial ports only
    // Empty: the radio's values are still read before every Write, but not kept anywhere.
    ServiceBackupStore keepBackup = {};
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
    // through has put exactly the plan's ranges into the image; then done(ok) runs. A write
    // backs the radio's values up first.
    void RunTransfer(const ServiceTransferPlan& plan, std::function<void(bool ok)> done);
    // The area's Write of the image as the dialog has committed it: asks first when the values
    // were never read from a radio, and sends nothing unless the answer is "Yes".
    void RunWrite(ServiceArea area);
    // Starts the identify transfer; done gets the radio's reply, or nothing after the failure
    // message.
    void RunIdentify(std::function<void(const std::optional<IdentReply>&)> done);

    AppState& state_;
    Messenger& messenger_;

private:
    void SetControlsEnabled(bool enabled);

    ThreadedTransfer* transfer_;
    ServiceBackupStore keepBackup_;
    QList<QPointer<QWidget>> disabled_;
};

}  // namespace kestra
