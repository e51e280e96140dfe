// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/spin_field.hpp"

#include <algorithm>
#include <cstdio>

#include "model/ascii.hpp"

namespace kestra {

std::string ShownSpinText(const SpinFieldRule& rule, std::string_view text) {
    return rule.typing.upperCase ? ToUpperAscii(text) : std::string(text);
}

std::optional<std::string> TypedSpinText(const SpinFieldRule& rule, std::string_view typed) {
    return TypedText(rule.typing, typed);
}

std::string LeaveSpinField(const SpinFieldRule& rule, std::string_view text) {
    return ShownSpinText(rule, ClampSpinText(text, rule.low, rule.high, rule.base));
}

std::string StepSpinField(const SpinFieldRule& rule, std::string_view text, int delta) {
    return ShownSpinText(rule, WrapSpinText(text, delta, rule.low, rule.high, rule.base));
}

std::string StepSpinFieldWithin(const SpinFieldRule& rule, std::string_view text, int delta) {
    const std::int64_t stepped = SpinTextValue(text, rule.base) + delta;
    return ShowSpinValue(rule, std::clamp<std::int64_t>(stepped, rule.low, rule.high));
}

std::int64_t SpinFieldValue(const SpinFieldRule& rule, std::string_view text) {
    return SpinTextValue(text, rule.base);
}

std::string ShowSpinValue(const SpinFieldRule& rule, std::int64_t value) {
    char text[24];
    if (rule.base == SpinFormat::Hex && rule.typing.upperCase) {
        std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    } else if (rule.base == SpinFormat::Hex) {
        std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    } else {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    }
    return text;
}

}  // namespace kestra
