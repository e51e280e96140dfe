// SPDX-License-Identifier: GPL-3.0-or-later
// The Read, Write and Initialization flows of the channel view.

#include "link/ui/transfer_controller.hpp"

#include "link/device/link_factory.hpp"
#include "link/ui/transfer_dialog.hpp"

namespace kestra {

TransferController::TransferController(AppState& state, Messenger& messenger,
                                       const LinkFactory* links, GridHooks hooks,
                                       QWidget* dialogParent)
    : QObject(dialogParent),
      state_(state),
      messenger_(messenger),
      links_(links),
      hooks_(std::move(hooks)),
      dialogParent_(dialogParent) {}

bool TransferController::Read() {
    const bool success = Run(ClonePlan::Read());
    // A failed or abandoned read leaves the grid as it was.
    if (success && hooks_.fillGridFromImage) {
        hooks_.fillGridFromImage();
    }
    return success;
}

bool TransferController::Write() {
    if (hooks_.storeGridToImage) {
        hooks_.storeGridToImage();
    }
    return Run(ClonePlan::Write());
}

bool TransferController::Initialization() {
    if (hooks_.storeGridToImage) {
        hooks_.storeGridToImage();
    }
    return Run(ClonePlan::Initialization());
}

bool TransferController::Run(const ClonePlan& plan) {
    static const LinkFactory realPortsOnly;
    TransferDialog dialog(state_, messenger_, links_ != nullptr ? *links_ : realPortsOnly, plan,
                          dialogParent_);
    dialog.SetSettingsPath(settingsPath_);
    if (plan.direction == TransferDirection::Write && hooks_.beforeSending) {
        connect(&dialog, &TransferDialog::starting, this, [this] { hooks_.beforeSending(); });
    }
    emit dialogOpened(&dialog);
    dialog.exec();
    return dialog.succeeded();
}

}  // namespace kestra
