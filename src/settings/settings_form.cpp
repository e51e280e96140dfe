// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_form.hpp"

#include <algorithm>
#include <cstdio>

#include "model/codecs.hpp"

namespace kestra {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

constexpr TypingRules kMessageTyping{{}, 0, false};

bool IsPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

// A character of a refused value, readable in a one-line message.
std::string Shown(char c) {
    if (IsPrintable(c)) {
        return std::string("'") + c + "'";
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned char>(c));
    return buffer;
}

std::string JoinTexts(std::span<const std::string_view> texts) {
    std::string joined;
    for (std::string_view text : texts) {
        joined += joined.empty() ? "" : ", ";
        joined += text;
    }
    return joined;
}

void EncodeBroadcast(MemoryImage& image, const BroadcastFrequencyField& field,
                     std::string_view text) {
    image.fill(field.offset, field.slotWidth, 0xFF);
    if (text.empty()) {
        return;
    }
    const auto khz = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(NumberTextValue(text, kBroadcastRule), 0, 999999));
    const auto bytes = Bcd8Encode(khz);
    image.write(field.offset, std::span<const std::uint8_t>(bytes).first(3));
}

}  // namespace

// ---- codecs of the field kinds ------------------------------------------------------------

std::string DecodeDtmfCode(const MemoryImage& image, std::size_t offset, std::size_t width) {
    std::string text;
    for (std::size_t i = 0; i < width; ++i) {
        const auto c = DtmfCodeToChar(image[offset + i]);
        if (!c) {
            break;
        }
        text.push_back(*c);
    }
    return text;
}

void EncodeDtmfCode(MemoryImage& image, const DtmfCodeField& field, std::string_view text) {
    image.fill(field.offset, field.width, 0xFF);
    const std::size_t room = field.endMark ? field.width - 1 : field.width;
    const std::size_t count = std::min(text.size(), room);
    for (std::size_t i = 0; i < count; ++i) {
        image[field.offset + i] = DtmfCharToCode(text[i]);
    }
    if (field.endMark && count > 0) {
        image[field.offset + count] = DtmfCharToCode('#');
    }
}

std::string DecodePowerOnMessage(const MemoryImage& image, const MessageField& field) {
    std::string text;
    for (std::size_t i = 0; i < field.width; ++i) {
        const std::uint8_t byte = image[field.offset + i];
        // The radio keeps digits, "*" and "#" as DTMF codes; everything else as the character.
        char c = static_cast<char>(byte);
        if (byte <= 9 || byte == 14 || byte == 15) {
            c = *DtmfCodeToChar(byte);
        }
        if (!IsPrintable(c)) {
            break;
        }
        text.push_back(c);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::optional<int> DecodeBroadcastKhz(const MemoryImage& image, std::size_t offset) {
    const int khz = BcdByteDecode(image[offset]) + 100 * BcdByteDecode(image[offset + 1]) +
                    10000 * BcdByteDecode(image[offset + 2]);
    if (khz < kBroadcastRule.low || khz > kBroadcastRule.high) {
        return std::nullopt;
    }
    return khz;
}

// ---- the form -----------------------------------------------------------------------------

SettingsForm::SettingsForm(std::string_view section, std::span<const Setting> settings)
    : section_(section), settings_(settings), texts_(settings.size()) {}

std::string_view SettingsForm::Caption(std::size_t field) const {
    return std::visit([](const auto& codec) { return codec.caption; }, settings_[field].codec);
}

ControlKind SettingsForm::Kind(std::size_t field) const {
    const FieldCodec& codec = settings_[field].codec;
    if (std::holds_alternative<ListField>(codec)) {
        return ControlKind::List;
    }
    if (const auto* number = std::get_if<NumberField>(&codec); number && number->spin) {
        return ControlKind::SpinEdit;
    }
    return ControlKind::Edit;
}

std::span<const std::string_view> SettingsForm::ListTexts(std::size_t field) const {
    const auto* list = std::get_if<ListField>(&settings_[field].codec);
    return list != nullptr ? list->texts : std::span<const std::string_view>();
}

TypingRules SettingsForm::Typing(std::size_t field) const {
    return std::visit(Overloaded{[](const ListField&) { return TypingRules{}; },
                                 [](const NumberField& f) { return f.typing; },
                                 [](const DtmfCodeField& f) { return f.typing; },
                                 [](const MessageField& f) {
                                     TypingRules rules = kMessageTyping;
                                     rules.maxLength = static_cast<int>(f.width);
                                     return rules;
                                 },
                                 [](const BroadcastFrequencyField&) { return kBroadcastTyping; },
                                 [](const HeldTextField& f) { return f.typing; }},
                      settings_[field].codec);
}

bool SettingsForm::InImage(std::size_t field) const {
    return !std::holds_alternative<HeldTextField>(settings_[field].codec);
}

std::optional<std::size_t> SettingsForm::Find(std::string_view caption) const {
    for (std::size_t i = 0; i < settings_.size(); ++i) {
        if (Caption(i) == caption) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<ImageBits> SettingsForm::Owned(std::size_t field) const {
    const auto bytes = [](std::size_t offset, std::size_t count) {
        std::vector<ImageBits> owned;
        for (std::size_t i = 0; i < count; ++i) {
            owned.push_back({offset + i, 0xFF});
        }
        return owned;
    };
    return std::visit(
        Overloaded{[](const ListField& f) {
                       return std::vector<ImageBits>{{f.where.offset, f.where.Mask()}};
                   },
                   [&](const NumberField& f) { return bytes(f.offset, 1); },
                   [&](const DtmfCodeField& f) { return bytes(f.offset, f.width); },
                   [&](const MessageField& f) { return bytes(f.offset, f.width); },
                   [&](const BroadcastFrequencyField& f) { return bytes(f.offset, f.slotWidth); },
                   [](const HeldTextField&) { return std::vector<ImageBits>{}; }},
        settings_[field].codec);
}

void SettingsForm::SetText(std::size_t field, std::string text) {
    texts_[field] = std::move(text);
}

void SettingsForm::Leave(std::size_t field) {
    Normalize(field);
}

void SettingsForm::Step(std::size_t field, int direction) {
    const auto* number = std::get_if<NumberField>(&settings_[field].codec);
    if (number != nullptr && number->spin) {
        texts_[field] = StepNumberText(texts_[field], number->rule, *number->spin, direction);
    }
}

void SettingsForm::Normalize(std::size_t field) {
    std::string& text = texts_[field];
    std::visit(
        Overloaded{[&text](const ListField& f) {
                       if (ListIndexOf(f, text) < 0) {
                           text = f.fallbackIndex >= 0 ? std::string(f.texts[f.fallbackIndex])
                                                       : std::string();
                       }
                   },
                   [&text](const NumberField& f) { text = NormalizeNumberText(text, f.rule); },
                   [&text](const BroadcastFrequencyField&) {
                       text = NormalizeNumberText(text, kBroadcastRule);
                   },
                   [](const auto&) {}},
        settings_[field].codec);
}

void SettingsForm::LoadFromImage(const MemoryImage& image) {
    for (std::size_t i = 0; i < settings_.size(); ++i) {
        std::string& text = texts_[i];
        std::visit(
            Overloaded{[&](const ListField& f) {
                           const int index = DecodeListIndex(image, f);
                           text = index >= 0 ? std::string(f.texts[index]) : std::string();
                       },
                       [&](const NumberField& f) { text = DecodeNumberText(image, f); },
                       [&](const DtmfCodeField& f) {
                           text = DecodeDtmfCode(image, f.offset, f.width);
                           // The end mark of a full-length code sits in the last byte; drop
                           // it, then keep what the edit can hold.
                           if (f.endMark && !text.empty() && text.back() == '#') {
                               text.pop_back();
                           }
                           if (f.typing.maxLength > 0) {
                               text.resize(std::min<std::size_t>(
                                   text.size(), static_cast<std::size_t>(f.typing.maxLength)));
                           }
                       },
                       [&](const MessageField& f) { text = DecodePowerOnMessage(image, f); },
                       [&](const BroadcastFrequencyField& f) {
                           const auto khz = DecodeBroadcastKhz(image, f.offset);
                           text = khz ? NumberText(*khz, kBroadcastRule) : std::string();
                       },
                       [](const HeldTextField&) {}},
            settings_[i].codec);
        Normalize(i);
    }
}

void SettingsForm::StoreToImage(MemoryImage& image) {
    for (std::size_t i = 0; i < settings_.size(); ++i) {
        Normalize(i);
        const std::string& text = texts_[i];
        std::visit(
            Overloaded{[&](const ListField& f) { EncodeListIndex(image, f, ListIndexOf(f, text)); },
                       [&](const NumberField& f) { EncodeNumberText(image, f, text); },
                       [&](const DtmfCodeField& f) { EncodeDtmfCode(image, f, text); },
                       [&](const MessageField& f) {
                           for (std::size_t k = 0; k < f.width; ++k) {
                               image[f.offset + k] =
                                   static_cast<std::uint8_t>(k < text.size() ? text[k] : ' ');
                           }
                       },
                       [&](const BroadcastFrequencyField& f) { EncodeBroadcast(image, f, text); },
                       [](const HeldTextField&) {}},
            settings_[i].codec);
    }
}

std::optional<std::string> SettingsForm::Enter(std::size_t field, std::string_view value) {
    if (Kind(field) == ControlKind::List) {
        const auto texts = ListTexts(field);
        if (std::find(texts.begin(), texts.end(), value) == texts.end()) {
            return std::string(Caption(field)) + " takes one of " + JoinTexts(texts) + ", not '" +
                   std::string(value) + "'";
        }
        SetText(field, std::string(value));
        Leave(field);
        return std::nullopt;
    }
    // Text the field shows already needs no typing (it may hold what the image held but a
    // user could not type, such as a letter in the Own ID).
    if (value != Text(field)) {
        const TypingRules rules = Typing(field);
        std::string typed;
        for (char c : value) {
            const auto accepted = TypedCharacter(rules, c);
            if (!accepted) {
                return Shown(c) + " cannot be typed into " + std::string(Caption(field));
            }
            typed.push_back(*accepted);
        }
        if (rules.maxLength > 0 && typed.size() > static_cast<std::size_t>(rules.maxLength)) {
            return std::string(Caption(field)) + " takes at most " +
                   std::to_string(rules.maxLength) + " characters";
        }
        SetText(field, std::move(typed));
    }
    Leave(field);
    return std::nullopt;
}

}  // namespace kestra
