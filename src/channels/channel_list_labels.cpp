// SPDX-License-Identifier: GPL-3.0-or-later
// The channel labels and ranges the list commands of kestra-cli take.

#include <algorithm>

#include "channels/channel_list.hpp"
#include "model/ascii.hpp"
#include "model/codecs.hpp"

namespace kestra {
namespace {

constexpr std::string_view kLabelHint = "name channels A001-A128 or B001-B128 (A5, b12 ...)";
constexpr std::size_t kMaxLabelDigits = 3;

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

bool NamesAVfo(std::string_view text) {
    const std::string upper = ToUpperAscii(text);
    return upper.find("VFO") != std::string::npos;
}

}  // namespace

std::optional<int> ParseListChannel(std::string_view text, std::string& problem) {
    if (NamesAVfo(text)) {
        problem = Quoted(text) +
                  " is a VFO, and the VFO channels never move: " + std::string(kLabelHint) + ".";
        return std::nullopt;
    }
    const char letter = text.empty() ? '\0' : ToUpperAscii(text.front());
    const std::string_view digits = text.empty() ? text : text.substr(1);
    if ((letter != 'A' && letter != 'B') || digits.empty() || digits.size() > kMaxLabelDigits ||
        !std::all_of(digits.begin(), digits.end(), IsAsciiDigit)) {
        problem = "No channel " + Quoted(text) + ": " + std::string(kLabelHint) + ".";
        return std::nullopt;
    }
    int number = 0;
    for (const char c : digits) {
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > kListSectionSize) {
        problem = Quoted(text) + " is outside section " + std::string(1, letter) + " (" +
                  std::string(1, letter) + "001-" + std::string(1, letter) + "128).";
        return std::nullopt;
    }
    return (letter == 'A' ? 0 : kListSectionSize) + number - 1;
}

std::optional<ChannelRange> ParseListRange(std::string_view text, std::string& problem) {
    const std::size_t dash = text.find('-');
    const std::string_view from = text.substr(0, dash);
    const auto first = ParseListChannel(from, problem);
    if (!first) {
        return std::nullopt;
    }
    if (dash == std::string_view::npos) {
        return ChannelRange{*first, *first};
    }
    const auto last = ParseListChannel(text.substr(dash + 1), problem);
    if (!last) {
        return std::nullopt;
    }
    const ChannelRange range{*first, *last};
    if (auto refused = CheckChannelRange(range)) {
        problem = refused->message;
        return std::nullopt;
    }
    return range;
}

}  // namespace kestra
