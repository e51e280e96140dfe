#include "model/codecs.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace kestra {

namespace {

bool IsBlank(char c) {
    // The characters strtod and sscanf skip before a number.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
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

constexpr std::int64_t kMagnitudeCap = std::numeric_limits<std::int64_t>::max() / 16;

// Appends one digit to a magnitude that saturates instead of overflowing.
std::int64_t PushDigit(std::int64_t magnitude, int digit, int base) {
    if (magnitude >= kMagnitudeCap) {
        return kMagnitudeCap;
    }
    return magnitude * base + digit;
}

// Where the digits of a leading number start: after the blanks strtod and sscanf skip and an
// optional sign, which is reported through `negative`.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

// The leading integer of a text the way sscanf's "%d" or "%x" reads it: blanks, an optional
// sign, (for hexadecimal) an optional 0x prefix, then at least one digit. Saturates far outside
// the int range instead of overflowing.
std::optional<std::int64_t> ScanLeadingInteger(std::string_view text, int base) {
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    if (base == 16 && i + 2 < text.size() && text[i] == '0' &&
        (text[i + 1] == 'x' || text[i + 1] == 'X') && HexValue(text[i + 2]) >= 0) {
        i += 2;
    }
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i) {
        const int value = base == 16 ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
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

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
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

std::int64_t ScaleDecimalText(std::string_view text, int decimals) {
    // The leading number as strtod would take it (blanks, sign, digits, point, digits, an
    // optional exponent), but kept as a digit string so that no binary rounding creeps in.
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    std::string digits;
    int pointShift = 0;  // digits after the decimal point
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
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
    const std::string_view mantissa = text.substr(0, i);
    if (mantissa.find_first_of("0123456789") == std::string_view::npos) {
        return 0;
    }
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const auto value = ScanLeadingInteger(text.substr(i + 1), 10);
        // strtod takes the exponent only when digits follow directly (no blanks).
        if (value && i + 1 < text.size() && !IsBlank(text[i + 1])) {
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
    auto equalsIgnoringCase = [text](std::string_view other) {
        return std::equal(text.begin(), text.end(), other.begin(), other.end(), [](char a, char b) {
            auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
            return lower(a) == lower(b);
        });
    };
    if (equalsIgnoringCase("A Vfo")) {
        return 257;
    }
    if (equalsIgnoringCase("B Vfo")) {
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

// ---- tones --------------------------------------------------------------------------------

namespace {

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
    std::string text(typed);
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
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

std::array<std::uint8_t, 2> ToneCodeEncode(std::string_view text) {
    if (Contains(text, 'D')) {
        const int code = SaturateToInt(ScanLeadingInteger(text.substr(1), 10).value_or(0));
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

// ---- DTMF digits --------------------------------------------------------------------------

std::uint8_t DtmfCharToCode(char c) {
    if (c == '#') {
        return 15;
    }
    if (c == '*') {
        return 14;
    }
    const int value = HexValue(c);
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
    return c == '\b' || Contains(filter, c);
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
