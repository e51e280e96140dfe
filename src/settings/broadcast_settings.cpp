// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/broadcast_settings.hpp"

#include <array>
#include <cstdint>

#include "model/image_map.hpp"
#include "settings/setting_rows.hpp"

namespace kestra {

namespace {

using namespace setting_rows;

constexpr std::array<std::string_view, 20> kChannelNumbers{"1",  "2",  "3",  "4",  "5",  "6",  "7",
                                                           "8",  "9",  "10", "11", "12", "13", "14",
                                                           "15", "16", "17", "18", "19", "20"};
constexpr std::array<std::uint8_t, 20> kChannelBytes{1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                     11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

Setting Slot(std::string_view caption, int channel) {
    return Setting{
        BroadcastFrequencyField{caption, map::BroadcastSlotOf(channel), map::kBroadcastSlotSize}};
}

const std::array<Setting, 22> kSettings{
    Setting{BroadcastFrequencyField{"Current Freq", map::kBroadcastFrequency,
                                    map::kBroadcastFrequencySize}},
    Setting{
        ListField{"Current CH", Byte(map::kBroadcastChannel), kChannelNumbers, 0, kChannelBytes}},
    Slot("CH 1", 1),
    Slot("CH 2", 2),
    Slot("CH 3", 3),
    Slot("CH 4", 4),
    Slot("CH 5", 5),
    Slot("CH 6", 6),
    Slot("CH 7", 7),
    Slot("CH 8", 8),
    Slot("CH 9", 9),
    Slot("CH 10", 10),
    Slot("CH 11", 11),
    Slot("CH 12", 12),
    Slot("CH 13", 13),
    Slot("CH 14", 14),
    Slot("CH 15", 15),
    Slot("CH 16", 16),
    Slot("CH 17", 17),
    Slot("CH 18", 18),
    Slot("CH 19", 19),
    Slot("CH 20", 20),
};

}  // namespace

std::span<const Setting> BroadcastSettings() {
    return kSettings;
}

RadioForm::RadioForm() : SettingsForm("Radio", kSettings) {}

}  // namespace kestra
