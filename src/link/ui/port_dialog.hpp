// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Port" dialog (Setup, Com Setup): which serial port the transfers use. COM1-COM16 are
// radio buttons in four rows of four, each with the device it opens on this system; a port that
// cannot be opened right now is disabled, and the current port is checked only when it opens.
// Two more choices: the built-in demo radio, and any other device path (a pseudo-terminal, a
// /dev/serial/by-id link), for which "OK" waits until a path is typed. "OK" uses the port the
// user picked from now on and stores it in Program.ini ([Setup] COM, [Setup] Device), except
// the demo radio, which lasts for this run; with nothing picked (the port of a --port option
// left as it was) it changes nothing. When Program.ini cannot be written the user is told.
//
// The dialog does not probe the ports itself: it is given the probe's result, so that the
// probe runs where the caller decides (and tests can describe any machine).
//
// "Check..." runs the cable doctor on the port checked in the dialog (the same report as
// `kestra-cli doctor`) on a worker thread, says that it is checking meanwhile, and then shows the
// report. The check only looks: it changes nothing on the system and nothing in Program.ini.

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

#include "link/cable_doctor.hpp"
#include "link/device/port_probe.hpp"
#include "model/app_state.hpp"

class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QThread;

namespace kestra {

class SettingsFile;
struct PortChoice;

class PortDialog : public QDialog {
    Q_OBJECT
public:
    // ports: the status of COM1-COM16 (missing numbers count as unavailable); detected: the
    // system's serial devices, offered as completions of the device path.
    PortDialog(AppState& state, SettingsFile& settings, const std::vector<ComPortStatus>& ports,
               const std::vector<DetectedSerialPort>& detected = {}, QWidget* parent = nullptr);
    ~PortDialog() override;

    // How "Check..." examines a port; it runs on a worker thread. The default is the cable
    // doctor on this machine with real serial ports only.
    using CableCheck = std::function<DoctorReport(const ChosenPort&)>;
    void SetCableCheck(CableCheck check);
    // The port "Check..." examines: the one checked in the dialog right now.
    ChosenPort PortToCheck() const;

    QRadioButton* portButton(int number) const;  // 1-16
    QRadioButton* demoButton() const { return demoButton_; }
    QRadioButton* deviceButton() const { return deviceButton_; }
    QLineEdit* deviceEdit() const { return deviceEdit_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* checkButton() const { return checkButton_; }
    // "Checking ..." while a check runs.
    QLabel* checkStatus() const { return checkStatus_; }

public slots:
    void accept() override;
    // Refused while a check runs (it ends within seconds).
    void reject() override;
    void StartCheck();

signals:
    // A check ended; its report is about to be shown.
    void checkFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGridLayout* CreatePortButtons(QWidget* group, QButtonGroup* buttons,
                                   const std::vector<ComPortStatus>& ports);
    QHBoxLayout* CreateDeviceRow(QWidget* group, QButtonGroup* buttons,
                                 const std::vector<DetectedSerialPort>& detected);
    void CheckCurrentChoice(const std::vector<ComPortStatus>& ports);
    PortChoice CheckedChoice() const;
    void UpdateOkButton();
    void OnCheckFinished(const DoctorReport& report, const QString& portLabel);

    AppState& state_;
    SettingsFile& settings_;
    std::array<QRadioButton*, 16> portButtons_{};
    QRadioButton* demoButton_;
    QRadioButton* deviceButton_;
    QLineEdit* deviceEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QPushButton* checkButton_;
    QLabel* checkStatus_;
    CableCheck check_;
    QThread* checkThread_ = nullptr;
    bool picked_ = false;
};

}  // namespace kestra
