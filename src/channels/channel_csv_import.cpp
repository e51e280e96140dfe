// SPDX-License-Identifier: GPL-3.0-or-later
// Rows of the interchange format into channel records, with a report for every row.

#include <algorithm>
#include <array>

#include "channels/channel_csv.hpp"
#include "channels/channel_csv_rows.hpp"
#include "channels/channel_fields.hpp"
#include "model/ascii.hpp"
#include "model/channel_record.hpp"
#include "model/image_map.hpp"

namespace kestra {

namespace {

using namespace csv;

constexpr int kMemoryChannels = 256;
constexpr int kSectionChannels = 128;

std::array<std::string_view, kColumnCount> HeaderNames() {
    std::array<std::string_view, kColumnCount> names{};
    std::string_view rest = kCsvHeader;
    for (std::string_view& name : names) {
        const std::size_t comma = rest.find(',');
        name = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    return names;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : std::string(separator)) + part;
    }
    return text;
}

// Where each column stands, and whether the first record is the header.
struct Layout {
    ColumnMap columns;
    bool headerRow = true;
};

std::optional<Layout> FindLayout(const std::vector<CsvRecord>& records,
                                 std::vector<std::string>& notes, std::string& error) {
    if (records.empty()) {
        error = "it holds no header line and no channels";
        return std::nullopt;
    }
    static const auto kNames = HeaderNames();
    Layout layout;
    const CsvRecord& first = records.front();
    std::vector<std::string> unknown;
    for (std::size_t i = 0; i < first.fields.size(); ++i) {
        const std::string_view name = Trimmed(first.fields[i]);
        const auto known = std::find_if(kNames.begin(), kNames.end(), [name](std::string_view n) {
            return EqualsIgnoringAsciiCase(n, name);
        });
        if (known == kNames.end()) {
            if (!name.empty()) {
                unknown.emplace_back(name);
            }
        } else if (auto& column = layout.columns[static_cast<std::size_t>(known - kNames.begin())];
                   !column) {
            column = i;
        }
    }
    if (layout.columns[kFrequency]) {
        if (!unknown.empty()) {
            notes.push_back("columns ignored: " + Joined(unknown, ", "));
        }
        return layout;
    }
    // Rows copied without their header: the columns stand in the format's own order.
    if (first.fields.size() > kFrequency && WholeNumber(Trimmed(first.fields[kLocation])) &&
        ScaleDecimal(Trimmed(first.fields[kFrequency]), 6)) {
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            layout.columns[c] = c;
        }
        layout.headerRow = false;
        notes.push_back("no header line: the columns were read in the standard order");
        return layout;
    }
    error = "its first line names no Frequency column, so it is no channel list";
    return std::nullopt;
}

// Which slot each row goes to.
class SlotChooser {
public:
    SlotChooser(const MemoryImage& image, const SectionLimits& limits,
                const CsvImportOptions& options)
        : options_(options),
          next_(options.placement == CsvPlacement::FromRecord
                    ? std::clamp(options.firstRecord, 0, kMemoryChannels)
                    : 0) {
        for (int record = 0; record < kMemoryChannels; ++record) {
            held_[static_cast<std::size_t>(record)] = ChannelIsShown(image, record, limits);
        }
    }

    bool WasHeld(int record) const { return held_[static_cast<std::size_t>(record)]; }

    // The record for the row, or -1 with the reason.
    int Choose(const RowView& row, std::string& reason) {
        switch (options_.placement) {
            case CsvPlacement::ByLocation:
                return ByLocation(row, reason);
            case CsvPlacement::FirstEmpty:
                while (next_ < kMemoryChannels && WasHeld(next_)) {
                    ++next_;
                }
                if (next_ >= kMemoryChannels) {
                    reason = "no empty channel is left";
                    return -1;
                }
                return next_++;
            case CsvPlacement::FromRecord:
                if (next_ >= kMemoryChannels) {
                    reason = "no channel is left after B128";
                    return -1;
                }
                return next_++;
        }
        return -1;
    }

private:
    int ByLocation(const RowView& row, std::string& reason) {
        const std::string_view text = row.Get(kLocation);
        const auto number = WholeNumber(text);
        if (text.empty()) {
            reason = "it has no Location";
        } else if (!number) {
            reason = "Location \"" + std::string(text) + "\" is no channel number";
        } else if (*number < 1 || *number > kMemoryChannels) {
            reason = "Location " + std::string(text) + " is not a channel of this radio (1-256)";
            if (*number == 0) {
                // Lists that count from 0 are common; placed by order instead, the row goes in.
                reason += "; " + options_.firstEmptyChoice + " would take it";
            }
        } else if (const int earlier = lineOf_[static_cast<std::size_t>(*number - 1)]) {
            reason = "Location " + std::string(text) + " was already given on line " +
                     std::to_string(earlier);
        } else {
            lineOf_[static_cast<std::size_t>(*number - 1)] = row.line();
            return *number - 1;
        }
        return -1;
    }

    const CsvImportOptions& options_;
    int next_ = 0;
    std::array<bool, kMemoryChannels> held_{};
    std::array<int, kMemoryChannels> lineOf_{};  // the line that took each Location
};

// The columns of the format whose text the radio has no field for.
constexpr std::array<csv::Column, 5> kUnstoredColumns{kComment, kUrCall, kRpt1Call, kRpt2Call,
                                                      kDvCode};

// Counts, per unstored column, the rows that went into channels with text in it.
struct UnstoredText {
    std::array<int, kUnstoredColumns.size()> rows{};

    void Count(const RowView& row) {
        for (std::size_t i = 0; i < kUnstoredColumns.size(); ++i) {
            rows[i] += row.Get(kUnstoredColumns[i]).empty() ? 0 : 1;
        }
    }
    // One note per column that had text; true when there was any.
    bool Report(std::vector<std::string>& notes) const {
        static const auto kNames = HeaderNames();
        bool any = false;
        for (std::size_t i = 0; i < kUnstoredColumns.size(); ++i) {
            if (rows[i] > 0) {
                notes.push_back(std::string(kNames[kUnstoredColumns[i]]) + ": text of " +
                                std::to_string(rows[i]) + (rows[i] == 1 ? " row" : " rows") +
                                " not stored: the radio has no such field");
                any = true;
            }
        }
        return any;
    }
};

void WriteChannel(MemoryImage& image, int record, const CsvChannel& channel, bool held) {
    if (!held) {
        WriteClearedRecord(image, record);
    }
    ChannelRecord out(image, record);
    out.SetRxFrequency(channel.rx);
    out.SetTxFrequency(channel.tx);
    out.SetRxToneText(channel.rxTone);
    out.SetTxToneText(channel.txTone);
    out.SetWide(channel.wide);
    out.SetScanAdd(channel.scanAdd);
    out.SetHighPower(channel.highPower);
    out.SetName(channel.name);
    const int section = record / kSectionChannels;
    SetChannelBit(image, map::PresentMapOf(section), record % kSectionChannels + 1, true);
}

}  // namespace

int CsvImportReport::Count(CsvRowOutcome outcome) const {
    return static_cast<int>(std::count_if(
        rows.begin(), rows.end(), [outcome](const auto& row) { return row.outcome == outcome; }));
}

CsvImportResult ImportChannelsCsv(std::string_view text, MemoryImage& image,
                                  const SectionLimits& limits, const CsvImportOptions& options) {
    CsvImportResult result;
    const auto records = ParseCsv(text, GuessCsvDelimiter(text), result.error);
    if (!records) {
        return result;
    }
    const auto layout = FindLayout(*records, result.report.notes, result.error);
    if (!layout) {
        return result;
    }
    if (options.placement == CsvPlacement::ByLocation && !layout->columns[kLocation]) {
        result.error = "it has no Location column to say where the channels go";
        return result;
    }
    const auto first = records->begin() + (layout->headerRow ? 1 : 0);
    PowerScale power;
    for (auto it = first; it != records->end(); ++it) {
        const auto mw = Milliwatts(RowView(*it, layout->columns).Get(kPower));
        power.highestMilliwatts = std::max(power.highestMilliwatts, mw.value_or(-1));
    }
    SlotChooser slots(image, limits, options);
    UnstoredText unstored;
    for (auto it = first; it != records->end(); ++it) {
        const RowView row(*it, layout->columns);
        CsvRowReport report{
            row.line(), std::string(row.Get(kLocation)), -1, CsvRowOutcome::Skipped, {}};
        MappedRow mapped = MapRow(row, limits, power);
        std::string reason;
        const int record = mapped.channel ? slots.Choose(row, reason) : -1;
        if (record < 0) {
            report.notes = mapped.channel ? std::vector<std::string>{reason} : mapped.notes;
        } else {
            WriteChannel(image, record, *mapped.channel, slots.WasHeld(record));
            unstored.Count(row);
            report.record = record;
            report.outcome = mapped.notes.empty() ? CsvRowOutcome::Taken : CsvRowOutcome::Changed;
            report.notes = std::move(mapped.notes);
        }
        result.report.rows.push_back(std::move(report));
    }
    result.report.textNotStored = unstored.Report(result.report.notes);
    return result;
}

std::string FormatCsvImportReport(const CsvImportReport& report) {
    static constexpr std::array<std::string_view, 3> kWords{"taken", "changed", "skipped"};
    std::string text;
    for (const std::string& note : report.notes) {
        text += note + "\n";
    }
    for (const CsvRowReport& row : report.rows) {
        text += "line " + std::to_string(row.line);
        if (!row.location.empty()) {
            text += " (Location " + row.location + ")";
        }
        if (row.record >= 0) {
            text += " -> " + ChannelLabel(row.record + 1);
        }
        text += ": " + std::string(kWords[static_cast<std::size_t>(row.outcome)]);
        if (!row.notes.empty()) {
            text += ": " + Joined(row.notes, "; ");
        }
        text += "\n";
    }
    const std::size_t count = report.rows.size();
    text += std::to_string(count) + (count == 1 ? " row: " : " rows: ") +
            std::to_string(report.Count(CsvRowOutcome::Taken)) + " taken whole, " +
            std::to_string(report.Count(CsvRowOutcome::Changed)) + " changed, " +
            std::to_string(report.Count(CsvRowOutcome::Skipped)) + " skipped\n";
    return text;
}

}  // namespace kestra
