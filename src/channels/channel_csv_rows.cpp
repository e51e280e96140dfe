// SPDX-License-Identifier: GPL-3.0-or-later
// One row of the interchange format to what a channel record holds.

#include "channels/channel_csv_rows.hpp"

#include <cstdio>

#include "model/ascii.hpp"
#include "model/channel_record.hpp"

namespace kestra::csv {

namespace {

constexpr std::int64_t kHzPer10Hz = 10;
// Nothing in the format is a thousand MHz or more; this also keeps every value in range.
constexpr std::int64_t kHzLimit = 1'000'000'000;

std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Hertz as MHz with five decimals, as the grid shows frequencies, or six when the hertz need
// them; a negative value (an offset below zero) keeps its sign in front: "-852.48000".
std::string HzText(std::int64_t hz) {
    const std::uint64_t magnitude =
        hz < 0 ? static_cast<std::uint64_t>(-(hz + 1)) + 1 : static_cast<std::uint64_t>(hz);
    const bool tens = magnitude % kHzPer10Hz == 0;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%0*llu", hz < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 1'000'000), tens ? 5 : 6,
                  static_cast<unsigned long long>(tens ? magnitude % 1'000'000 / kHzPer10Hz
                                                       : magnitude % 1'000'000));
    return buffer;
}

// A frequency in hertz as the radio holds it: 10 Hz units on the channel raster, with a note
// when it had to move. Nothing when it is not above zero or not below 1000 MHz.
std::optional<Frequency> OnRaster(std::int64_t hz, std::string_view what,
                                  std::vector<std::string>& notes) {
    if (hz <= 0 || hz >= kHzLimit) {
        return std::nullopt;
    }
    const Frequency f = SnapTypedFrequency(static_cast<Frequency>(hz / kHzPer10Hz));
    if (f * kHzPer10Hz != hz) {
        notes.push_back(std::string(what) + " " + HzText(hz) +
                        " MHz moved onto the channel raster: " + FrequencyToMhzText(f) + " MHz");
    }
    return f;
}

std::optional<std::int64_t> ReadHz(std::string_view mhzText) {
    const auto scaled = ScaleDecimal(mhzText, 6);
    return scaled ? std::optional<std::int64_t>(scaled->value) : std::nullopt;
}

std::string BandsText(const SectionLimits& limits) {
    return FrequencyToMhzText(limits.lower[0]) + "-" + FrequencyToMhzText(limits.upper[0]) +
           " and " + FrequencyToMhzText(limits.lower[1]) + "-" +
           FrequencyToMhzText(limits.upper[1]) + " MHz";
}

// The receive frequency; a reason in `problem` when the row cannot be a channel.
std::optional<Frequency> MapReceive(const RowView& row, const SectionLimits& limits,
                                    std::vector<std::string>& notes, std::string& problem) {
    const std::string_view text = row.Get(kFrequency);
    if (text.empty()) {
        problem = "it has no Frequency";
        return std::nullopt;
    }
    const auto hz = ReadHz(text);
    const auto rx = hz ? OnRaster(*hz, "frequency", notes) : std::nullopt;
    if (!rx) {
        problem = "Frequency " + Quote(text) + " is no frequency in MHz";
    } else if (limits.SectionOf(*rx) < 0) {
        problem = "frequency " + FrequencyToMhzText(*rx) + " MHz lies outside the radio's bands (" +
                  BandsText(limits) + ")";
        return std::nullopt;
    }
    return rx;
}

// The transmit frequency from Duplex and Offset; false with a reason when the row cannot be a
// channel. A transmit frequency outside the bands leaves the channel receive-only.
bool MapTransmit(const RowView& row, const SectionLimits& limits, CsvChannel& channel,
                 std::vector<std::string>& notes, std::string& problem) {
    const std::string_view duplex = row.Get(kDuplex);
    const std::string_view offsetText = row.Get(kOffset);
    const auto offset = offsetText.empty() ? std::optional<std::int64_t>(0) : ReadHz(offsetText);
    const std::int64_t rxHz = channel.rx * kHzPer10Hz;
    std::optional<std::int64_t> txHz;
    if (duplex.empty()) {
        channel.tx = channel.rx;
        return true;
    }
    if (EqualsIgnoringAsciiCase(duplex, "off")) {
        channel.tx.reset();
        return true;
    }
    if (duplex != "+" && duplex != "-" && !EqualsIgnoringAsciiCase(duplex, "split")) {
        problem = "Duplex " + Quote(duplex) + " is none of \"\", \"+\", \"-\", \"split\", \"off\"";
        return false;
    }
    if (!offset || (EqualsIgnoringAsciiCase(duplex, "split") && offsetText.empty())) {
        problem = "Offset " + Quote(offsetText) + " is no frequency in MHz";
        return false;
    }
    txHz = EqualsIgnoringAsciiCase(duplex, "split") ? *offset
           : duplex == "+"                          ? rxHz + *offset
                                                    : rxHz - *offset;
    channel.tx = OnRaster(*txHz, "transmit frequency", notes);
    if (!channel.tx || limits.SectionOf(*channel.tx) < 0) {
        notes.push_back("transmit frequency " + HzText(*txHz) +
                        " MHz lies outside the radio's bands: the channel only receives");
        channel.tx.reset();
    }
    return true;
}

}  // namespace

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<int> WholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string_view RowView::Raw(Column column) const {
    const auto& at = columns_[column];
    if (!at || *at >= record_.fields.size()) {
        return {};
    }
    return record_.fields[*at];
}

std::string_view RowView::Get(Column column) const {
    return Trimmed(Raw(column));
}

std::optional<ScaledDecimal> ScaleDecimal(std::string_view text, int decimals) {
    const std::size_t point = text.find('.');
    const std::size_t whole = point == std::string_view::npos ? text.size() : point;
    std::size_t digits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsAsciiDigit(text[i])) {
            ++digits;
        } else if (i != point) {
            return std::nullopt;
        }
    }
    if (digits == 0 || whole > 9) {
        return std::nullopt;
    }
    ScaledDecimal scaled{ScaleDecimalText(text, decimals), true};
    if (point != std::string_view::npos) {
        const std::string_view beyond = text.substr(std::min(text.size(), point + 1 + decimals));
        scaled.exact = beyond.find_first_not_of('0') == std::string_view::npos;
    }
    return scaled;
}

std::optional<std::int64_t> Milliwatts(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || ToUpperAscii(text.back()) != 'W') {
        return std::nullopt;
    }
    const auto scaled = ScaleDecimal(Trimmed(text.substr(0, text.size() - 1)), 3);
    return scaled ? std::optional<std::int64_t>(scaled->value) : std::nullopt;
}

MappedRow MapRow(const RowView& row, const SectionLimits& limits, const PowerScale& power) {
    MappedRow mapped;
    CsvChannel channel;
    std::string problem;
    auto skipped = [&mapped, &problem] {
        mapped.notes = {problem};
        return mapped;
    };
    const auto rx = MapReceive(row, limits, mapped.notes, problem);
    if (!rx) {
        return skipped();
    }
    channel.rx = *rx;
    const std::string_view mode = row.Get(kMode);
    if (!mode.empty() && !EqualsIgnoringAsciiCase(mode, "FM") &&
        !EqualsIgnoringAsciiCase(mode, "NFM")) {
        problem = "Mode " + Quote(mode) + " is not one the radio has (FM, NFM)";
        return skipped();
    }
    channel.wide = !EqualsIgnoringAsciiCase(mode, "NFM");
    if (!MapTransmit(row, limits, channel, mapped.notes, problem)) {
        return skipped();
    }
    MapTones(row, channel, mapped.notes);
    MapOptions(row, power, channel, mapped.notes);
    mapped.channel = std::move(channel);
    return mapped;
}

}  // namespace kestra::csv
