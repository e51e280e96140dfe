// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Character rules that must not depend on the user's locale. The radio, Program.ini and the
// typed texts are plain ASCII, and <cctype> would read a byte of a UTF-8 name differently under
// another locale; these never do. The case fold is the one rule for every name the program
// matches without regard to case: INI sections and keys, the service password, channel labels,
// tone texts and COM port names.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestra {

constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// The blanks the C library skips before a number: space, tab, line feed, vertical tab, form
// feed and carriage return.
constexpr bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// 0-15 for 0-9, a-f and A-F; -1 for anything else.
constexpr int HexDigitValue(char c) {
    if (IsAsciiDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

constexpr char ToUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with a-z made A-Z; every other byte (UTF-8 included) unchanged.
inline std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = ToUpperAscii(c);
    }
    return upper;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace kestra
