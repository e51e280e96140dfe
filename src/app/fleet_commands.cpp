// SPDX-License-Identifier: GPL-3.0-or-later
// Program, "Write to Several Radios...".

#include "app/fleet_commands.hpp"

#include "channels/ui/program_view.hpp"
#include "fleet/ui/fleet_dialog.hpp"
#include "link/device/cable_check.hpp"
#include "link/device/link_factory.hpp"
#include "model/program_directory.hpp"
#include "model/settings_file.hpp"

namespace kestra {

FleetCommands::FleetCommands(AppState& state, Messenger& messenger, CProgramView& view,
                             QWidget* dialogParent)
    : QObject(dialogParent),
      state_(state),
      messenger_(messenger),
      view_(view),
      dialogParent_(dialogParent) {}

void FleetCommands::SetPortProbe(std::function<std::vector<ComPortStatus>()> probe,
                                 std::function<std::vector<DetectedSerialPort>()> detect) {
    portProbe_ = probe ? std::move(probe) : ProbeComPorts;
    detect_ = detect ? std::move(detect) : DetectSerialPorts;
}

bool FleetCommands::VerifyPreset() const {
    const std::filesystem::path path =
        settingsPath_.empty() ? SettingsFilePath(ProgramDirectory()) : settingsPath_;
    std::error_code ec;
    // Reading must not create the file.
    if (!std::filesystem::exists(path, ec)) {
        return false;
    }
    return SettingsFile(path).GetInt("Setup", "VerifyAfterWrite", 0) != 0;
}

void FleetCommands::WriteToSeveralRadios() {
    // Every radio gets what Program, Write would send: the grid encoded first.
    view_.StoreGridToImage();
    FleetDialog::Setup setup;
    setup.image = state_.image;
    setup.documentName = documentName_ ? documentName_().toStdString() : std::string();
    setup.ports = portProbe_();
    setup.detected = detect_();
    setup.demoRadio = links_ != nullptr && links_->demoRadio() != nullptr;
    setup.lines = lines_ ? lines_ : LinesThrough(links_);
    const LinkFactory* links = links_;
    setup.check = [links](const ChosenPort& port) {
        return CheckCable(port, links != nullptr ? *links : LinkFactory());
    };
    setup.verify = VerifyPreset();
    FleetDialog dialog(state_, messenger_, std::move(setup), dialogParent_);
    emit dialogOpened(&dialog);
    dialog.exec();
}

}  // namespace kestra
