// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/field_layout.hpp"

#include <algorithm>
#include <cstdio>

#include "model/ascii.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

std::int64_t PowerOfTen(int exponent) {
    std::int64_t value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

std::uint8_t StoredValueOf(const ListField& field, std::size_t index) {
    return field.values.empty() ? static_cast<std::uint8_t>(index) : field.values[index];
}

}  // namespace

// ---- typed text ---------------------------------------------------------------------------

std::optional<char> TypedCharacter(const TypingRules& rules, char c) {
    const char typed = rules.upperCase ? ToUpperAscii(c) : c;
    if (rules.accepts.empty()) {
        if (typed < 0x20 || typed > 0x7E) {
            return std::nullopt;
        }
        return typed;
    }
    if (rules.accepts.find(typed) == std::string_view::npos) {
        return std::nullopt;
    }
    return typed;
}

std::optional<std::string> TypedText(const TypingRules& rules, std::string_view text) {
    if (rules.maxLength > 0 && text.size() > static_cast<std::size_t>(rules.maxLength)) {
        return std::nullopt;
    }
    std::string typed;
    typed.reserve(text.size());
    for (const char c : text) {
        const std::optional<char> accepted = TypedCharacter(rules, c);
        if (!accepted) {
            return std::nullopt;
        }
        typed.push_back(*accepted);
    }
    return typed;
}

// ---- drop-down lists ----------------------------------------------------------------------

int DecodeListIndex(const MemoryImage& image, const ListField& field) {
    const std::uint8_t stored = ReadBits(image, field.where);
    if (field.match == ListField::Match::ShownPrefix) {
        const std::string shown = std::to_string(static_cast<int>(stored) * field.unit);
        for (std::size_t i = 0; i < field.texts.size(); ++i) {
            if (field.texts[i].starts_with(shown)) {
                return static_cast<int>(i);
            }
        }
        return field.fallbackIndex;
    }
    for (std::size_t i = 0; i < field.texts.size(); ++i) {
        if (StoredValueOf(field, i) == stored) {
            return static_cast<int>(i);
        }
    }
    return field.fallbackIndex;
}

void EncodeListIndex(MemoryImage& image, const ListField& field, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= field.texts.size()) {
        return;
    }
    WriteBits(image, field.where, StoredValueOf(field, static_cast<std::size_t>(index)));
}

int ListIndexOf(const ListField& field, std::string_view text) {
    const auto found = std::find(field.texts.begin(), field.texts.end(), text);
    return found == field.texts.end() ? -1 : static_cast<int>(found - field.texts.begin());
}

// ---- numbers typed as decimal text --------------------------------------------------------

std::int64_t NumberTextValue(std::string_view text, const NumberRule& rule) {
    return ScaleDecimalText(text, rule.valueDecimals);
}

std::string NumberText(std::int64_t value, const NumberRule& rule) {
    const int dropped = rule.valueDecimals - rule.shownDecimals;
    std::int64_t shown = value;
    if (dropped > 0) {
        const std::int64_t divisor = PowerOfTen(dropped);
        const std::int64_t half = divisor / 2;
        shown = value >= 0 ? (value + half) / divisor : -((-value + half) / divisor);
    } else if (dropped < 0) {
        shown = value * PowerOfTen(-dropped);
    }
    if (rule.shownDecimals == 0) {
        return std::to_string(shown);
    }
    const std::int64_t scale = PowerOfTen(rule.shownDecimals);
    const std::int64_t magnitude = shown < 0 ? -shown : shown;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%lld.%0*lld", shown < 0 ? "-" : "",
                  static_cast<long long>(magnitude / scale), rule.shownDecimals,
                  static_cast<long long>(magnitude % scale));
    return buffer;
}

std::string NormalizeNumberText(std::string_view text, const NumberRule& rule) {
    if (rule.emptyStays && text.empty()) {
        return {};
    }
    std::int64_t value = NumberTextValue(text, rule);
    if (rule.multipleOf > 1) {
        value -= value % rule.multipleOf;
    }
    if (value < rule.low || value > rule.high) {
        value =
            rule.clamp ? std::clamp<std::int64_t>(value, rule.low, rule.high) : rule.replacement;
    }
    return NumberText(value, rule);
}

std::string StepNumberText(std::string_view text, const NumberRule& rule, const SpinRule& spin,
                           int direction) {
    const std::int64_t value = NumberTextValue(text, rule);
    const std::int64_t step = std::max(spin.step, 1);
    std::int64_t next = 0;
    if (!spin.toMultiple) {
        next = direction > 0 ? value + step : value - step;
    } else if (direction > 0) {
        next = (value >= 0 ? value / step + 1 : -((-value - 1) / step)) * step;
    } else {
        const std::int64_t floor =
            value >= 0 ? value / step * step : -((-value + step - 1) / step) * step;
        next = floor == value ? value - step : floor;
    }
    if (next < rule.low || next > rule.high) {
        next = direction > 0 ? rule.low : rule.high;
    }
    return NumberText(next, rule);
}

std::string DecodeNumberText(const MemoryImage& image, const NumberField& field) {
    const std::int64_t value = static_cast<std::int64_t>(image[field.offset]) * field.storeUnit;
    if (field.decodeFallback && (value < field.rule.low || value > field.rule.high)) {
        return NumberText(*field.decodeFallback, field.rule);
    }
    return NumberText(value, field.rule);
}

void EncodeNumberText(MemoryImage& image, const NumberField& field, std::string_view text) {
    const std::int64_t value = NumberTextValue(text, field.rule) / std::max(field.storeUnit, 1);
    image[field.offset] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

}  // namespace kestra
