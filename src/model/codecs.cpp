// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/codecs.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "model/ascii.hpp"

namespace kestra {

namespace {

// "%d" and "%x" of a value; "%x" prints the two's complement of a negative value as printf does.
std::string FormatSpin(std::int64_t value, SpinFormat format) {
    char buffer[24];
    if (format == SpinFormat::Hex) {
        std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(SaturateToInt(value)));
    } else {
        std::snprintf(buffer, sizeof buffer, "%d", SaturateToInt(value));
    }
    return buffer;
}

std::int64_t ReadSpin(std::string_view text, SpinFormat format) {
    return ScanLeadingInteger(text, format == SpinFormat::Hex ? 16 : 10).value_or(0);
}

// A fixed-point text: the sign, the integer part of |value| / 10^decimals and exactly
// `decimals` fraction digits, as printf's "%.Nf" writes an exact decimal.
std::string FormatFixed(std::int64_t value, int decimals) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%0*llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / static_cast<std::uint64_t>(scale)),
                  decimals,
                  static_cast<unsigned long long>(magnitude % static_cast<std::uint64_t>(scale)));
    return buffer;
}

}  // namespace

// ---- packed BCD ---------------------------------------------------------------------------

std::uint8_t BcdByteEncode(int value) {
    return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
}

int BcdByteDecode(std::uint8_t byte) {
    return (byte / 16) * 10 + byte % 16;
}

std::array<std::uint8_t, 4> Bcd8Encode(std::uint32_t value) {
    std::array<std::uint8_t, 4> bytes{};
    for (auto& byte : bytes) {
        byte = BcdByteEncode(static_cast<int>(value % 100));
        value /= 100;
    }
    return bytes;
}

std::uint32_t Bcd8Decode(std::span<const std::uint8_t> fourBytes) {
    std::uint32_t value = 0;
    const std::size_t count = std::min<std::size_t>(fourBytes.size(), 4);
    for (std::size_t k = count; k-- > 0;) {
        value = value * 100 + static_cast<std::uint32_t>(BcdByteDecode(fourBytes[k]));
    }
    return value;
}

// ---- exact decimal texts ------------------------------------------------------------------

Frequency MhzTextToFrequency(std::string_view text) {
    return static_cast<Frequency>(SaturateToInt(ScaleDecimalText(text, 5)));
}

int ToneTextToTenths(std::string_view text) {
    return SaturateToInt(ScaleDecimalText(text, 1));
}

std::string FrequencyToMhzText(Frequency f) {
    return FormatFixed(f, 5);
}

std::string TenthsToToneText(int tenths) {
    return FormatFixed(tenths, 1);
}

// ---- bands and sections -------------------------------------------------------------------

Frequency SnapToStep(Frequency f) {
    const Frequency r625 = f % 625;
    const Frequency r500 = f % 500;
    return r625 < r500 ? f - r625 : f - r500;
}

Frequency SnapTypedFrequency(Frequency f) {
    return f % 250 == 0 || f % 625 == 0 ? f : SnapToStep(f);
}

int BandOf(Frequency f) {
    for (std::size_t i = 0; i < kSupportedBands.size(); ++i) {
        if (kSupportedBands[i].lower <= f && f <= kSupportedBands[i].upper) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool LimitsAreValid(Frequency lower, Frequency upper) {
    const int band = BandOf(lower);
    return band != -1 && band == BandOf(upper) && lower < upper;
}

bool LimitIsUnset(Frequency limit) {
    return limit == 0 || limit == -1;
}

// ---- channel labels -----------------------------------------------------------------------

std::string ChannelLabel(int channelNumber) {
    char buffer[16];
    if (channelNumber >= 1 && channelNumber <= 128) {
        std::snprintf(buffer, sizeof buffer, "A%03d", channelNumber);
    } else if (channelNumber >= 129 && channelNumber <= 256) {
        std::snprintf(buffer, sizeof buffer, "B%03d", channelNumber - 128);
    } else if (channelNumber == 257) {
        return "A VFO";
    } else if (channelNumber == 258) {
        return "B VFO";
    } else {
        return {};
    }
    return buffer;
}

int ChannelNumberFromLabel(std::string_view text) {
    // The letters are matched exactly as a scanf pattern would: "a5" is not a label.
    if (!text.empty() && text.front() == 'A') {
        if (auto n = ScanLeadingInteger(text.substr(1), 10)) {
            return SaturateToInt(*n);
        }
    }
    if (!text.empty() && text.front() == 'B') {
        if (auto n = ScanLeadingInteger(text.substr(1), 10)) {
            return SaturateToInt(*n + 128);
        }
    }
    if (auto n = ScanLeadingInteger(text, 10)) {
        return SaturateToInt(*n);
    }
    if (EqualsIgnoringAsciiCase(text, "A Vfo")) {
        return 257;
    }
    if (EqualsIgnoringAsciiCase(text, "B Vfo")) {
        return 258;
    }
    return 0;
}

int SectionOfChannel(int channelNumber) {
    if ((channelNumber >= 1 && channelNumber <= 128) || channelNumber == 257) {
        return 0;
    }
    if ((channelNumber >= 129 && channelNumber <= 256) || channelNumber == 258) {
        return 1;
    }
    return -1;
}

// ---- DTMF digits --------------------------------------------------------------------------

std::uint8_t DtmfCharToCode(char c) {
    if (c == '#') {
        return 15;
    }
    if (c == '*') {
        return 14;
    }
    const int value = HexDigitValue(c);
    return value < 0 ? 255 : static_cast<std::uint8_t>(value);
}

std::optional<char> DtmfCodeToChar(std::uint8_t code) {
    if (code == 14) {
        return '*';
    }
    if (code == 15) {
        return '#';
    }
    if (code < 14) {
        return "0123456789ABCD"[code];
    }
    return std::nullopt;
}

// ---- character filters --------------------------------------------------------------------

bool FilterAccepts(std::string_view filter, char c) {
    return c == '\b' || filter.find(c) != std::string_view::npos;
}

// ---- spin buddy texts ---------------------------------------------------------------------

std::int64_t SpinTextValue(std::string_view text, SpinFormat format) {
    return ReadSpin(text, format);
}

std::string ClampSpinText(std::string_view text, int low, int high, SpinFormat format) {
    const std::int64_t value = ReadSpin(text, format);
    return FormatSpin(std::clamp<std::int64_t>(value, low, std::max(low, high)), format);
}

std::string WrapSpinText(std::string_view text, int delta, int low, int high, SpinFormat format) {
    std::int64_t value = ReadSpin(text, format) + delta;
    if (value < low || value > high) {
        value = delta < 1 ? high : low;
    }
    return FormatSpin(value, format);
}

}  // namespace kestra
