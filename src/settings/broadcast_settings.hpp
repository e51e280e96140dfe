// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Radio" dialog's form over the broadcast receiver block at 0x2F80-0x2FD7: the current
// receiver channel, the current receiver frequency and twenty receiver channel frequencies,
// each 76 to 108 MHz or empty.

#include <cstddef>
#include <span>

#include "settings/settings_form.hpp"

namespace kestra {

std::span<const Setting> BroadcastSettings();

class RadioForm : public SettingsForm {
public:
    static constexpr std::size_t kCurrentFrequency = 0;
    static constexpr std::size_t kCurrentChannel = 1;
    static constexpr std::size_t kFirstChannel = 2;  // "CH 1" to "CH 20" follow
    static constexpr int kChannels = 20;

    RadioForm();
};

}  // namespace kestra
