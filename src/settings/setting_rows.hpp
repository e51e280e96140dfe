// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shorthands for writing the settings forms' field tables, and the lists several forms share.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/codecs.hpp"
#include "settings/settings_form.hpp"

namespace kestra::setting_rows {

inline constexpr std::array<std::string_view, 2> kOffOn{"Off", "On"};
inline constexpr std::array<std::string_view, 2> kAOrB{"A", "B"};

inline constexpr BitField Byte(std::size_t offset) {
    return BitField{offset, 0, 8};
}

inline constexpr BitField Bits(std::size_t offset, int shift, int width) {
    return BitField{offset, static_cast<std::uint8_t>(shift), static_cast<std::uint8_t>(width)};
}

inline Setting List(std::string_view caption, BitField where,
                    std::span<const std::string_view> texts,
                    int fallback = ListField::kNoFallback) {
    return Setting{ListField{caption, where, texts, fallback}};
}

inline Setting Hidden(Setting setting) {
    setting.visible = false;
    return setting;
}

// The typing of the DTMF code edits: the sixteen DTMF characters, forced to upper case.
inline constexpr TypingRules DtmfTyping(int maxLength) {
    return TypingRules{std::string_view(kDtmfFilter).substr(0, kDtmfFilter.size() - 1), maxLength,
                       true};
}

}  // namespace kestra::setting_rows
