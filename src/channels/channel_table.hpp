#pragma once
// The channel grid's working copy: 258 rows (A001-A128, B001-B128, "A VFO", "B VFO") of eight
// cell texts each. The grid is decoded from the memory image after a read, after the Channel
// Edit dialog and after a batch, and encoded back into the image (with every summary area the
// radio needs) before each write and save. All rules about what a cell may hold live here: the
// layout (headers, widths, row labels, choice lists, defaults), the decode and encode of the
// records, and the commit of an in-place edit. The grid widget only shows these texts and hands
// typed texts to the commit functions; each commit reports what it changed so that the widget can
// build an undo command from the result.
//
// Rows are numbered as the grid shows them: row 0 is the header, rows 1..258 are channel slots
// (row r is channel record r - 1). Column 0 holds the row labels, columns 1..8 the cells.

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

enum class Column {
    Label = 0,  // the fixed row-label column
    RxFreq = 1,
    TxFreq,
    Decode,
    Encode,
    Power,
    ScanAdd,
    WideNarrow,
    Bcl,
    Count  // number of grid columns including the label column (9)
};

inline constexpr int kChannelRows = 258;                // rows 1..258
inline constexpr int kGridRowCount = kChannelRows + 1;  // with the header row
inline constexpr int kGridColumnCount = static_cast<int>(Column::Count);
inline constexpr int kCellColumns = kGridColumnCount - 1;  // columns 1..8
inline constexpr int kVfoRowA = 257;
inline constexpr int kVfoRowB = 258;

// ---- layout ---------------------------------------------------------------------------------

// "Rx Freq", "Tx Freq", "Decode", "Encode", "Power", "Scan Add", "W/N", "BCL"; "" for Label.
std::string_view ColumnHeader(Column column);
// 600 for the label column, 1500 for the two frequency columns, 1000 for the others.
int ColumnWidthTwips(Column column);
// "A 001".."A 128", "B 001".."B 128", "A VFO", "B VFO"; "" outside 1..258.
std::string RowLabel(int row);
// The fixed list of a choice column ("Low","High" / "Del","Add" / "Narrow","Wide" /
// "Off","Carrier","QT/DQT"); empty for the other columns.
std::span<const std::string_view> ChoiceList(Column column);
// What a newly created row shows in columns 3..8: "None","None","High","Add","Wide","Off".
inline constexpr std::array<std::string_view, 6> kRowDefaults{"None", "None", "High",
                                                              "Add",  "Wide", "Off"};
// Section of a row: 0 (A) for rows 1..128 and 257, 1 (B) for rows 129..256 and 258, else -1.
int SectionOfRow(int row);
bool IsVfoRow(int row);

// The largest frequency a record's eight BCD digits hold (999.99999 MHz).
inline constexpr Frequency kMaxCellFrequency = 99999999;
// A frequency cell's text in 10 Hz units, exactly, kept within 0..kMaxCellFrequency
// ("146.52500" -> 14652500, "" -> 0).
Frequency CellFrequency(std::string_view text);

// ---- in-place editing -----------------------------------------------------------------------

enum class EditorKind { None, Frequency, Tone, Choice };
// Frequency for Rx/Tx, Tone for Decode/Encode, Choice for columns 5..8, None for the labels.
EditorKind EditorKindFor(Column column);

// One cell's text before and after an edit.
struct CellChange {
    int row = 0;
    Column column = Column::RxFreq;
    std::string before;
    std::string after;
};

// A channel record overwritten by an edit (the first Rx typed into an empty row resets it).
struct RecordChange {
    int row = 0;
    std::array<std::uint8_t, kRecordSize> before{};
    std::array<std::uint8_t, kRecordSize> after{};
};

// What one commit changed. Only cells whose text really changed are listed.
struct EditResult {
    std::vector<CellChange> cells;
    std::optional<RecordChange> record;
    bool Changed() const { return !cells.empty() || record.has_value(); }
};

// Writes the default record into row's record: 32 bytes 0xFF, byte 12 = 0x00, byte 13 = 0x38,
// byte 15 = 0x00, bytes 16-19 = 00 00 00 01, bytes 20-21 = 0x00. Rows outside 1..258 are ignored.
void ResetChannelRecord(MemoryImage& image, int row);

class ChannelTable {
public:
    ChannelTable() = default;

    // The text of any grid cell: row 0 holds the headers, column 0 the row labels.
    std::string Text(int row, int column) const;

    // The editable cells, rows 1..258 and columns RxFreq..Bcl; "" outside that range.
    const std::string& Cell(int row, Column column) const;
    // Raw write of a cell (no normalising): for undo/redo and for tests. Ignored outside range.
    void SetCell(int row, Column column, std::string text);
    // A row whose Rx cell is empty is an empty channel.
    bool IsRowEmpty(int row) const;
    void ClearRow(int row);

    // Decodes the section limits (an A or B pair whose fourth byte is not 0xFF replaces the
    // current one) and then all 258 records into the cells.
    void FillGridFromImage(const MemoryImage& image, SectionLimits& limits);
    // Decodes one row with the given limits (used by FillGridFromImage).
    void FillRow(int row, const MemoryImage& image, const SectionLimits& limits);

    // Encodes every row into its record (bytes the grid does not show are kept), then writes
    // the model block of modelIndex and prepares the image's summary areas for a write or save.
    void StoreGridToImage(MemoryImage& image, const SectionLimits& limits, int modelIndex) const;
    // Encodes one row into its record only (no summary areas).
    void StoreRow(int row, MemoryImage& image, const SectionLimits& limits) const;

    // Where an in-place edit of (row, column) starts: an empty row always starts at Rx Freq.
    Column EditColumnFor(int row, Column column) const;

    // Commits text typed into the frequency box of (row, column). Only Rx/Tx columns are
    // accepted; the text is pulled into a section and onto the step raster. May reset the row's
    // record in image (first Rx typed into an empty row).
    EditResult CommitFrequencyEdit(int row, Column column, std::string_view text,
                                   MemoryImage& image, const SectionLimits& limits);
    // Commits a tone combo's text (Decode/Encode columns), normalised.
    EditResult CommitToneEdit(int row, Column column, std::string_view text);
    // Commits a choice combo's text (columns 5..8); a text outside the column's list changes
    // nothing.
    EditResult CommitChoiceEdit(int row, Column column, std::string_view text);

    // Undo and redo of a commit: put the cells (and the reset record) back to their texts and
    // bytes before, or after, the edit.
    void RevertEdit(const EditResult& edit, MemoryImage& image);
    void ReapplyEdit(const EditResult& edit, MemoryImage& image);

private:
    static bool InRange(int row, Column column);
    std::string& At(int row, Column column);
    // Sets a cell and records the change when the text differs.
    void Change(EditResult& result, int row, Column column, std::string text);

    // Default-initialised (every string empty): a "{}" initialiser here makes clang 14 crash.
    std::array<std::array<std::string, kCellColumns>, kChannelRows> cells_;
};

}  // namespace kestra
