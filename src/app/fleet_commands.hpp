// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program, "Write to Several Radios...": prepares the open document as Program, Write does (the
// grid stored into the image with every summary area) and opens the fleet dialog on that image
// with the Com Setup port list, each port's "Check..." and "Verify after write" as Program.ini
// remembers it. The document itself is not changed by writing it to radios.

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <vector>

#include "fleet/fleet_run.hpp"
#include "link/device/port_probe.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QWidget;

namespace kestra {

class CProgramView;
class FleetDialog;
class LinkFactory;

class FleetCommands : public QObject {
    Q_OBJECT
public:
    FleetCommands(AppState& state, Messenger& messenger, CProgramView& view, QWidget* dialogParent);

    // How transfers reach the radios (null: real serial ports only).
    void SetLinkFactory(const LinkFactory* links) { links_ = links; }
    // Each radio's serial line instead of the link factory's (tests give every port a radio).
    void SetLineProvider(LineProvider lines) { lines_ = std::move(lines); }
    // The Program.ini whose [Setup] VerifyAfterWrite presets "Verify after write".
    void SetSettingsPath(std::filesystem::path path) { settingsPath_ = std::move(path); }
    // What the port list shows about COM1-COM16 (default: ProbeComPorts) and the other serial
    // devices (default: DetectSerialPorts).
    void SetPortProbe(std::function<std::vector<ComPortStatus>()> probe,
                      std::function<std::vector<DetectedSerialPort>()> detect = {});
    // The document's name for the report.
    void SetDocumentName(std::function<QString()> name) { documentName_ = std::move(name); }

public slots:
    void WriteToSeveralRadios();

signals:
    // The dialog is about to run modally (hosts and tests can watch it).
    void dialogOpened(FleetDialog* dialog);

private:
    bool VerifyPreset() const;

    AppState& state_;
    Messenger& messenger_;
    CProgramView& view_;
    QWidget* dialogParent_;
    const LinkFactory* links_ = nullptr;
    LineProvider lines_;
    std::filesystem::path settingsPath_;
    std::function<std::vector<ComPortStatus>()> portProbe_ = ProbeComPorts;
    std::function<std::vector<DetectedSerialPort>()> detect_ = DetectSerialPorts;
    std::function<QString()> documentName_;
};

}  // namespace kestra
