// SPDX-License-Identifier: GPL-3.0-or-later
// The CTCSS and DCS tones: the texts of the tone lists, the normalisation of typed tone texts and
// the 2-byte tone codes of a channel record.

#include <algorithm>
#include <cstdio>

#include "model/ascii.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

std::string DcsText(int code, bool inverted) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "D%03d%c", code, inverted ? 'I' : 'N');
    return buffer;
}

}  // namespace

const std::vector<std::string>& ToneChoiceList() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> texts;
        texts.reserve(1 + kCtcssTenths.size() + 2 * kDcsCodes.size());
        texts.emplace_back("None");
        for (int tenths : kCtcssTenths) {
            texts.push_back(TenthsToToneText(tenths));
        }
        for (bool inverted : {false, true}) {
            for (int code : kDcsCodes) {
                texts.push_back(DcsText(code, inverted));
            }
        }
        return texts;
    }();
    return list;
}

std::string NormalizeToneText(std::string_view typed) {
    if (typed.empty()) {
        return {};
    }
    const std::string text = ToUpperAscii(typed);
    auto ctcssOrNone = [&text](bool keepTyped) -> std::string {
        const int tenths = ToneTextToTenths(text);
        if (tenths < 600 || tenths > 2800) {
            return "None";
        }
        return keepTyped ? text : TenthsToToneText(tenths);
    };
    if (Contains(text, '.')) {
        return ctcssOrNone(true);
    }
    // The DCS spellings people type, tried in this order; a number alone counts as normal DCS.
    static constexpr std::string_view kPrefixes[] = {"D", "DN", "DI", "ND", "ID", "N", "I", ""};
    for (std::string_view prefix : kPrefixes) {
        if (std::string_view(text).substr(0, prefix.size()) != prefix) {
            continue;
        }
        const auto n = ScanLeadingInteger(std::string_view(text).substr(prefix.size()), 10);
        if (!n) {
            continue;
        }
        if (*n > 777 || *n <= 0) {
            return "None";
        }
        return DcsText(static_cast<int>(*n), Contains(text, 'I'));
    }
    return ctcssOrNone(false);
}

std::optional<std::string> TypedToneText(std::string_view typed) {
    const std::size_t separator = typed.find_first_of(".,");
    const bool number = !typed.empty() &&
                        typed.find_first_not_of("0123456789.,") == std::string_view::npos &&
                        typed.find_first_of("0123456789") != std::string_view::npos &&
                        (separator == std::string_view::npos ||
                         typed.find_first_of(".,", separator + 1) == std::string_view::npos);
    if (!number) {
        return NormalizeToneText(typed);
    }
    std::string text(typed);
    if (separator != std::string::npos) {
        text[separator] = '.';
    } else if (const auto code = ScanLeadingInteger(text, 10);
               code && std::find(kDcsCodes.begin(), kDcsCodes.end(), *code) != kDcsCodes.end()) {
        return DcsText(static_cast<int>(*code), false);
    }
    const int tenths = ToneTextToTenths(text);
    if (std::find(kCtcssTenths.begin(), kCtcssTenths.end(), tenths) == kCtcssTenths.end()) {
        return std::nullopt;
    }
    return TenthsToToneText(tenths);
}

std::array<std::uint8_t, 2> ToneCodeEncode(std::string_view text) {
    if (Contains(text, 'D')) {
        const int code = LeadingInt(text.substr(1));
        const int base = Contains(text, 'N') ? 0x80 : 0xC0;
        return {BcdByteEncode(code % 100), static_cast<std::uint8_t>(code / 100 + base)};
    }
    if (text == "None") {
        return {0xFF, 0xFF};
    }
    const int tenths = ToneTextToTenths(text);
    return {BcdByteEncode(tenths % 100), BcdByteEncode((tenths / 100) % 100)};
}

std::string ToneCodeDecode(std::uint8_t b0, std::uint8_t b1) {
    if (b1 == 0xFF) {
        return "None";
    }
    if (b1 >= 0xC0) {
        return DcsText((b1 - 0xC0) * 100 + BcdByteDecode(b0), true);
    }
    if (b1 >= 0x80) {
        return DcsText((b1 - 0x80) * 100 + BcdByteDecode(b0), false);
    }
    return TenthsToToneText(BcdByteDecode(b1) * 100 + BcdByteDecode(b0));
}

}  // namespace kestra
