// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/text_numbers.hpp"

#include <algorithm>
#include <limits>
#include <string>

#include "model/ascii.hpp"

namespace kestra {

namespace {

constexpr std::int64_t kMagnitudeCap = std::numeric_limits<std::int64_t>::max() / 16;

// Appends one digit to a magnitude that saturates instead of overflowing.
std::int64_t PushDigit(std::int64_t magnitude, int digit, int base) {
    if (magnitude >= kMagnitudeCap) {
        return kMagnitudeCap;
    }
    return magnitude * base + digit;
}

// Where the digits of a leading number start: after the blanks and an optional sign, which is
// reported through `negative`.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsAsciiBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

int DigitValue(char c, int base) {
    if (base == 16) {
        return HexDigitValue(c);
    }
    return IsAsciiDigit(c) ? c - '0' : -1;
}

}  // namespace

std::optional<std::int64_t> ScanLeadingInteger(std::string_view text, int base) {
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    if (base == 16 && i + 2 < text.size() && text[i] == '0' &&
        (text[i + 1] == 'x' || text[i + 1] == 'X') && HexDigitValue(text[i + 2]) >= 0) {
        i += 2;
    }
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i) {
        const int value = DigitValue(text[i], base);
        if (value < 0) {
            break;
        }
        magnitude = PushDigit(magnitude, value, base);
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

int SaturateToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int LeadingInt(std::string_view text) {
    return SaturateToInt(ScanLeadingInteger(text, 10).value_or(0));
}

std::int64_t ScaleDecimalText(std::string_view text, int decimals) {
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    std::string digits;
    int pointShift = 0;  // digits after the decimal point
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsAsciiDigit(c)) {
            digits.push_back(c);
            if (seenPoint) {
                ++pointShift;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    // A number needs at least one digit; "." or "-" alone is no number.
    if (digits.empty()) {
        return 0;
    }
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const auto value = ScanLeadingInteger(text.substr(i + 1), 10);
        // strtod takes the exponent only when digits follow directly (no blanks).
        if (value && i + 1 < text.size() && !IsAsciiBlank(text[i + 1])) {
            exponent = static_cast<int>(std::clamp<std::int64_t>(*value, -1000, 1000));
        }
    }
    // value = digits * 10^(decimals + exponent - pointShift), truncated toward zero.
    const int shift = decimals + exponent - pointShift;
    std::int64_t magnitude = 0;
    if (shift >= 0) {
        for (char c : digits) {
            magnitude = PushDigit(magnitude, c - '0', 10);
        }
        for (int k = 0; k < shift && magnitude != 0; ++k) {
            magnitude = magnitude >= kMagnitudeCap / 10 ? kMagnitudeCap : magnitude * 10;
        }
    } else {
        const auto keep = static_cast<std::ptrdiff_t>(digits.size()) + shift;
        for (std::ptrdiff_t k = 0; k < keep; ++k) {
            magnitude = PushDigit(magnitude, digits[static_cast<std::size_t>(k)] - '0', 10);
        }
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace kestra
