// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel grid's working copy: one row per channel record (A001-A128, B001-B128, "A VFO",
// "B VFO") of eight cell texts each. The grid is decoded from the memory image after a read,
// after the Channel Edit dialog and after a batch, and encoded back into the image (with every
// summary area the radio needs) before each write and save. All rules about what a cell may hold
// live here: the columns (headers, widths, choice lists, defaults), the decode and encode of the
// records, and the commit of an in-place edit. The grid widget only shows these texts and hands
// typed texts to the commit functions; each commit reports what it changed so that the widget
// can build an undo command from the result.
//
// Rows are record indices 0..257 (row 0 is A001, 256 "A VFO", 257 "B VFO"); the columns are the
// eight cells. Row labels and headers are texts the widgets show beside the cells.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/channel_record.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

enum class Column { RxFreq, TxFreq, Decode, Encode, Power, ScanAdd, WideNarrow, Bcl, Count };

inline constexpr int kColumnCount = static_cast<int>(Column::Count);

// ---- layout ---------------------------------------------------------------------------------

// "Rx Freq", "Tx Freq", "Decode", "Encode", "Power", "Scan Add", "W/N", "BCL".
std::string_view ColumnHeader(Column column);
// 1500 for the two frequency columns, 1000 for the others.
int ColumnWidthTwips(Column column);
// The width of the row labels beside the cells.
inline constexpr int kRowLabelWidthTwips = 600;
// "A 001".."A 128", "B 001".."B 128", "A VFO", "B VFO" for records 0..257; "" otherwise.
std::string RowLabel(int record);
// The fixed list of a choice column ("Low","High" / "Del","Add" / "Narrow","Wide" /
// "Off","Carrier","QT/DQT"); empty for the other columns.
std::span<const std::string_view> ChoiceList(Column column);
// What a newly created row shows from "Decode" on: "None","None","High","Add","Wide","Off".
inline constexpr std::array<std::string_view, 6> kRowDefaults{"None", "None", "High",
                                                              "Add",  "Wide", "Off"};
bool IsVfoRecord(int record);
// A record's tone bytes as the grid (and the Channel Edit dialog) shows them: "None", CTCSS
// "%3.1f", DCS "D" + code + "N"/"I" with "D0" before a code below 100.
std::string GridToneText(std::uint8_t low, std::uint8_t high);

// The largest frequency a record's eight BCD digits hold (999.99999 MHz).
inline constexpr Frequency kMaxCellFrequency = 99999999;
// A frequency cell's text in 10 Hz units, exactly, kept within 0..kMaxCellFrequency
// ("146.52500" -> 14652500, "" -> 0).
Frequency CellFrequency(std::string_view text);

// ---- in-place editing -----------------------------------------------------------------------

enum class EditorKind { None, Frequency, Tone, Choice };
// Frequency for Rx/Tx, Tone for Decode/Encode, Choice for the four choice columns.
EditorKind EditorKindFor(Column column);

// One cell's text before and after an edit.
struct CellChange {
    int record = 0;
    Column column = Column::RxFreq;
    std::string before;
    std::string after;
};

// A channel record overwritten by an edit (the first Rx typed into an empty row resets it).
struct RecordChange {
    int record = 0;
    std::array<std::uint8_t, kRecordSize> before{};
    std::array<std::uint8_t, kRecordSize> after{};
};

// What one commit changed. Only cells whose text really changed are listed.
struct EditResult {
    std::vector<CellChange> cells;
    std::optional<RecordChange> record;
    // The text was refused (a number that is no tone of the lists); nothing changed.
    bool refused = false;
    bool Changed() const { return !cells.empty() || record.has_value(); }
};

class ChannelTable {
public:
    ChannelTable() = default;

    // The cells of records 0..257; "" outside that range.
    const std::string& Cell(int record, Column column) const;
    // Raw write of a cell (no normalising): for undo/redo and for tests. Ignored outside range.
    void SetCell(int record, Column column, std::string text);
    // A row whose Rx cell is empty is an empty channel.
    bool IsRowEmpty(int record) const;
    void ClearRow(int record);

    // Decodes the section limits the image holds (ReadModelLimits) and then all 258 records.
    void FillGridFromImage(const MemoryImage& image, SectionLimits& limits);
    // Decodes one record with the given limits (used by FillGridFromImage).
    void FillRow(int record, const MemoryImage& image, const SectionLimits& limits);

    // Encodes every row into its record (bytes the grid does not show are kept), then writes
    // the model block of modelIndex and prepares the image's summary areas for a write or save.
    void StoreGridToImage(MemoryImage& image, const SectionLimits& limits, int modelIndex) const;
    // Encodes one row into its record only (no summary areas).
    void StoreRow(int record, MemoryImage& image, const SectionLimits& limits) const;

    // Where an in-place edit of (record, column) starts: an empty row always starts at Rx Freq.
    Column EditColumnFor(int record, Column column) const;

    // Commits text typed into the frequency box of (record, column). Only Rx/Tx columns are
    // accepted; the text is pulled into a section and onto the step raster. May reset the
    // record in image (first Rx typed into an empty row).
    EditResult CommitFrequencyEdit(int record, Column column, std::string_view text,
                                   MemoryImage& image, const SectionLimits& limits);
    // Commits a tone combo's text (Decode/Encode columns) as TypedToneText reads it; a number
    // that is no tone of the lists is refused and the cell keeps its tone.
    EditResult CommitToneEdit(int record, Column column, std::string_view text);
    // Commits a choice combo's text (the four choice columns); a text outside the column's list
    // changes nothing.
    EditResult CommitChoiceEdit(int record, Column column, std::string_view text);

    // Undo and redo of a commit: put the cells (and the reset record) back to their texts and
    // bytes before, or after, the edit.
    void RevertEdit(const EditResult& edit, MemoryImage& image);
    void ReapplyEdit(const EditResult& edit, MemoryImage& image);

private:
    static bool InRange(int record, Column column);
    std::string& At(int record, Column column);
    // Sets a cell and records the change when the text differs.
    void Change(EditResult& result, int record, Column column, std::string text);

    // Default-initialised (every string empty): a "{}" initialiser here makes clang 14 crash.
    std::array<std::array<std::string, kColumnCount>, kRecordCount> cells_;
};

}  // namespace kestra
