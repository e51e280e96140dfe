// The grid's working copy: layout, decode and encode of the channel records.

#include "channels/channel_table.hpp"

#include <algorithm>

#include "channels/image_preparation.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

constexpr std::array<std::string_view, kGridColumnCount> kHeaders{
    "", "Rx Freq", "Tx Freq", "Decode", "Encode", "Power", "Scan Add", "W/N", "BCL"};
constexpr std::array<int, kGridColumnCount> kWidths{600,  1500, 1500, 1000, 1000,
                                                    1000, 1000, 1000, 1000};

constexpr std::array<std::string_view, 2> kPowerList{"Low", "High"};
constexpr std::array<std::string_view, 2> kScanList{"Del", "Add"};
constexpr std::array<std::string_view, 2> kWidthList{"Narrow", "Wide"};
constexpr std::array<std::string_view, 3> kBclList{"Off", "Carrier", "QT/DQT"};

// The "no shift" magnitude of a cleared record: 10.00000 MHz.
constexpr std::uint32_t kNoShiftMagnitude = 1000000;
// An old magnitude at or above this (99.99501 MHz and up, an erased field included) marks a
// record whose out-of-section Tx is dropped in favour of the Rx.
constexpr std::uint32_t kErasedMagnitudeThreshold = 9999501;

std::size_t Index(Column column) {
    return static_cast<std::size_t>(column) - 1;
}

// An empty tone cell stores as "None" rather than as a 0.0 Hz CTCSS tone.
std::string_view ToneCell(const std::string& text) {
    return text.empty() ? std::string_view("None") : std::string_view(text);
}

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

// Whether a channel row's bit in its section's present map is set (the VFO rows have none).
bool PresentBitSet(const MemoryImage& image, int row) {
    if (row > 256) {
        return true;
    }
    const int section = row <= 128 ? 0 : 1;
    return ChannelBit(image, map::PresentMapOf(section), row - section * 128);
}

}  // namespace

// ---- layout ---------------------------------------------------------------------------------

std::string_view ColumnHeader(Column column) {
    const auto i = static_cast<std::size_t>(column);
    return i < kHeaders.size() ? kHeaders[i] : std::string_view{};
}

int ColumnWidthTwips(Column column) {
    const auto i = static_cast<std::size_t>(column);
    return i < kWidths.size() ? kWidths[i] : 0;
}

std::string RowLabel(int row) {
    // The channel label with a space after the section letter ("A 001"); "A VFO" as it is.
    std::string label = ChannelLabel(row);
    if (row >= 1 && row <= 256) {
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

int SectionOfRow(int row) {
    if ((row >= 1 && row <= 128) || row == kVfoRowA) {
        return 0;
    }
    if ((row >= 129 && row <= 256) || row == kVfoRowB) {
        return 1;
    }
    return -1;
}

bool IsVfoRow(int row) {
    return row == kVfoRowA || row == kVfoRowB;
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

void ResetChannelRecord(MemoryImage& image, int row) {
    if (row >= 1 && row <= kChannelRows) {
        WriteClearedRecord(image, row - 1);
    }
}

Frequency CellFrequency(std::string_view text) {
    return static_cast<Frequency>(
        std::clamp<std::int64_t>(ScaleDecimalText(text, 5), 0, kMaxCellFrequency));
}

// ---- cells ----------------------------------------------------------------------------------

bool ChannelTable::InRange(int row, Column column) {
    return row >= 1 && row <= kChannelRows && column >= Column::RxFreq && column <= Column::Bcl;
}

std::string& ChannelTable::At(int row, Column column) {
    return cells_[static_cast<std::size_t>(row - 1)][Index(column)];
}

std::string ChannelTable::Text(int row, int column) const {
    if (column < 0 || column >= kGridColumnCount || row < 0 || row > kChannelRows) {
        return {};
    }
    if (row == 0) {
        return std::string(ColumnHeader(static_cast<Column>(column)));
    }
    if (column == 0) {
        return RowLabel(row);
    }
    return Cell(row, static_cast<Column>(column));
}

const std::string& ChannelTable::Cell(int row, Column column) const {
    static const std::string kEmpty;
    if (!InRange(row, column)) {
        return kEmpty;
    }
    return cells_[static_cast<std::size_t>(row - 1)][Index(column)];
}

void ChannelTable::SetCell(int row, Column column, std::string text) {
    if (InRange(row, column)) {
        At(row, column) = std::move(text);
    }
}

bool ChannelTable::IsRowEmpty(int row) const {
    return Cell(row, Column::RxFreq).empty();
}

void ChannelTable::ClearRow(int row) {
    if (row >= 1 && row <= kChannelRows) {
        cells_[static_cast<std::size_t>(row - 1)].fill(std::string{});
    }
}

// ---- decode ---------------------------------------------------------------------------------

void ChannelTable::FillGridFromImage(const MemoryImage& image, SectionLimits& limits) {
    ReadModelLimits(image, limits);
    for (int row = 1; row <= kChannelRows; ++row) {
        FillRow(row, image, limits);
    }
}

void ChannelTable::FillRow(int row, const MemoryImage& image, const SectionLimits& limits) {
    if (row < 1 || row > kChannelRows) {
        return;
    }
    ClearRow(row);
    if (!PresentBitSet(image, row) || !RecordIsPresent(image, row - 1, limits)) {
        return;
    }
    const ConstChannelRecord record(image, row - 1);
    At(row, Column::RxFreq) = FrequencyToMhzText(record.RxFrequency().value_or(0));
    if (const auto tx = record.TxFrequency()) {
        At(row, Column::TxFreq) = FrequencyToMhzText(*tx);
    }
    At(row, Column::Decode) = GridToneText(record.Byte(8), record.Byte(9));
    At(row, Column::Encode) = GridToneText(record.Byte(10), record.Byte(11));
    At(row, Column::Power) = std::string(kPowerList[record.HighPower() ? 1 : 0]);
    At(row, Column::ScanAdd) = std::string(kScanList[record.ScanAdd() ? 1 : 0]);
    At(row, Column::WideNarrow) = std::string(kWidthList[record.Wide() ? 1 : 0]);
    // The fourth BCL value (both bits set) has no text; it shows as the second-highest one,
    // "QT/DQT", which is also what a store writes back for it.
    At(row, Column::Bcl) =
        std::string(kBclList[static_cast<std::size_t>(std::min(record.Bcl(), 2))]);
}

// ---- encode ---------------------------------------------------------------------------------

void ChannelTable::StoreGridToImage(MemoryImage& image, const SectionLimits& limits,
                                    int modelIndex) const {
    for (int row = 1; row <= kChannelRows; ++row) {
        StoreRow(row, image, limits);
    }
    WriteModelBlock(image, modelIndex);
    PrepareImageForWrite(image, limits);
}

void ChannelTable::StoreRow(int row, MemoryImage& image, const SectionLimits& limits) const {
    if (row < 1 || row > kChannelRows) {
        return;
    }
    if (IsRowEmpty(row)) {
        ResetChannelRecord(image, row);
        return;
    }
    ChannelRecord record(image, row - 1);
    const Frequency rx = CellFrequency(Cell(row, Column::RxFreq));
    record.SetRxFrequency(rx);

    const std::string& txText = Cell(row, Column::TxFreq);
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
        if (record.ShiftAmount() >= kErasedMagnitudeThreshold) {
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

    record.SetRxToneText(ToneCell(Cell(row, Column::Decode)));
    record.SetTxToneText(ToneCell(Cell(row, Column::Encode)));

    // Only the grid's own flag bits change; PTT ID and Vox (bits 0-2) stay.
    record.SetHighPower(Cell(row, Column::Power) == "High");
    record.SetScanAdd(Cell(row, Column::ScanAdd) == "Add");
    record.SetWide(Cell(row, Column::WideNarrow) == "Wide");
    const std::string& bcl = Cell(row, Column::Bcl);
    record.SetBcl(bcl == "Carrier" ? 1 : bcl == "QT/DQT" ? 2 : 0);
}

}  // namespace kestra
