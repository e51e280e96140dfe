// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pure conversions between image bytes and the texts the editors show: packed BCD, frequencies in
// 10 Hz units and their MHz texts, CTCSS/DCS tone texts and their 2-byte codes, channel labels,
// DTMF digits, the band checks, the character filters of the edit fields and the spin-text rules.
// Nothing here keeps state. The tone conversions live in tone_codecs.cpp, the rest in codecs.cpp.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/text_numbers.hpp"

namespace kestra {

// Frequencies are signed 32-bit integers in units of 10 Hz (146.525 MHz = 14652500).
using Frequency = std::int32_t;

// ---- packed BCD ---------------------------------------------------------------------------
std::uint8_t BcdByteEncode(int value);  // 0-99 -> (value / 10) * 16 + value % 10
int BcdByteDecode(std::uint8_t byte);   // (byte / 16) * 10 + byte % 16 (no validity test)
std::array<std::uint8_t, 4> Bcd8Encode(std::uint32_t value);  // least significant pair first
std::uint32_t Bcd8Decode(std::span<const std::uint8_t> fourBytes);

// ---- exact decimal texts (ScaleDecimalText of a typed text) -------------------------------
Frequency MhzTextToFrequency(std::string_view text);  // decimals 5
int ToneTextToTenths(std::string_view text);          // decimals 1
std::string FrequencyToMhzText(Frequency f);          // "%3.5f" of MHz: 14652500 -> "146.52500"
std::string TenthsToToneText(int tenths);             // "%3.1f" of Hz: 670 -> "67.0"

// ---- bands and sections -------------------------------------------------------------------
struct Band {
    Frequency lower;
    Frequency upper;
};
inline constexpr std::array<Band, 3> kSupportedBands{{
    {13600000, 17400000},
    {20000000, 26000000},
    {40000000, 52000000},
}};

Frequency SnapToStep(Frequency f);  // down to the 5 kHz or 6.25 kHz raster
// What a typed or imported frequency becomes: one on the 2.5 kHz or 6.25 kHz raster stays as it
// is, any other goes through SnapToStep.
Frequency SnapTypedFrequency(Frequency f);
int BandOf(Frequency f);  // index into kSupportedBands, or -1
bool LimitsAreValid(Frequency lower, Frequency upper);
bool LimitIsUnset(Frequency limit);  // 0 and -1

// ---- channel labels -----------------------------------------------------------------------
std::string ChannelLabel(int channelNumber);  // 1 -> "A001", 129 -> "B001", 257 -> "A VFO"
int ChannelNumberFromLabel(std::string_view text);
int SectionOfChannel(int channelNumber);  // 0 (A), 1 (B) or -1

// ---- tones --------------------------------------------------------------------------------
inline constexpr std::array<int, 50> kCtcssTenths{
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000,
    1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
    1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928, 1966,
    1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};
inline constexpr std::array<int, 107> kDcsCodes{
    17,  23,  25,  26,  31,  32,  36,  43,  47,  50,  51,  53,  54,  65,  71,  72,  73,  74,
    114, 115, 116, 122, 125, 131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205,
    212, 223, 225, 226, 243, 244, 245, 246, 251, 252, 255, 261, 263, 265, 266, 271, 274, 306,
    311, 315, 325, 331, 332, 343, 346, 351, 356, 364, 365, 371, 411, 412, 413, 423, 431, 432,
    445, 446, 452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546, 565, 606,
    612, 624, 627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

// "None", the 50 CTCSS texts, the 107 "D...N" texts, the 107 "D...I" texts: 265 entries.
const std::vector<std::string>& ToneChoiceList();

std::string NormalizeToneText(std::string_view typed);
// A tone as a user types it into a tone box (the grid, Channel Edit), names it for batch
// generation or gives it on the command line. A number is read as a tone of the lists, never as
// a code outside them: a comma is a decimal point ("88,5" is 88.5); a whole number that is a
// DCS code of the list is that code ("23" is D023N), else the CTCSS tone of that value ("67" is
// 67.0); any other number ("68", "88.6", "300.0") is refused: nothing, and the box keeps what it
// held. Other texts ("d23i", "None") go through NormalizeToneText; "" stays "".
std::optional<std::string> TypedToneText(std::string_view typed);
std::array<std::uint8_t, 2> ToneCodeEncode(std::string_view text);  // {b0, b1}
std::string ToneCodeDecode(std::uint8_t b0, std::uint8_t b1);

// ---- DTMF digits --------------------------------------------------------------------------
std::uint8_t DtmfCharToCode(char c);  // '#' 15, '*' 14, hex digit its value, else 255
std::optional<char> DtmfCodeToChar(std::uint8_t code);

// ---- character filters of edit fields (backspace always passes) ---------------------------
inline constexpr std::string_view kFrequencyFilter = "0123456789.\b";
inline constexpr std::string_view kChannelLabelFilter = "ABab0123456789\b";
inline constexpr std::string_view kHexFilter = "0123456789ABCDEF\b";
inline constexpr std::string_view kDtmfFilter = "0123456789ABCD#*\b";
inline constexpr std::string_view kSignedNumberFilter = "0123456789-\b";
bool FilterAccepts(std::string_view filter, char c);

// ---- spin buddy texts ---------------------------------------------------------------------
enum class SpinFormat { Decimal, Hex };  // "%d" and "%x"
// The number a spin reads from its buddy text: the leading number in the format (empty or
// non-numeric = 0).
std::int64_t SpinTextValue(std::string_view text, SpinFormat format);
// Reads the text's leading number in the format (empty or non-numeric = 0), clamps into
// [low, high] and writes it back in the format.
std::string ClampSpinText(std::string_view text, int low, int high, SpinFormat format);
// Adds delta; a result outside [low, high] becomes high when delta < 1, else low.
std::string WrapSpinText(std::string_view text, int delta, int low, int high, SpinFormat format);

}  // namespace kestra
