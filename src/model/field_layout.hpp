// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the editors' settings blocks are described: one table row per field, naming where its bits
// live in the memory image and what the form offers for it. The codec (decode on open, encode on
// close), the dialog that builds its controls from the table and the command line all read the
// same rows, so a field's offset, bits, list and fallback are written down exactly once.
//
// Bit fields are written read-modify-write: only the field's own bits change, every other bit of
// the byte keeps what it held.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/memory_image.hpp"

namespace kestra {

// Bits shift..shift+width-1 of the byte at offset (bit 0 is the least significant). A whole
// byte is shift 0, width 8.
struct BitField {
    std::size_t offset = 0;
    std::uint8_t shift = 0;
    std::uint8_t width = 8;

    constexpr std::uint8_t Mask() const {
        return static_cast<std::uint8_t>(((1u << width) - 1u) << shift);
    }
};

// Bits of one byte of the image that a field owns: what a comparison of two images explains by
// the field's caption.
struct ImageBits {
    std::size_t offset = 0;
    std::uint8_t mask = 0xFF;
};

inline std::uint8_t ReadBits(const MemoryImage& image, BitField field) {
    return static_cast<std::uint8_t>((image[field.offset] & field.Mask()) >> field.shift);
}

// Values wider than the field keep only the bits that fit.
inline void WriteBits(MemoryImage& image, BitField field, unsigned value) {
    const std::uint8_t mask = field.Mask();
    const auto shifted = static_cast<std::uint8_t>((value << field.shift) & mask);
    image[field.offset] = static_cast<std::uint8_t>((image[field.offset] & ~mask) | shifted);
}

// ---- typed text ---------------------------------------------------------------------------

// What an edit lets a user type: the characters it takes (after forcing upper case when it
// does), and how many. An empty set takes every printable ASCII character (0x20-0x7E).
struct TypingRules {
    std::string_view accepts;
    int maxLength = 0;
    bool upperCase = false;
};

inline constexpr std::string_view kDigitsOnly = "0123456789";
inline constexpr std::string_view kDecimalDigits = "0123456789.";
inline constexpr std::string_view kHexDigits = "0123456789ABCDEF";
inline constexpr std::string_view kSignedDigits = "0123456789-";

// The character as the edit would hold it, or nothing when the edit refuses it.
std::optional<char> TypedCharacter(const TypingRules& rules, char c);
// The text as the edit would hold it (upper-cased where the rules say so), or nothing when a
// character or the length is refused.
std::optional<std::string> TypedText(const TypingRules& rules, std::string_view text);

// ---- drop-down lists ----------------------------------------------------------------------

// A drop-down field: its caption, where its value is stored, the list's texts in order, and the
// entry chosen when the stored value has none (kNoFallback: every stored value has an entry).
//
// By default an entry's stored value is its index; `values` gives each entry its own stored
// value instead (a DTMF digit code, a tone length). A ShownPrefix list finds its entry the way a
// list selects by text: the stored value times `unit`, written in decimal, picks the first
// entry that begins with that text (so a stored 1 with unit 50 picks "500").
struct ListField {
    static constexpr int kNoFallback = -1;
    enum class Match { Value, ShownPrefix };

    std::string_view caption;
    BitField where;
    std::span<const std::string_view> texts;
    int fallbackIndex = kNoFallback;
    std::span<const std::uint8_t> values = {};
    Match match = Match::Value;
    int unit = 1;
};

// The entry the stored value selects, the fallback when it selects none, or -1 when the list
// has no fallback either.
int DecodeListIndex(const MemoryImage& image, const ListField& field);
// Writes the stored value of entry index into the field's bits; an index outside the list
// writes nothing.
void EncodeListIndex(MemoryImage& image, const ListField& field, int index);
// The index of the entry with exactly this text, or -1.
int ListIndexOf(const ListField& field, std::string_view text);

// ---- numbers typed as decimal text --------------------------------------------------------

// A number an edit shows as decimal text. The value is an integer in units of
// 10^-valueDecimals of the shown unit (hundredths of a second: valueDecimals 2); the text has
// shownDecimals fraction digits. Normalising a text (when its edit loses the focus, and before
// encoding) reads it with exact decimal arithmetic, truncating, cuts it down to a multiple of
// `multipleOf`, then either clamps it into [low, high] or replaces a value outside with
// `replacement`.
struct NumberRule {
    int valueDecimals = 0;
    int shownDecimals = 0;
    int multipleOf = 1;
    int low = 0;
    int high = 0;
    bool clamp = false;
    int replacement = 0;
    bool emptyStays = false;  // an empty text stays empty instead of reading as 0
};

// The text's value by the rule's decimals, exact and truncated (an empty or non-numeric text
// is 0).
std::int64_t NumberTextValue(std::string_view text, const NumberRule& rule);
// The value as the edit shows it; fraction digits beyond shownDecimals are rounded half up.
std::string NumberText(std::int64_t value, const NumberRule& rule);
// The text after the rule: a value within [low, high] (or an empty text when emptyStays).
std::string NormalizeNumberText(std::string_view text, const NumberRule& rule);

// How an up-down control beside the edit steps the value: by `step`, or (toMultiple) to the
// next multiple of step above or below. A result outside [low, high] wraps: stepping up gives
// low, stepping down gives high.
struct SpinRule {
    int step = 1;
    bool toMultiple = false;
};
std::string StepNumberText(std::string_view text, const NumberRule& rule, const SpinRule& spin,
                           int direction);

// A number stored in one byte as value / storeUnit (milliseconds / 50: storeUnit 50). Decoding
// shows the stored byte; a byte outside [low, high] shows decodeFallback instead when one is
// given, otherwise the rule's normalisation deals with it.
struct NumberField {
    std::string_view caption;
    std::size_t offset = 0;
    NumberRule rule = {};
    TypingRules typing = {};
    int storeUnit = 1;
    std::optional<SpinRule> spin = std::nullopt;
    std::optional<int> decodeFallback = std::nullopt;
};

std::string DecodeNumberText(const MemoryImage& image, const NumberField& field);
// Encodes an already normalised text.
void EncodeNumberText(MemoryImage& image, const NumberField& field, std::string_view text);

}  // namespace kestra
