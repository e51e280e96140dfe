// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/dtmf_settings.hpp"

#include <array>
#include <cstdint>

#include "model/image_map.hpp"
#include "settings/setting_rows.hpp"

namespace kestra {

namespace {

using namespace setting_rows;

// ---- Encode -------------------------------------------------------------------------------

constexpr std::array<std::string_view, 4> kSideTone{"Off", "Key", "ID", "Key+ID"};
constexpr std::array<std::string_view, 4> kSpeed{"6", "8", "10", "15"};
constexpr std::array<std::uint8_t, 4> kToneLengths{83, 63, 50, 34};  // ms per digit
constexpr std::array<std::string_view, 4> kMilliseconds{"0", "100", "500", "1000"};
constexpr std::array<std::uint8_t, 4> kFiftieths{0, 2, 10, 20};

// Stored as ms / 50; a list entry is found by the text the stored value gives in ms, so that
// the entry "500" also takes a stored 1 (50 ms).
Setting MillisecondList(std::string_view caption, std::size_t offset) {
    return Setting{ListField{caption, Byte(offset), kMilliseconds, 1, kFiftieths,
                             ListField::Match::ShownPrefix, 50}};
}

// Whole seconds from 3 to 60, clamped; the spin wraps from one end to the other.
constexpr NumberRule kSecondsRule{.low = 3, .high = 60, .clamp = true};
constexpr TypingRules kTwoDigits{kDigitsOnly, 2, false};

const std::array<Setting, 9> kEncode{
    List("Side Tone", Bits(map::kMenuByte49, 3, 2), kSideTone, 0),
    Setting{ListField{"Speed (digit/s)", Byte(map::kDtmfSpeed), kSpeed, 2, kToneLengths}},
    Setting{NumberField{.caption = "First Digit Delay Time (ms)",
                        .offset = map::kDtmfFirstDigitDelay,
                        .rule = {.multipleOf = 100, .low = 100, .high = 1000, .replacement = 200},
                        .typing = {kDigitsOnly, 4, false},
                        .storeUnit = 50,
                        .spin = SpinRule{100, true}}},
    MillisecondList("First Digit TIme (ms)", map::kDtmfFirstDigitTime),
    MillisecondList("* and # Tone (ms)", map::kDtmfStarHashTime),
    Setting{DtmfCodeField{"PTT ID BOT", map::kPttIdBot, map::kPttIdSize, DtmfTyping(16)}},
    Setting{DtmfCodeField{"PTT ID EOT", map::kPttIdEot, map::kPttIdSize, DtmfTyping(16)}},
    List("Wait Reply", Bits(map::kDecodeFlags, 2, 1), kOffOn, 0),
    Setting{NumberField{.caption = "Wait Reply Time (s)",
                        .offset = map::kWaitReplyTime,
                        .rule = kSecondsRule,
                        .typing = kTwoDigits,
                        .spin = SpinRule{1, false}}},
};

// ---- Decode -------------------------------------------------------------------------------

constexpr std::array<std::string_view, 6> kCodeLetters{"A", "B", "C", "D", "*", "#"};
constexpr std::array<std::uint8_t, 6> kCodeLetterCodes{10, 11, 12, 13, 14, 15};
constexpr std::array<std::string_view, 2> kKillActive{"On", "Off"};
constexpr std::array<std::uint8_t, 2> kKillActiveBits{1, 0};
constexpr std::array<std::string_view, 4> kKillType{"Off", "Inhibit tx", "Inhibit rx/tx", "Kill"};
constexpr std::array<std::string_view, 4> kResponse{"None", "Alert", "Reply", "Alert+Reply"};

const std::array<Setting, 8> kDecode{
    Setting{ListField{"Group Code", Byte(map::kGroupCode), kCodeLetters, 0, kCodeLetterCodes}},
    Setting{DtmfCodeField{"Kill Code", map::kKillCode, map::kKillCodeSize, DtmfTyping(15), true}},
    Setting{DtmfCodeField{"Alarm Code", map::kAlarmCode, map::kAlarmCodeSize, DtmfTyping(8)}},
    Setting{NumberField{.caption = "Auto Reset Time (s)",
                        .offset = map::kAutoResetTime,
                        .rule = kSecondsRule,
                        .typing = kTwoDigits,
                        .spin = SpinRule{1, false},
                        .decodeFallback = 10}},
    List("Decode Response", Bits(map::kDecodeFlags, 0, 2), kResponse, 0),
    Setting{
        ListField{"Kill Active", Bits(map::kDecodeFlags, 7, 1), kKillActive, 1, kKillActiveBits}},
    // Hundredths of a second, shown with one decimal, 0.1 to 2.5; the point may be typed.
    Setting{NumberField{
        .caption = "Decode Time (s)",
        .offset = map::kDecodeTime,
        .rule =
            {.valueDecimals = 2, .shownDecimals = 1, .low = 10, .high = 250, .replacement = 250},
        .typing = {kDecimalDigits, 3, false},
        .spin = SpinRule{10, false}}},
    List("Kill Type", Byte(map::kKillType), kKillType, 0),
};

// ---- Auto Dial ----------------------------------------------------------------------------

Setting CodeRow(std::string_view caption, int row) {
    return Setting{DtmfCodeField{caption, map::AutoDialCodeOf(row), map::kAutoDialCodeSize,
                                 DtmfTyping(static_cast<int>(map::kAutoDialCodeSize))}};
}

const std::array<Setting, 13> kAutoDial{
    Setting{DtmfCodeField{"Own ID", map::kOwnId, map::kOwnIdSize, {kDigitsOnly, 7, true}}},
    Setting{HeldTextField{"Call ID", DtmfTyping(7)}},
    Setting{ListField{"Delimiter", Byte(map::kDelimiter), kCodeLetters, 0, kCodeLetterCodes}},
    CodeRow("Code 0", 0),
    CodeRow("Code 1", 1),
    CodeRow("Code 2", 2),
    CodeRow("Code 3", 3),
    CodeRow("Code 4", 4),
    CodeRow("Code 5", 5),
    CodeRow("Code 6", 6),
    CodeRow("Code 7", 7),
    CodeRow("Code 8", 8),
    CodeRow("Code 9", 9),
};

}  // namespace

std::span<const Setting> DtmfEncodeSettings() {
    return kEncode;
}

std::span<const Setting> DtmfDecodeSettings() {
    return kDecode;
}

std::span<const Setting> DtmfAutoDialSettings() {
    return kAutoDial;
}

DtmfEncodePage::DtmfEncodePage() : SettingsForm("DTMF Encode", kEncode) {}

DtmfDecodePage::DtmfDecodePage() : SettingsForm("DTMF Decode", kDecode) {}

DtmfAutoDialPage::DtmfAutoDialPage(std::string& callId)
    : SettingsForm("DTMF Auto Dial", kAutoDial), callId_(callId) {
    SetText(kCallId, callId_);
}

void DtmfAutoDialPage::LoadFromImage(const MemoryImage& image) {
    SettingsForm::LoadFromImage(image);
    Remember();
}

void DtmfAutoDialPage::StoreToImage(MemoryImage& image) {
    callId_ = Text(kCallId);
    SettingsForm::StoreToImage(image);
}

void DtmfAutoDialPage::Leave(std::size_t field) {
    SettingsForm::Leave(field);
    if (field == kOwnId && Text(kOwnId).empty()) {
        SetText(kOwnId, rememberedOwnId_);
        return;
    }
    if (field == kOwnId || field == kDelimiter) {
        RewriteSuffixes();
        Remember();
    }
}

void DtmfAutoDialPage::AniCall(int row) {
    if (row < 0 || row >= kCodeRows) {
        return;
    }
    const std::string code = Text(kCallId) + Text(kDelimiter) + Text(kOwnId);
    SetText(kFirstCode + static_cast<std::size_t>(row), code.substr(0, map::kAutoDialCodeSize));
}

void DtmfAutoDialPage::Remember() {
    rememberedOwnId_ = Text(kOwnId);
    rememberedSuffix_ = Text(kDelimiter) + rememberedOwnId_;
}

void DtmfAutoDialPage::RewriteSuffixes() {
    const std::string suffix = Text(kDelimiter) + Text(kOwnId);
    for (int row = 0; row < kCodeRows; ++row) {
        const std::size_t field = kFirstCode + static_cast<std::size_t>(row);
        const std::string& code = Text(field);
        if (!code.ends_with(rememberedSuffix_)) {
            continue;
        }
        std::string rewritten = code.substr(0, code.size() - rememberedSuffix_.size()) + suffix;
        // A code that would no longer fit its sixteen digits keeps its old ending rather than
        // losing digits of the new one.
        if (rewritten.size() <= map::kAutoDialCodeSize) {
            SetText(field, std::move(rewritten));
        }
    }
}

}  // namespace kestra
