// The grid's working copy: layout, decode and encode of the channel records.

#include "channels/channel_table.hpp"

#include <algorithm>
#include <cstdio>

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

// Byte offsets inside a channel record.
constexpr std::size_t kRx = 0;
constexpr std::size_t kTx = 4;
constexpr std::size_t kRxTone = 8;
constexpr std::size_t kTxTone = 10;
constexpr std::size_t kFlags = 13;
constexpr std::size_t kShiftDirection = 15;
constexpr std::size_t kShiftMagnitude = 16;

constexpr std::uint8_t kPowerBit = 0x10;
constexpr std::uint8_t kScanAddBit = 0x08;
constexpr std::uint8_t kWideBit = 0x20;
constexpr std::uint8_t kBclMask = 0xC0;
constexpr std::uint8_t kBclCarrier = 0x40;
constexpr std::uint8_t kBclQt = 0x80;

// The "no shift" magnitude of a cleared record: 10.00000 MHz.
constexpr Frequency kNoShiftMagnitude = 1000000;
// An old magnitude at or above this (99.99501 MHz and up, an erased field included) marks a
// record whose out-of-section Tx is dropped in favour of the Rx.
constexpr std::uint32_t kErasedMagnitudeThreshold = 9999501;

std::size_t RecordBase(int row) {
    return RecordOffset(row - 1);
}

std::size_t Index(Column column) {
    return static_cast<std::size_t>(column) - 1;
}

void WriteFrequency(MemoryImage& image, std::size_t offset, Frequency f) {
    image.write(offset, Bcd8Encode(static_cast<std::uint32_t>(f)));
}

// An empty tone cell stores as "None" rather than as a 0.0 Hz CTCSS tone.
std::array<std::uint8_t, 2> EncodeToneCell(const std::string& text) {
    if (text.empty()) {
        return {0xFF, 0xFF};
    }
    return ToneCodeEncode(text);
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
    char buffer[16];
    if (row >= 1 && row <= 128) {
        std::snprintf(buffer, sizeof buffer, "A %03d", row);
    } else if (row >= 129 && row <= 256) {
        std::snprintf(buffer, sizeof buffer, "B %03d", row - 128);
    } else if (row == kVfoRowA) {
        return "A VFO";
    } else if (row == kVfoRowB) {
        return "B VFO";
    } else {
        return {};
    }
    return buffer;
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
    const std::size_t b = RecordBase(row);
    At(row, Column::RxFreq) =
        FrequencyToMhzText(static_cast<Frequency>(Bcd8Decode(image.span(b + kRx, 4))));
    const std::uint8_t txTop = image[b + kTx + 3];
    if (txTop != 0xFF && txTop != 0x00) {
        At(row, Column::TxFreq) =
            FrequencyToMhzText(static_cast<Frequency>(Bcd8Decode(image.span(b + kTx, 4))));
    }
    At(row, Column::Decode) = ToneCodeDecode(image[b + kRxTone], image[b + kRxTone + 1]);
    At(row, Column::Encode) = ToneCodeDecode(image[b + kTxTone], image[b + kTxTone + 1]);
    const std::uint8_t flags = image[b + kFlags];
    At(row, Column::Power) = std::string(kPowerList[(flags & kPowerBit) ? 1 : 0]);
    At(row, Column::ScanAdd) = std::string(kScanList[(flags & kScanAddBit) ? 1 : 0]);
    At(row, Column::WideNarrow) = std::string(kWidthList[(flags & kWideBit) ? 1 : 0]);
    // The fourth BCL value (both bits set) has no text; it shows as the second-highest one,
    // "QT/DQT", which is also what a store writes back for it.
    const int bcl = std::min((flags & kBclMask) >> 6, 2);
    At(row, Column::Bcl) = std::string(kBclList[static_cast<std::size_t>(bcl)]);
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
    const std::size_t b = RecordBase(row);
    const Frequency rx = CellFrequency(Cell(row, Column::RxFreq));
    WriteFrequency(image, b + kRx, rx);

    const std::string& txText = Cell(row, Column::TxFreq);
    const bool txAbsent = txText.empty();
    const Frequency tx = txAbsent ? 0 : CellFrequency(txText);
    if (txAbsent) {
        image.fill(b + kTx, 4, 0xFF);
    } else {
        WriteFrequency(image, b + kTx, tx);
    }

    auto noShift = [&] {
        image[b + kShiftDirection] = 0;
        WriteFrequency(image, b + kShiftMagnitude, kNoShiftMagnitude);
    };
    if (txAbsent || tx == rx) {
        noShift();
    } else if (limits.SectionOf(tx) < 0) {
        const std::uint32_t old = Bcd8Decode(image.span(b + kShiftMagnitude, 4));
        if (old >= kErasedMagnitudeThreshold) {
            noShift();
            WriteFrequency(image, b + kTx, rx);
        } else {
            image[b + kShiftDirection] = rx > tx ? 1 : 2;
        }
    } else if (limits.SameSection(rx, tx)) {
        image[b + kShiftDirection] = rx > tx ? 1 : 2;
        WriteFrequency(image, b + kShiftMagnitude, rx > tx ? rx - tx : tx - rx);
    } else {
        noShift();
    }

    image.write(b + kRxTone, EncodeToneCell(Cell(row, Column::Decode)));
    image.write(b + kTxTone, EncodeToneCell(Cell(row, Column::Encode)));

    std::uint8_t flags = image[b + kFlags];
    auto setBit = [&flags](std::uint8_t bit, bool on) {
        flags = static_cast<std::uint8_t>(on ? (flags | bit) : (flags & ~bit));
    };
    setBit(kPowerBit, Cell(row, Column::Power) == "High");
    setBit(kScanAddBit, Cell(row, Column::ScanAdd) == "Add");
    setBit(kWideBit, Cell(row, Column::WideNarrow) == "Wide");
    flags = static_cast<std::uint8_t>(flags & ~kBclMask);
    if (Cell(row, Column::Bcl) == "Carrier") {
        flags |= kBclCarrier;
    } else if (Cell(row, Column::Bcl) == "QT/DQT") {
        flags |= kBclQt;
    }
    image[b + kFlags] = flags;
}

}  // namespace kestra
