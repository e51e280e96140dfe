// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The import's reading of one row of the interchange format: the texts of its columns turned
// into what a channel record holds, with the grid's rules (raster, section limits, tone texts)
// and a note for everything the radio cannot hold as given. Used by ImportChannelsCsv.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/codecs.hpp"
#include "model/csv_text.hpp"
#include "model/section_limits.hpp"

namespace kestra::csv {

// The columns of the format, in the header's order.
enum Column : std::size_t {
    kLocation,
    kName,
    kFrequency,
    kDuplex,
    kOffset,
    kTone,
    kRToneFreq,
    kCToneFreq,
    kDtcsCode,
    kDtcsPolarity,
    kRxDtcsCode,
    kCrossMode,
    kMode,
    kTStep,
    kSkip,
    kPower,
    kComment,
    kUrCall,
    kRpt1Call,
    kRpt2Call,
    kDvCode,
    kColumnCount
};

// Which field of a record holds each column (nothing when the file has no such column).
using ColumnMap = std::array<std::optional<std::size_t>, kColumnCount>;

// One record seen through the column map: the trimmed text of a column, "" when missing.
class RowView {
public:
    RowView(const CsvRecord& record, const ColumnMap& columns)
        : record_(record), columns_(columns) {}
    std::string_view Get(Column column) const;
    // The text as the file has it, spaces included (a name may start or end with one).
    std::string_view Raw(Column column) const;
    int line() const { return record_.line; }

private:
    const CsvRecord& record_;
    const ColumnMap& columns_;
};

// What one row sets on a channel record.
struct CsvChannel {
    Frequency rx = 0;
    std::optional<Frequency> tx;
    std::string rxTone = "None";  // a tone text as the grid holds it ("88.5", "D023N", "None")
    std::string txTone = "None";
    bool wide = true;
    bool scanAdd = true;
    bool highPower = true;
    std::string name;
};

struct MappedRow {
    std::optional<CsvChannel> channel;  // nothing when the row is skipped
    std::vector<std::string> notes;     // changes made, or the reason for skipping
};

// The power levels a file states in watts: the highest of them is High, the others Low.
struct PowerScale {
    std::int64_t highestMilliwatts = -1;
};
// Milliwatts of a text such as "5.0W", "5 W" or "0.5w"; nothing for other texts.
std::optional<std::int64_t> Milliwatts(std::string_view text);

// The row's channel with the grid's rules applied to its frequencies and tones.
MappedRow MapRow(const RowView& row, const SectionLimits& limits, const PowerScale& power);

// The parts of MapRow: the tone columns into channel's tones, and Skip, Power and Name.
void MapTones(const RowView& row, CsvChannel& channel, std::vector<std::string>& notes);
void MapOptions(const RowView& row, const PowerScale& power, CsvChannel& channel,
                std::vector<std::string>& notes);

// A decimal text (digits with at most one point, no sign or exponent, fewer than ten whole
// digits) scaled by 10^decimals; exact is false when a non-zero digit lay beyond that.
struct ScaledDecimal {
    std::int64_t value = 0;
    bool exact = true;
};
std::optional<ScaledDecimal> ScaleDecimal(std::string_view text, int decimals);

// A whole decimal number without sign ("12"); nothing for anything else.
std::optional<int> WholeNumber(std::string_view text);

std::string_view Trimmed(std::string_view text);

}  // namespace kestra::csv
