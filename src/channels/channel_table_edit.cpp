// The commit rules of the grid's in-place editors and the undo/redo of their results.

#include "channels/channel_table.hpp"

#include <algorithm>

#include "model/codecs.hpp"

namespace kestra {
namespace {

std::array<std::uint8_t, kRecordSize> RecordBytes(const MemoryImage& image, int row) {
    std::array<std::uint8_t, kRecordSize> bytes{};
    const auto span = image.span(RecordOffset(row - 1), kRecordSize);
    std::copy(span.begin(), span.end(), bytes.begin());
    return bytes;
}

}  // namespace

// ---- in-place edits -------------------------------------------------------------------------

Column ChannelTable::EditColumnFor(int row, Column column) const {
    return IsRowEmpty(row) ? Column::RxFreq : column;
}

void ChannelTable::Change(EditResult& result, int row, Column column, std::string text) {
    std::string& cell = At(row, column);
    if (cell == text) {
        return;
    }
    result.cells.push_back({row, column, cell, text});
    cell = std::move(text);
}

EditResult ChannelTable::CommitFrequencyEdit(int row, Column column, std::string_view text,
                                             MemoryImage& image, const SectionLimits& limits) {
    EditResult result;
    if (!InRange(row, column) || EditorKindFor(column) != EditorKind::Frequency) {
        return result;
    }
    const std::string oldRx = Cell(row, Column::RxFreq);
    const std::string oldTx = Cell(row, Column::TxFreq);

    std::string newText;
    Frequency n = 0;
    const std::int64_t typed = ScaleDecimalText(text, 5);
    if (typed != 0) {
        const bool fits = typed > 0 && typed <= kMaxCellFrequency;
        if (!fits || limits.SectionOf(static_cast<Frequency>(typed)) < 0) {
            const int section = limits.FirstSetSection();
            if (section < 0) {
                // No section has limits: there is nowhere to put the value, keep the cell.
                return result;
            }
            n = limits.lower[static_cast<std::size_t>(section)];
        } else {
            n = static_cast<Frequency>(typed);
        }
        n = SnapTypedFrequency(n);
        newText = FrequencyToMhzText(n);
    }

    if (column == Column::RxFreq) {
        if (newText.empty()) {
            for (int c = 1; c <= kCellColumns; ++c) {
                Change(result, row, static_cast<Column>(c), {});
            }
        } else if (oldRx.empty()) {
            Change(result, row, Column::RxFreq, newText);
            Change(result, row, Column::TxFreq, newText);
            for (std::size_t i = 0; i < kRowDefaults.size(); ++i) {
                Change(result, row, static_cast<Column>(3 + i), std::string(kRowDefaults[i]));
            }
            RecordChange record{row, RecordBytes(image, row), {}};
            ResetChannelRecord(image, row);
            record.after = RecordBytes(image, row);
            result.record = record;
        } else {
            Change(result, row, Column::RxFreq, newText);
            if (IsVfoRow(row) && !limits.SameSection(CellFrequency(oldTx), n)) {
                Change(result, row, Column::TxFreq, newText);
            }
        }
    } else if (oldRx.empty()) {
        Change(result, row, Column::TxFreq, {});
    } else if (!newText.empty()) {
        Change(result, row, Column::TxFreq, newText);
        if (IsVfoRow(row) && !limits.SameSection(CellFrequency(oldRx), n)) {
            Change(result, row, Column::RxFreq, newText);
        }
    }
    return result;
}

EditResult ChannelTable::CommitToneEdit(int row, Column column, std::string_view text) {
    EditResult result;
    if (!InRange(row, column) || EditorKindFor(column) != EditorKind::Tone) {
        return result;
    }
    if (IsRowEmpty(row)) {
        Change(result, row, column, {});
        return result;
    }
    std::string normalized = NormalizeToneText(text);
    // A cleared tone combo means no tone; an empty cell on a channel would otherwise be stored
    // as a 0.0 Hz CTCSS tone.
    if (normalized.empty()) {
        normalized = "None";
    }
    Change(result, row, column, std::move(normalized));
    return result;
}

EditResult ChannelTable::CommitChoiceEdit(int row, Column column, std::string_view text) {
    EditResult result;
    if (!InRange(row, column) || EditorKindFor(column) != EditorKind::Choice) {
        return result;
    }
    if (IsRowEmpty(row)) {
        Change(result, row, column, {});
        return result;
    }
    const auto list = ChoiceList(column);
    if (std::find(list.begin(), list.end(), text) == list.end()) {
        return result;
    }
    Change(result, row, column, std::string(text));
    return result;
}

void ChannelTable::RevertEdit(const EditResult& edit, MemoryImage& image) {
    for (auto it = edit.cells.rbegin(); it != edit.cells.rend(); ++it) {
        SetCell(it->row, it->column, it->before);
    }
    if (edit.record) {
        image.write(RecordOffset(edit.record->row - 1), edit.record->before);
    }
}

void ChannelTable::ReapplyEdit(const EditResult& edit, MemoryImage& image) {
    for (const auto& change : edit.cells) {
        SetCell(change.row, change.column, change.after);
    }
    if (edit.record) {
        image.write(RecordOffset(edit.record->row - 1), edit.record->after);
    }
}

}  // namespace kestra
