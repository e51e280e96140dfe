// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which serial port the transfers use, and how that choice is made and kept. A choice is a COM
// number (1-16, stored as [Setup] COM), a device path (a pty, a /dev/serial/by-id link; stored
// as [Setup] Device, which overrides COM) or the built-in demo radio.
//
// The rules that keep a user's radio safe:
// - A choice given for one run (the desktop program's or kestra-cli's --port, `make run`) is
//   used for that run only. Program.ini changes only when the user picks a port in the Port
//   dialog.
// - The demo radio is never stored: it lasts for the run that chose it. A "Device=demo" left in
//   Program.ini by an older version is not honoured; the COM key decides, and the next port
//   picked in the Port dialog removes the line.
// - A pick that Program.ini cannot keep still holds for this run, and the caller is told, so
//   the user can act on it instead of meeting the old port at the next start.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/app_state.hpp"

namespace kestra {

class SettingsFile;

struct PortChoice {
    enum class Kind { None, Com, Device, Demo };
    Kind kind = Kind::None;
    int number = 0;      // Com
    std::string device;  // Device

    static PortChoice Com(int n) { return {Kind::Com, n, {}}; }
    static PortChoice Device(std::string path) { return {Kind::Device, 0, std::move(path)}; }
    static PortChoice Demo() { return {Kind::Demo, 0, {}}; }
    bool operator==(const PortChoice&) const = default;
};

// A port named in text (--port, the Port dialog's device path), blanks around it ignored:
// "COMn" or "\\.\COMn" in any letter case is port n, "demo" the demo radio, any other text a
// device path; nothing for an empty text.
PortChoice PortChoiceFromText(std::string_view text);

// Whether the transfers of this run go to the built-in demo radio.
bool IsDemoPort(const AppState& state);

// The port the transfers use, as the user knows it: "COM3 (/dev/ttyUSB2)", a device path, or
// "the demo radio".
std::string PortLabel(const AppState& state);

// Makes the choice the one transfers use from now on (state.portName / state.deviceOverride).
// None changes nothing.
void UsePortChoice(AppState& state, const PortChoice& choice);

// The port at start-up: [Setup] COM (0 when absent), overridden by a stored [Setup] Device
// unless that names the demo radio, both overridden for this run by a port named on the command
// line. settings may be null (no Program.ini: COM0).
void ChoosePortAtStartUp(AppState& state, const SettingsFile* settings,
                         const std::optional<std::string>& commandLinePort);

// What the Port dialog checks when it opens: the demo radio or the device path in use, else the
// current COM port when it can be opened now (available(n)), else nothing.
PortChoice CurrentPortChoice(const AppState& state, const std::function<bool(int)>& available);

// The Port dialog's "OK".
class PortSetup {
public:
    PortSetup(AppState& state, SettingsFile& settings) : state_(state), settings_(settings) {}

    // pickedByUser: the user clicked a choice or typed a path while the dialog was open.
    // Without that nothing changes, so a port that came from the command line for one run stays
    // out of Program.ini. Otherwise the pick is used from now on and stored (a COM port also
    // removes a stored device path), except the demo radio, which is used for this run only.
    // False when Program.ini could not be written: the pick still holds for this run.
    bool Accept(const PortChoice& pick, bool pickedByUser);

    // The message for a failed Accept: what happened and what to do.
    std::string FailureText() const;

private:
    bool Store(const PortChoice& pick);

    AppState& state_;
    SettingsFile& settings_;
    std::string storeError_;  // why the last store failed, as the settings file said
};

}  // namespace kestra
