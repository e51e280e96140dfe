// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Optional Features" form: the radio's menu settings at 0x2040-0x2071 (display modes, dual
// watch, beep and roger tone, battery save, squelch, step, time-out timer, scan mode, lamp, VOX,
// key lock, tail elimination, work areas, the power-on message and the two dual-wait bytes the
// form keeps but never shows). Every field is a row of one table; the bits no row owns keep what
// they hold through opening and closing.

#include <array>
#include <span>
#include <string_view>

#include "settings/settings_form.hpp"

namespace kestra {

// The form's fields in the order of their offsets.
std::span<const Setting> OptionalFeaturesSettings();

// The captions of the dialog's three columns, top to bottom.
inline constexpr std::array<std::string_view, 10> kOptionalFeaturesColumn1{
    "A Channel Display", "B Channel Display",     "Main Channel A/B",
    "Dual Wait",         "DW Transmit CH",        "VFO/MR",
    "Channel Mode",      "Power on display mode", "Power on Message",
    "Voice Broadcast"};
inline constexpr std::array<std::string_view, 11> kOptionalFeaturesColumn2{
    "Beep",      "Roger Tone",    "Battery Save", "Squelch Level",  "Step (kHz)", "TOT (s)",
    "Scan Mode", "Radio Monitor", "ANI",          "Tail Eliminate", "Tail Mode"};
inline constexpr std::array<std::string_view, 10> kOptionalFeaturesColumn3{
    "Lamp Mode", "Lamp Time (s)", "Lamp Color", "Vox Gain Level", "Vox Delay Time (s)",
    "Key Lock",  "Lock Mode",     "Auto Lock",  "A Work Area",    "B Work Area"};

class OptionalFeaturesForm : public SettingsForm {
public:
    OptionalFeaturesForm();
};

}  // namespace kestra
