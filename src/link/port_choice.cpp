// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_choice.hpp"

#include "link/port_names.hpp"
#include "model/ascii.hpp"
#include "model/settings_file.hpp"

namespace kestra {
namespace {

constexpr std::string_view kSetup = "Setup";
constexpr std::string_view kComKey = "COM";
constexpr std::string_view kDeviceKey = "Device";
constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The n of "COMn" or "\\.\COMn" in any letter case (n from 1 to 1000); 0 for anything else.
int ComNumberOf(std::string_view text) {
    if (text.starts_with("\\\\.\\")) {
        text.remove_prefix(4);
    }
    if (text.size() < 4 || !StartsWithIgnoringAsciiCase(text, "COM")) {
        return 0;
    }
    int n = 0;
    for (char c : text.substr(3)) {
        if (!IsAsciiDigit(c) || n > 1000) {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

PortChoice PortChoiceFromText(std::string_view text) {
    text = Trim(text);
    if (text.empty()) {
        return {};
    }
    if (text == kDemoDevice) {
        return PortChoice::Demo();
    }
    if (const int n = ComNumberOf(text); n > 0) {
        return PortChoice::Com(n);
    }
    return PortChoice::Device(std::string(text));
}

bool IsDemoPort(const AppState& state) {
    return state.deviceOverride == kDemoDevice;
}

std::string PortLabel(const AppState& state) {
    if (IsDemoPort(state)) {
        return "the demo radio";
    }
    const std::string device = ResolveDevice(state.portName, state.deviceOverride);
    if (!state.deviceOverride.empty() || device == state.portName) {
        return device;
    }
    return ComPortLabel(PortNumberFromName(state.portName));
}

void UsePortChoice(AppState& state, const PortChoice& choice) {
    switch (choice.kind) {
        case PortChoice::Kind::None:
            return;
        case PortChoice::Kind::Com:
            state.portName = PortNameForNumber(choice.number);
            state.deviceOverride.clear();
            return;
        case PortChoice::Kind::Device:
            state.deviceOverride = choice.device;
            return;
        case PortChoice::Kind::Demo:
            state.deviceOverride = std::string(kDemoDevice);
            return;
    }
}

void ChoosePortAtStartUp(AppState& state, const SettingsFile* settings,
                         const std::optional<std::string>& commandLinePort) {
    state.portName =
        PortNameForNumber(settings != nullptr ? settings->GetInt(kSetup, kComKey, 0) : 0);
    state.deviceOverride.clear();
    if (settings != nullptr) {
        const PortChoice stored = PortChoiceFromText(settings->GetText(kSetup, kDeviceKey));
        // The demo radio lasts one run; a stored one would send every later transfer to it.
        if (stored.kind != PortChoice::Kind::Demo) {
            UsePortChoice(state, stored);
        }
    }
    if (commandLinePort) {
        UsePortChoice(state, PortChoiceFromText(*commandLinePort));
    }
}

PortChoice CurrentPortChoice(const AppState& state, const std::function<bool(int)>& available) {
    if (IsDemoPort(state)) {
        return PortChoice::Demo();
    }
    if (!state.deviceOverride.empty()) {
        return PortChoice::Device(state.deviceOverride);
    }
    // The current port is checked only when it can be opened now.
    const int number = PortNumberFromName(state.portName);
    if (number >= 1 && number <= kPortCount && available && available(number)) {
        return PortChoice::Com(number);
    }
    return {};
}

bool PortSetup::Accept(const PortChoice& pick, bool pickedByUser) {
    if (!pickedByUser || pick.kind == PortChoice::Kind::None) {
        return true;
    }
    UsePortChoice(state_, pick);
    return Store(pick);
}

bool PortSetup::Store(const PortChoice& pick) {
    FileResult stored;
    switch (pick.kind) {
        case PortChoice::Kind::Com:
            stored = settings_.WriteInt(kSetup, kComKey, pick.number);
            // A COM choice replaces a stored device path; a file without one stays as it is.
            if (stored && !settings_.GetText(kSetup, kDeviceKey).empty()) {
                stored = settings_.WriteText(kSetup, kDeviceKey, "");
            }
            break;
        case PortChoice::Kind::Device:
            stored = settings_.WriteText(kSetup, kDeviceKey, pick.device);
            break;
        case PortChoice::Kind::None:
        case PortChoice::Kind::Demo:
            break;
    }
    storeError_ = stored ? std::string() : stored.error;
    return static_cast<bool>(stored);
}

std::string PortSetup::FailureText() const {
    return "The port could not be saved in \"" + settings_.Path().string() + "\"" +
           (storeError_.empty() ? std::string() : " (" + storeError_ + ")") +
           ". It is used until the program is closed. To keep it for the next start, make "
           "sure that file and its folder can be written, then choose the port again.";
}

}  // namespace kestra
