// SPDX-License-Identifier: GPL-3.0-or-later
// The commit rules of the grid's in-place editors and the undo/redo of their results.

#include "channels/channel_table.hpp"

#include <algorithm>

#include "model/codecs.hpp"

namespace kestra {
namespace {

std::array<std::uint8_t, kRecordSize> RecordBytes(const MemoryImage& image, int record) {
    std::array<std::uint8_t, kRecordSize> bytes{};
    const auto span = image.span(RecordOffset(record), kRecordSize);
    std::copy(span.begin(), span.end(), bytes.begin());
    return bytes;
}

// What a typed frequency becomes: 0 for an empty or zero text; else pulled into a section (the
// lower limit of the first set section when it lies in none) and onto the step raster. Nothing
// when no section has limits, so there is nowhere to put the value.
std::optional<Frequency> TypedFrequency(std::string_view text, const SectionLimits& limits) {
    const std::int64_t typed = ScaleDecimalText(text, 5);
    if (typed == 0) {
        return 0;
    }
    Frequency n = 0;
    const bool fits = typed > 0 && typed <= kMaxCellFrequency;
    if (!fits || limits.SectionOf(static_cast<Frequency>(typed)) < 0) {
        const int section = limits.FirstSetSection();
        if (section < 0) {
            return std::nullopt;
        }
        n = limits.lower[static_cast<std::size_t>(section)];
    } else {
        n = static_cast<Frequency>(typed);
    }
    return SnapTypedFrequency(n);
}

}  // namespace

// ---- in-place edits -------------------------------------------------------------------------

Column ChannelTable::EditColumnFor(int record, Column column) const {
    return IsRowEmpty(record) ? Column::RxFreq : column;
}

void ChannelTable::Change(EditResult& result, int record, Column column, std::string text) {
    std::string& cell = At(record, column);
    if (cell == text) {
        return;
    }
    result.cells.push_back({record, column, cell, text});
    cell = std::move(text);
}

EditResult ChannelTable::CommitFrequencyEdit(int record, Column column, std::string_view text,
                                             MemoryImage& image, const SectionLimits& limits) {
    EditResult result;
    if (!InRange(record, column) || EditorKindFor(column) != EditorKind::Frequency) {
        return result;
    }
    const std::string oldRx = Cell(record, Column::RxFreq);
    const std::string oldTx = Cell(record, Column::TxFreq);
    const std::optional<Frequency> typed = TypedFrequency(text, limits);
    if (!typed) {
        return result;  // keep the cell
    }
    const Frequency n = *typed;
    const std::string newText = n == 0 ? std::string() : FrequencyToMhzText(n);

    if (column == Column::RxFreq) {
        if (newText.empty()) {
            for (int c = 0; c < kColumnCount; ++c) {
                Change(result, record, static_cast<Column>(c), {});
            }
        } else if (oldRx.empty()) {
            Change(result, record, Column::RxFreq, newText);
            Change(result, record, Column::TxFreq, newText);
            for (std::size_t i = 0; i < kRowDefaults.size(); ++i) {
                const auto cell = static_cast<Column>(static_cast<std::size_t>(Column::Decode) + i);
                Change(result, record, cell, std::string(kRowDefaults[i]));
            }
            RecordChange reset{record, RecordBytes(image, record), {}};
            WriteClearedRecord(image, record);
            reset.after = RecordBytes(image, record);
            result.record = reset;
        } else {
            Change(result, record, Column::RxFreq, newText);
            if (IsVfoRecord(record) && !limits.SameSection(CellFrequency(oldTx), n)) {
                Change(result, record, Column::TxFreq, newText);
            }
        }
    } else if (oldRx.empty()) {
        Change(result, record, Column::TxFreq, {});
    } else if (!newText.empty()) {
        Change(result, record, Column::TxFreq, newText);
        if (IsVfoRecord(record) && !limits.SameSection(CellFrequency(oldRx), n)) {
            Change(result, record, Column::RxFreq, newText);
        }
    }
    return result;
}

EditResult ChannelTable::CommitToneEdit(int record, Column column, std::string_view text) {
    EditResult result;
    if (!InRange(record, column) || EditorKindFor(column) != EditorKind::Tone) {
        return result;
    }
    if (IsRowEmpty(record)) {
        Change(result, record, column, {});
        return result;
    }
    std::optional<std::string> typed = TypedToneText(text);
    if (!typed) {
        result.refused = true;  // a number that is no tone of the lists: the cell keeps its tone
        return result;
    }
    // A cleared tone combo means no tone; an empty cell on a channel would otherwise be stored
    // as a 0.0 Hz CTCSS tone.
    if (typed->empty()) {
        *typed = "None";
    }
    Change(result, record, column, std::move(*typed));
    return result;
}

EditResult ChannelTable::CommitChoiceEdit(int record, Column column, std::string_view text) {
    EditResult result;
    if (!InRange(record, column) || EditorKindFor(column) != EditorKind::Choice) {
        return result;
    }
    if (IsRowEmpty(record)) {
        Change(result, record, column, {});
        return result;
    }
    const auto list = ChoiceList(column);
    if (std::find(list.begin(), list.end(), text) == list.end()) {
        return result;
    }
    Change(result, record, column, std::string(text));
    return result;
}

void ChannelTable::RevertEdit(const EditResult& edit, MemoryImage& image) {
    for (auto it = edit.cells.rbegin(); it != edit.cells.rend(); ++it) {
        SetCell(it->record, it->column, it->before);
    }
    if (edit.record) {
        image.write(RecordOffset(edit.record->record), edit.record->before);
    }
}

void ChannelTable::ReapplyEdit(const EditResult& edit, MemoryImage& image) {
    for (const auto& change : edit.cells) {
        SetCell(change.record, change.column, change.after);
    }
    if (edit.record) {
        image.write(RecordOffset(edit.record->record), edit.record->after);
    }
}

}  // namespace kestra
