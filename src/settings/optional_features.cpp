// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/optional_features.hpp"

#include "model/image_map.hpp"
#include "settings/setting_rows.hpp"

namespace kestra {

namespace {

using namespace setting_rows;

constexpr std::array<std::string_view, 10> kTimeOut{"Off", "30",  "60",  "90",  "120",
                                                    "150", "180", "210", "240", "270"};
constexpr std::array<std::string_view, 10> kZeroToNine{"0", "1", "2", "3", "4",
                                                       "5", "6", "7", "8", "9"};
constexpr std::array<std::string_view, 9> kOneToNine{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
constexpr std::array<std::string_view, 8> kStep{"2.5",  "5",  "6.25", "10",
                                                "12.5", "25", "50",   "100"};
constexpr std::array<std::string_view, 10> kOneToTen{"1", "2", "3", "4", "5",
                                                     "6", "7", "8", "9", "10"};
constexpr std::array<std::string_view, 4> kOneToFour{"1", "2", "3", "4"};
constexpr std::array<std::string_view, 3> kOneToThree{"1", "2", "3"};
constexpr std::array<std::string_view, 2> kDwTransmit{"Current Edit", "Current Activity"};
constexpr std::array<std::string_view, 3> kScanMode{"Time", "Carrier", "Seek"};
constexpr std::array<std::string_view, 3> kLampMode{"Off", "Key", "Continue"};
constexpr std::array<std::string_view, 2> kVfoMr{"MR", "VFO"};
constexpr std::array<std::string_view, 3> kChannelDisplay{"Channel", "Frequency", "Name"};
constexpr std::array<std::string_view, 2> kKeyLock{"On", "Off"};  // stored 0 is "On"
constexpr std::array<std::string_view, 4> kLockMode{"PTT", "Key", "K+S", "All"};
constexpr std::array<std::string_view, 3> kPowerOnDisplay{"Off", "DC", "MSG"};
constexpr std::array<std::string_view, 4> kTailMode{"Frequency", "120", "180", "240"};
constexpr std::array<std::string_view, 11> kDwResetTime{"Off", "1", "2", "3", "4", "5",
                                                        "6",   "7", "8", "9", "10"};

// Hundredths of a second, 0.01 to 2.55; anything else (or an empty text) becomes 1.50.
constexpr NumberRule kDualWaitRule{
    .valueDecimals = 2, .shownDecimals = 2, .low = 1, .high = 255, .replacement = 150};

const std::array<Setting, 33> kSettings{
    List("TOT (s)", Byte(map::kTimeOutTimer), kTimeOut, 1),
    List("Squelch Level", Byte(map::kSquelchLevel), kZeroToNine, 4),
    List("Vox Gain Level", Byte(map::kVoxGain), kOneToNine, 3),
    List("Step (kHz)", Byte(map::kTuningStep), kStep, 4),
    List("Lamp Time (s)", Byte(map::kLampTime), kOneToTen, 4),
    List("Vox Delay Time (s)", Byte(map::kVoxDelay), kOneToFour, 2),
    List("Roger Tone", Bits(map::kMenuByte49, 0, 1), kOffOn, 0),
    List("DW Transmit CH", Bits(map::kMenuByte49, 1, 1), kDwTransmit, 0),
    List("Beep", Bits(map::kMenuByte49, 2, 1), kOffOn, 1),
    // Bits 3-4 of this byte are the DTMF pages' "Side Tone".
    List("Scan Mode", Bits(map::kMenuByte49, 5, 2), kScanMode, 0),
    List("ANI", Bits(map::kMenuByte49, 7, 1), kOffOn, 0),
    List("Channel Mode", Bits(map::kMenuByte4A, 1, 1), kOffOn, 0),
    List("Auto Lock", Bits(map::kMenuByte4A, 2, 1), kOffOn, 0),
    List("Tail Eliminate", Bits(map::kMenuByte4A, 3, 1), kOffOn, 1),
    List("Lamp Mode", Bits(map::kMenuByte4A, 4, 2), kLampMode, 1),
    List("Lamp Color", Bits(map::kMenuByte4A, 6, 2), kOneToThree, 0),
    List("VFO/MR", Bits(map::kMenuByte4B, 0, 1), kVfoMr, 0),
    List("Dual Wait", Bits(map::kMenuByte4B, 1, 1), kOffOn, 0),
    List("Main Channel A/B", Bits(map::kMenuByte4B, 2, 1), kAOrB, 0),
    List("A Channel Display", Bits(map::kMenuByte4B, 3, 2), kChannelDisplay, 1),
    List("B Channel Display", Bits(map::kMenuByte4B, 5, 2), kChannelDisplay, 1),
    List("Voice Broadcast", Bits(map::kMenuByte4C, 0, 1), kOffOn),
    List("Key Lock", Bits(map::kMenuByte4C, 4, 1), kKeyLock, 0),
    List("Radio Monitor", Bits(map::kMenuByte4C, 7, 1), kOffOn, 1),
    List("Lock Mode", Bits(map::kMenuByte4D, 0, 2), kLockMode, 1),
    List("Power on display mode", Bits(map::kMenuByte4D, 2, 2), kPowerOnDisplay, 1),
    List("Battery Save", Bits(map::kMenuByte4D, 4, 2), kOffOn, 1),
    List("Tail Mode", Bits(map::kMenuByte4E, 4, 2), kTailMode),
    List("B Work Area", Bits(map::kMenuByte4E, 6, 1), kAOrB),
    List("A Work Area", Bits(map::kMenuByte4E, 7, 1), kAOrB),
    Setting{MessageField{"Power on Message", map::kPowerOnMessage, map::kPowerOnMessageSize}},
    // The radio keeps these two; the form carries them without showing them.
    Hidden(List("DW Reset Time", Byte(map::kDualWaitResetTime), kDwResetTime, 0)),
    Hidden(Setting{NumberField{.caption = "Dual Wait Time",
                               .offset = map::kDualWaitTime,
                               .rule = kDualWaitRule,
                               .typing = {kDecimalDigits, 4, false}}}),
};

}  // namespace

std::span<const Setting> OptionalFeaturesSettings() {
    return kSettings;
}

OptionalFeaturesForm::OptionalFeaturesForm()
    : SettingsForm("Optional Features", OptionalFeaturesSettings()) {}

}  // namespace kestra
