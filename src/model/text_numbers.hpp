// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers read from the start of a text the way the C library's "%d", "%x" and strtod read
// them: blanks first, an optional sign, then digits up to the first character that is not one.
// Typed cells, spin texts, Program.ini values, port names and tone texts all follow that rule,
// so they share this one reading. Nothing here overflows: absurdly long numbers saturate.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestra {

// The leading integer in base 10 or 16: blanks, an optional sign, for base 16 an optional "0x"
// prefix, then at least one digit. Nothing when no digit follows. The magnitude saturates far
// beyond the int range, so SaturateToInt of the result is the int a saturating "%d" would give.
std::optional<std::int64_t> ScanLeadingInteger(std::string_view text, int base = 10);

// The value clamped into the int range.
int SaturateToInt(std::int64_t value);

// The leading decimal integer as an int ("12abc" 12, " -3" -3, "COM3" 0): 0 when the text does
// not start with a number, the nearest int when it is beyond the range.
int LeadingInt(std::string_view text);

// The leading decimal number of a text scaled by 10^decimals, exactly, truncated toward zero
// ("146.525", 5 -> 14652500; "67.0", 1 -> 670; "146.5234567", 5 -> 14652345). The number is
// read as strtod reads it (digits, a point, digits, an optional exponent) but kept as decimal
// digits, so no binary rounding creeps in. An empty or non-numeric text gives 0.
std::int64_t ScaleDecimalText(std::string_view text, int decimals);

}  // namespace kestra
