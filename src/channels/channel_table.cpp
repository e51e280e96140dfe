// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's working copy: layout, decode and encode of the channel records.

#include "channels/channel_table.hpp"

#include <algorithm>

#include "channels/channel_fields.hpp"
#include "channels/image_preparation.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

constexpr std::array<std::string_view, kColumnCount> kHeaders{
    "Rx Freq", "Tx Freq", "Decode", "Encode", "Power", "Scan Add", "W/N", "BCL"};
constexpr std::array<int, kColumnCount> kWidths{1500, 1500, 1000, 1000, 1000, 1000, 1000, 1000};

constexpr std::array<std::string_view, 2> kPowerList{"Low", "High"};
constexpr std::array<std::string_view, 2> kScanList{"Del", "Add"};
constexpr std::array<std::string_view, 2> kWidthList{"Narrow", "Wide"};
constexpr std::array<std::string_view, 3> kBclList{"Off", "Carrier", "QT/DQT"};
// Channel Edit's BCL list, whose fallback the grid shares.
constexpr const ListField& kBclField = kChannelListFields[2];

// An old magnitude at or above this (99.99501 MHz and up, an erased field included) marks a
// record whose out-of-section Tx is dropped in favour of the Rx.
constexpr std::uint32_t kErasedMagnitudeThreshold = 9999501;

std::size_t Index(Column column) {
    return static_cast<std::size_t>(column);
}

// An empty tone cell stores as "None" rather than as a 0.0 Hz CTCSS tone.
std::string_view ToneCell(const std::string& text) {
    return text.empty() ? std::string_view("None") : std::string_view(text);
}

// Whether a channel's bit in its section's present map is set (the VFO records have none).
bool PresentBitSet(const MemoryImage& image, int record) {
    if (IsVfoRecord(record)) {
        return true;
    }
    const int section = record < 128 ? 0 : 1;
    return ChannelBit(image, map::PresentMapOf(section), record - section * 128 + 1);
}

// Whether the record's shift magnitude, as it is before a store, counts as erased. The fixed
// group the image preparation writes lies on B124's magnitude; those bytes are the preparation's
// own, not an erased field, or B124's Tx would turn into its Rx on the next save.
bool MagnitudeIsErased(const ChannelRecord& record, const MemoryImage& image, int index) {
    const std::size_t at = RecordOffset(index) + 16;
    if (at >= map::kFixedGroup && at + 4 <= map::kFixedGroup + map::kFixedGroupSize) {
        const auto fixed = std::span(map::kFixedGroupBytes).subspan(at - map::kFixedGroup, 4);
        const auto held = image.span(at, 4);
        if (std::equal(held.begin(), held.end(), fixed.begin())) {
            return false;
        }
    }
    return record.ShiftAmount() >= kErasedMagnitudeThreshold;
}

}  // namespace

// A tone as the grid shows it. CTCSS and "None" read as everywhere else; a DCS code is written
// "D0" followed by the code when the high byte holds no hundreds, else "D" and the code, so a
// code below 10 shows with two digits ("D05N") and all real codes with three.
std::string GridToneText(std::uint8_t low, std::uint8_t high) {
    if (high == 0xFF || high < 0x80) {
        return ToneCodeDecode(low, high);
    }
    const int base = high >= 0xC0 ? 0xC0 : 0x80;
    const int code = (high - base) * 100 + BcdByteDecode(low);
    return (high == base ? "D0" : "D") + std::to_string(code) + (base == 0xC0 ? "I" : "N");
}

// ---- layout ---------------------------------------------------------------------------------

std::string_view ColumnHeader(Column column) {
    const auto i = static_cast<std::size_t>(column);
    return i < kHeaders.size() ? kHeaders[i] : std::string_view{};
}

int ColumnWidthTwips(Column column) {
    const auto i = static_cast<std::size_t>(column);
    return i < kWidths.size() ? kWidths[i] : 0;
}

std::string RowLabel(int record) {
    // The channel label with a space after the section letter ("A 001"); "A VFO" as it is.
    if (record < 0 || record >= kRecordCount) {
        return {};
    }
    std::string label = ChannelLabel(record + 1);
    if (!IsVfoRecord(record)) {
        label.insert(1, 1, ' ');
    }
    return label;
}

std::span<const std::string_view> ChoiceList(Column column) {
    switch (column) {
        case Column::Power:
            return kPowerList;
        case Column::ScanAdd:
            return kScanList;
        case Column::WideNarrow:
            return kWidthList;
        case Column::Bcl:
            return kBclList;
        default:
            return {};
    }
}

bool IsVfoRecord(int record) {
    return record == kVfoARecordIndex || record == kVfoBRecordIndex;
}

EditorKind EditorKindFor(Column column) {
    switch (column) {
        case Column::RxFreq:
        case Column::TxFreq:
            return EditorKind::Frequency;
        case Column::Decode:
        case Column::Encode:
            return EditorKind::Tone;
        case Column::Power:
        case Column::ScanAdd:
        case Column::WideNarrow:
        case Column::Bcl:
            return EditorKind::Choice;
        default:
            return EditorKind::None;
    }
}

Frequency CellFrequency(std::string_view text) {
    return static_cast<Frequency>(
        std::clamp<std::int64_t>(ScaleDecimalText(text, 5), 0, kMaxCellFrequency));
}

// ---- cells ----------------------------------------------------------------------------------

bool ChannelTable::InRange(int record, Column column) {
    return record >= 0 && record < kRecordCount && column >= Column::RxFreq &&
           column < Column::Count;
}

std::string& ChannelTable::At(int record, Column column) {
    return cells_[static_cast<std::size_t>(record)][Index(column)];
}

const std::string& ChannelTable::Cell(int record, Column column) const {
    static const std::string kEmpty;
    if (!InRange(record, column)) {
        return kEmpty;
    }
    return cells_[static_cast<std::size_t>(record)][Index(column)];
}

void ChannelTable::SetCell(int record, Column column, std::string text) {
    if (InRange(record, column)) {
        At(record, column) = std::move(text);
    }
}

bool ChannelTable::IsRowEmpty(int record) const {
    return Cell(record, Column::RxFreq).empty();
}

void ChannelTable::ClearRow(int record) {
    if (record >= 0 && record < kRecordCount) {
        cells_[static_cast<std::size_t>(record)].fill(std::string{});
    }
}

// ---- decode ---------------------------------------------------------------------------------

void ChannelTable::FillGridFromImage(const MemoryImage& image, SectionLimits& limits) {
    ReadModelLimits(image, limits);
    for (int record = 0; record < kRecordCount; ++record) {
        FillRow(record, image, limits);
    }
}

void ChannelTable::FillRow(int index, const MemoryImage& image, const SectionLimits& limits) {
    if (index < 0 || index >= kRecordCount) {
        return;
    }
    ClearRow(index);
    if (!PresentBitSet(image, index) || !RecordIsPresent(image, index, limits)) {
        return;
    }
    const ConstChannelRecord record(image, index);
    At(index, Column::RxFreq) = FrequencyToMhzText(record.RxFrequency().value_or(0));
    if (const auto tx = record.TxFrequency()) {
        At(index, Column::TxFreq) = FrequencyToMhzText(*tx);
    }
    At(index, Column::Decode) = GridToneText(record.Byte(8), record.Byte(9));
    At(index, Column::Encode) = GridToneText(record.Byte(10), record.Byte(11));
    At(index, Column::Power) = std::string(kPowerList[record.HighPower() ? 1 : 0]);
    At(index, Column::ScanAdd) = std::string(kScanList[record.ScanAdd() ? 1 : 0]);
    At(index, Column::WideNarrow) = std::string(kWidthList[record.Wide() ? 1 : 0]);
    // The fourth BCL value (both bits set) has no text; it shows as Channel Edit shows it, its
    // list's fallback "Off", which is also what a store writes back for it.
    const auto bcl = static_cast<std::size_t>(record.Bcl());
    At(index, Column::Bcl) = std::string(
        kBclList[bcl < kBclList.size() ? bcl : static_cast<std::size_t>(kBclField.fallbackIndex)]);
}

// ---- encode ---------------------------------------------------------------------------------

void ChannelTable::StoreGridToImage(MemoryImage& image, const SectionLimits& limits,
                                    int modelIndex) const {
    for (int record = 0; record < kRecordCount; ++record) {
        StoreRow(record, image, limits);
    }
    WriteModelBlock(image, modelIndex);
    PrepareImageForWrite(image, limits);
}

void ChannelTable::StoreRow(int index, MemoryImage& image, const SectionLimits& limits) const {
    if (index < 0 || index >= kRecordCount) {
        return;
    }
    if (IsRowEmpty(index)) {
        WriteClearedRecord(image, index);
        return;
    }
    ChannelRecord record(image, index);
    const Frequency rx = CellFrequency(Cell(index, Column::RxFreq));
    record.SetRxFrequency(rx);

    const std::string& txText = Cell(index, Column::TxFreq);
    const bool txAbsent = txText.empty();
    const Frequency tx = txAbsent ? 0 : CellFrequency(txText);
    record.SetTxFrequency(txAbsent ? std::nullopt : std::optional<Frequency>(tx));

    auto noShift = [&record] {
        record.SetShiftDirection(0);
        record.SetShiftAmount(kNoShiftMagnitude);
    };
    if (txAbsent || tx == rx) {
        noShift();
    } else if (limits.SectionOf(tx) < 0) {
        // The magnitude as it was before this store decides whether the Tx is kept.
        if (MagnitudeIsErased(record, image, index)) {
            noShift();
            record.SetTxFrequency(rx);
        } else {
            record.SetShiftDirection(rx > tx ? 1 : 2);
        }
    } else if (limits.SameSection(rx, tx)) {
        record.SetShiftDirection(rx > tx ? 1 : 2);
        record.SetShiftAmount(static_cast<std::uint32_t>(rx > tx ? rx - tx : tx - rx));
    } else {
        noShift();
    }

    record.SetRxToneText(ToneCell(Cell(index, Column::Decode)));
    record.SetTxToneText(ToneCell(Cell(index, Column::Encode)));

    // Only the grid's own flag bits change; PTT ID and Vox (bits 0-2) stay.
    record.SetHighPower(Cell(index, Column::Power) == "High");
    record.SetScanAdd(Cell(index, Column::ScanAdd) == "Add");
    record.SetWide(Cell(index, Column::WideNarrow) == "Wide");
    const std::string& bcl = Cell(index, Column::Bcl);
    record.SetBcl(bcl == "Carrier" ? 1 : bcl == "QT/DQT" ? 2 : 0);
}

}  // namespace kestra
