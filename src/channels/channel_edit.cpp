// SPDX-License-Identifier: GPL-3.0-or-later
// The Channel Edit dialog's rules: load, save and the commits of its boxes.

#include "channels/channel_edit.hpp"

#include <algorithm>
#include <utility>

#include "channels/channel_table.hpp"
#include "model/ascii.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/field_layout.hpp"
#include "model/image_map.hpp"

namespace kestra {

namespace {

constexpr int kMemoryChannels = 256;
constexpr int kSectionChannels = 128;

// A list field of the kChannelListFields table moved onto one record.
ListField FieldOfRecord(std::size_t list, int record) {
    ListField field = kChannelListFields[list];
    field.where.offset += RecordOffset(record);
    return field;
}

// What a new channel's lists show, in kChannelListFields order: Tx Power "High", W/N "Wide",
// every other list (Scan Add included) its first entry.
constexpr std::array<int, kChannelListFields.size()> kNewChannelLists{1, 1, 0, 0, 0, 0, 0, 0, 0};

bool IsVfoNumber(int number) {
    return number > kMemoryChannels;
}

}  // namespace

bool NameCharacterAccepted(char c) {
    return c >= 0x20 && c <= 0x7E;
}

int ParseChannelText(std::string_view text) {
    // A lower-case section letter names the same section as an upper-case one.
    return ChannelNumberFromLabel(ToUpperAscii(text));
}

int ClampChannelNumber(int number) {
    return std::clamp(number, 1, kChannelSlotCount);
}

ChannelEditor::ChannelEditor(MemoryImage& image, const SectionLimits& limits, int number)
    : image_(image), limits_(limits) {
    fields_.ch = ChannelLabel(ClampChannelNumber(number));
    LoadChannel();
}

void ChannelEditor::LoadChannel() {
    number_ = ClampChannelNumber(ParseChannelText(fields_.ch));
    const int record = number_ - 1;
    const ConstChannelRecord channel(image_, record);
    if (channel.Byte(3) == 0xFF) {
        SetChannelControlsEnabled(false);
    } else {
        SetChannelControlsEnabled(true);
        fields_.rxFreq = FrequencyToMhzText(
            static_cast<Frequency>(Bcd8Decode(image_.span(RecordOffset(record), 4))));
        const std::uint8_t txTop = channel.Byte(7);
        fields_.txFreq = txTop == 0xFF || txTop == 0x00
                             ? std::string()
                             : FrequencyToMhzText(static_cast<Frequency>(
                                   Bcd8Decode(image_.span(RecordOffset(record) + 4, 4))));
        fields_.rxTone = GridToneText(channel.Byte(8), channel.Byte(9));
        fields_.txTone = GridToneText(channel.Byte(10), channel.Byte(11));
        for (std::size_t i = 0; i < fields_.lists.size(); ++i) {
            fields_.lists[i] = DecodeListIndex(image_, FieldOfRecord(i, record));
        }
        fields_.name = channel.Name();
    }
    committedRx_ = fields_.rxFreq;
    committedRxTone_ = fields_.rxTone;
    committedTxTone_ = fields_.txTone;
}

void ChannelEditor::SaveChannel() {
    const int record = number_ - 1;
    if (committedRx_.empty()) {
        WriteClearedRecord(image_, record);
        return;
    }
    ChannelRecord channel(image_, record);
    const Frequency rx = CellFrequency(committedRx_);
    channel.SetRxFrequency(rx);
    if (fields_.txFreq.empty()) {
        channel.SetTxFrequency(std::nullopt);
    } else {
        channel.SetTxFrequency(CellFrequency(fields_.txFreq));
    }
    const Frequency tx = fields_.txFreq.empty() ? rx : CellFrequency(fields_.txFreq);
    // No band test: a cross-band pair keeps its full difference.
    channel.SetShiftDirection(tx == rx ? 0 : rx > tx ? 1 : 2);
    channel.SetShiftAmount(tx == rx ? kNoShiftMagnitude
                                    : static_cast<std::uint32_t>(rx > tx ? rx - tx : tx - rx));
    // Text typed but never committed is read now, so no number becomes a code outside the lists;
    // a tone as loaded is stored as it was. An emptied box means no tone, not a 0.0 Hz CTCSS tone.
    for (auto [box, committed] : {std::pair{&fields_.rxTone, &committedRxTone_},
                                  std::pair{&fields_.txTone, &committedTxTone_}}) {
        if (*box != *committed) {
            CommitTone(*box, *committed);
        }
    }
    channel.SetRxToneText(fields_.rxTone.empty() ? "None" : fields_.rxTone);
    channel.SetTxToneText(fields_.txTone.empty() ? "None" : fields_.txTone);
    channel.SetName(std::string_view(fields_.name).substr(0, kChannelNameLength));
    for (std::size_t i = 0; i < fields_.lists.size(); ++i) {
        EncodeListIndex(image_, FieldOfRecord(i, record), std::max(fields_.lists[i], 0));
    }
    if (number_ <= kMemoryChannels) {
        const int section = record / kSectionChannels;
        SetChannelBit(image_, map::PresentMapOf(section), record % kSectionChannels + 1, true);
    }
}

std::string ChannelEditor::CommittedFrequencyText(std::string_view typed) const {
    const std::int64_t value = ScaleDecimalText(typed, 5);
    Frequency f = limits_.lower[0];
    if (value > 0 && value <= kMaxCellFrequency &&
        limits_.SectionOf(static_cast<Frequency>(value)) >= 0) {
        f = static_cast<Frequency>(value);
    }
    return FrequencyToMhzText(SnapTypedFrequency(f));
}

void ChannelEditor::PresetNewChannel() {
    fields_.rxTone = committedRxTone_ = "None";
    fields_.txTone = committedTxTone_ = "None";
    fields_.lists = kNewChannelLists;
}

void ChannelEditor::CommitRxFrequency() {
    if (fields_.rxFreq.empty()) {
        // The channel is being deleted: closing or leaving it now writes the default record.
        SetChannelControlsEnabled(false);
        committedRx_.clear();
        return;
    }
    SetChannelControlsEnabled(true);
    const std::string text = CommittedFrequencyText(fields_.rxFreq);
    fields_.rxFreq = text;
    if (committedRx_.empty()) {
        fields_.txFreq = text;
        PresetNewChannel();
    } else if (IsVfoNumber(number_) &&
               !limits_.SameSection(CellFrequency(fields_.txFreq), CellFrequency(text))) {
        fields_.txFreq = text;
    }
    committedRx_ = text;
}

void ChannelEditor::CommitTxFrequency(std::string_view textAtFocus) {
    if (fields_.rxFreq.empty()) {
        return;
    }
    if (fields_.txFreq.empty()) {
        fields_.txFreq = std::string(textAtFocus);  // the Tx cannot be removed here
        return;
    }
    const std::string text = CommittedFrequencyText(fields_.txFreq);
    fields_.txFreq = text;
    if (IsVfoNumber(number_) &&
        !limits_.SameSection(CellFrequency(fields_.rxFreq), CellFrequency(text))) {
        // The Rx box shows the Tx's section now; what is saved must be what is shown.
        fields_.rxFreq = text;
        committedRx_ = text;
    }
}

bool ChannelEditor::CommitTone(std::string& box, std::string& committed) {
    const std::optional<std::string> typed = TypedToneText(box);
    if (!typed) {
        box = committed.empty() ? "None" : committed;
        return false;
    }
    box = typed->empty() ? "None" : *typed;
    committed = box;
    return true;
}

bool ChannelEditor::CommitRxTone() {
    return fields_.rxFreq.empty() || CommitTone(fields_.rxTone, committedRxTone_);
}

bool ChannelEditor::CommitTxTone() {
    return fields_.rxFreq.empty() || CommitTone(fields_.txTone, committedTxTone_);
}

void ChannelEditor::CommitChannelNumber() {
    const int typed = ParseChannelText(fields_.ch);
    if (typed != number_) {
        SaveChannel();
        fields_.ch = ChannelLabel(ClampChannelNumber(typed));
        LoadChannel();
    } else {
        fields_.ch = ChannelLabel(number_);
    }
}

void ChannelEditor::StepChannel(int step) {
    SaveChannel();
    int next = ParseChannelText(fields_.ch) + step;
    if (next < 1 || next > kChannelSlotCount) {
        next = step > 0 ? 1 : kChannelSlotCount;
    }
    fields_.ch = ChannelLabel(next);
    LoadChannel();
}

void ChannelEditor::SetChannelControlsEnabled(bool enabled) {
    fields_.enabled = enabled;
    if (!enabled) {
        fields_.rxFreq.clear();
        fields_.txFreq.clear();
        fields_.rxTone.clear();
        fields_.txTone.clear();
        fields_.lists.fill(-1);
        fields_.name.clear();
    }
}

}  // namespace kestra
