// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One settings form as its dialog shows it: a table of fields (see model/field_layout.hpp) and
// the text every control shows. Opening decodes the block into the texts and applies the
// fallbacks and normalisation, leaving a field normalises it, closing normalises again and
// encodes every text back into the image, each field into its own bytes and bits. The dialogs
// only bind controls to these texts; the command line reads and sets them by caption.
//
// A list field's text is the selected entry's text, or empty while nothing is selected.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/field_layout.hpp"
#include "model/memory_image.hpp"

namespace kestra {

// A run of DTMF digit codes, one per byte, 0xFF after the last. An end-marked code (the kill
// code) is followed by the code of "#" when it is not empty; the mark is not part of the text.
struct DtmfCodeField {
    std::string_view caption;
    std::size_t offset = 0;
    std::size_t width = 0;
    TypingRules typing = {};
    bool endMark = false;
};

// The power-on message: one character per byte, padded with spaces.
struct MessageField {
    std::string_view caption;
    std::size_t offset = 0;
    std::size_t width = 0;
};

// A broadcast receiver frequency: kHz as 6 BCD digits (least significant pair first) in the
// first three bytes of a slot that is all 0xFF while empty; shown in MHz, 76 to 108.
struct BroadcastFrequencyField {
    std::string_view caption;
    std::size_t offset = 0;
    std::size_t slotWidth = 3;
};

// A text the form shows but the image does not hold (the Auto Dial page's Call ID).
struct HeldTextField {
    std::string_view caption;
    TypingRules typing = {};
};

using FieldCodec = std::variant<ListField, NumberField, DtmfCodeField, MessageField,
                                BroadcastFrequencyField, HeldTextField>;

struct Setting {
    FieldCodec codec;
    bool visible = true;  // the dialog shows a control for it
};

enum class ControlKind { List, Edit, SpinEdit };

class SettingsForm {
public:
    SettingsForm(std::string_view section, std::span<const Setting> settings);
    virtual ~SettingsForm() = default;
    SettingsForm(const SettingsForm&) = delete;
    SettingsForm& operator=(const SettingsForm&) = delete;

    // The form's name in a settings file ("Optional Features", "DTMF Encode", ...).
    std::string_view Section() const { return section_; }
    std::size_t Count() const { return settings_.size(); }
    const Setting& At(std::size_t field) const { return settings_[field]; }
    std::string_view Caption(std::size_t field) const;
    ControlKind Kind(std::size_t field) const;
    std::span<const std::string_view> ListTexts(std::size_t field) const;  // empty for edits
    TypingRules Typing(std::size_t field) const;
    // Whether the field lives in the image (and so in a settings file).
    bool InImage(std::size_t field) const;
    std::optional<std::size_t> Find(std::string_view caption) const;
    // The bits of the image the field decodes and encodes (none for a text the image does not
    // hold).
    std::vector<ImageBits> Owned(std::size_t field) const;

    const std::string& Text(std::size_t field) const { return texts_[field]; }
    // What the control now shows: typed text (already filtered) or a chosen entry's text.
    void SetText(std::size_t field, std::string text);
    // The user left the field after typing into it or choosing an entry.
    virtual void Leave(std::size_t field);
    // One step of the field's up-down control (direction > 0 is up).
    void Step(std::size_t field, int direction);

    // Decode every field, then apply fallbacks and normalisation (opening, showing a page).
    virtual void LoadFromImage(const MemoryImage& image);
    // Normalise every field, then encode it (closing, hiding a page).
    virtual void StoreToImage(MemoryImage& image);

    // Sets a field as a user would: a list takes exactly one of its texts; an edit takes the
    // text typed into it (upper-cased where the edit does that) when every character can be
    // typed there and it fits. Then leaves the field. The reason when the value is refused.
    std::optional<std::string> Enter(std::size_t field, std::string_view value);

protected:
    // The field's own rule when it is left and before encoding: list fallbacks, number rules.
    void Normalize(std::size_t field);

private:
    std::string_view section_;
    std::span<const Setting> settings_;
    std::vector<std::string> texts_;
};

// ---- codecs of the field kinds ------------------------------------------------------------

// The text of the codes from offset on, ending at the first code above 15 or after width.
std::string DecodeDtmfCode(const MemoryImage& image, std::size_t offset, std::size_t width);
// Clears the field to 0xFF and writes the codes of the text from its first byte (never more
// than fit), followed by the code of "#" when endMark is set and the text is not empty.
void EncodeDtmfCode(MemoryImage& image, const DtmfCodeField& field, std::string_view text);

std::string DecodePowerOnMessage(const MemoryImage& image, const MessageField& field);
// kHz as stored, or nothing when the slot holds no frequency from 76 to 108 MHz.
std::optional<int> DecodeBroadcastKhz(const MemoryImage& image, std::size_t offset);

// How broadcast receiver frequencies are typed and normalised: MHz with three decimals, 76000
// to 108000 kHz, anything outside becomes 76000, an empty text stays empty.
inline constexpr NumberRule kBroadcastRule{.valueDecimals = 3,
                                           .shownDecimals = 3,
                                           .low = 76000,
                                           .high = 108000,
                                           .replacement = 76000,
                                           .emptyStays = true};
inline constexpr TypingRules kBroadcastTyping{kDecimalDigits, 7, false};

}  // namespace kestra
