// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel view's three transfer commands. Read shows the transfer dialog and lets the grid
// decode the image only when the transfer succeeded; Write and Initialization first let the grid
// encode itself into the image (with every summary area), then show the dialog. The grid is
// reached through two callbacks, so the flows do not depend on the view's widgets.

#include <QObject>

#include <filesystem>
#include <functional>

#include "link/clone_session.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QWidget;

namespace kestra {

class LinkFactory;
class TransferDialog;

class TransferController : public QObject {
    Q_OBJECT
public:
    struct GridHooks {
        std::function<void()> storeGridToImage;
        std::function<void()> fillGridFromImage;
        // A write or initialization is about to send the image (its Start was pressed).
        std::function<void()> beforeSending;
    };

    // dialogParent: the window the modal dialog is centred on.
    TransferController(AppState& state, Messenger& messenger, const LinkFactory* links,
                       GridHooks hooks, QWidget* dialogParent);

    void SetLinkFactory(const LinkFactory* links) { links_ = links; }
    // The Program.ini that remembers the dialog's "Verify after write" (none: not remembered).
    void SetSettingsPath(std::filesystem::path path) { settingsPath_ = std::move(path); }
    const LinkFactory* linkFactory() const { return links_; }

    // Each returns the transfer's success flag (false when the dialog was left with "Exit").
    bool Read();
    bool Write();
    bool Initialization();

signals:
    // The dialog is about to run modally (hosts and tests can watch it).
    void dialogOpened(TransferDialog* dialog);

private:
    bool Run(const ClonePlan& plan);

    AppState& state_;
    Messenger& messenger_;
    const LinkFactory* links_;
    GridHooks hooks_;
    QWidget* dialogParent_;
    std::filesystem::path settingsPath_;
};

}  // namespace kestra
