// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Channels as the comma-separated format radio amateurs move between programming tools (one row
// per memory channel under the header kCsvHeader). Export writes the channels the grid shows;
// import reads files from this and other tools (any column order, missing optional columns,
// quoted fields, CRLF, a byte-order mark, powers in watts, extra columns) and writes each row
// into a channel record with the grid's rules (raster, section limits, tone texts). What the
// radio cannot hold is never changed silently: every row ends up in the report with what was
// done to it.
//
// Column meanings: Location 1-128 is A001-A128, 129-256 B001-B128. Frequency is the receive
// frequency in MHz. Duplex "" sends on it, "+"/"-" Offset MHz above or below, "split" on the
// frequency in Offset, "off" never. Tone "" none, "Tone" sends rToneFreq, "TSQL" sends and
// decodes cToneFreq, "DTCS" sends and decodes DtcsCode with DtcsPolarity (send then decode, N
// normal, R inverted), "Cross" as CrossMode says (left of the arrow what is sent, right what is
// decoded; CTCSS sent rToneFreq, decoded cToneFreq, DCS sent DtcsCode, decoded RxDtcsCode).
// Mode "FM" is wide, "NFM" narrow. Skip "S" leaves the channel out of the scan. Power "High" or
// "Low", or watts (the highest in the file is High).

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

inline constexpr std::string_view kCsvHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// The header line and one line per channel the grid shows among the given records (0..255, in
// the order given; VFO slots and empty slots are left out), each line ending in a line feed.
std::string ExportChannelsCsv(const MemoryImage& image, const SectionLimits& limits,
                              std::span<const int> records);
// All memory channels A001-B128.
std::string ExportChannelsCsv(const MemoryImage& image, const SectionLimits& limits);

// Where imported rows go.
enum class CsvPlacement {
    ByLocation,  // the slot the Location column names
    FirstEmpty,  // the first slots (A001 on) that hold no channel, in file order
    FromRecord,  // one after another from firstRecord on, whatever the slots held (a paste)
};

struct CsvImportOptions {
    CsvPlacement placement = CsvPlacement::ByLocation;
    int firstRecord = 0;  // FromRecord only: 0..255
    // ByLocation: how the caller's user puts rows into the first empty slots instead ("--append",
    // a choice in a dialog); named for a row at Location 0, which that would take.
    std::string firstEmptyChoice = "importing into the first empty slots";
};

enum class CsvRowOutcome { Taken, Changed, Skipped };

// What happened to one row of the file.
struct CsvRowReport {
    int line = 0;          // where the row starts in the file
    std::string location;  // the row's Location text, when it has one
    int record = -1;       // the slot it went to; -1 when skipped
    CsvRowOutcome outcome = CsvRowOutcome::Taken;
    std::vector<std::string> notes;  // what was changed, or why it was skipped
};

struct CsvImportReport {
    // About the file as a whole: ignored columns, and one line per column whose text the radio
    // cannot store ("Comment: text of 112 rows not stored: the radio has no such field").
    std::vector<std::string> notes;
    std::vector<CsvRowReport> rows;
    // Rows that went into channels carried text in a column the radio has no field for.
    bool textNotStored = false;

    int Count(CsvRowOutcome outcome) const;
    // True when every row went into a channel exactly as the file gave it.
    bool AllTakenWhole() const {
        return Count(CsvRowOutcome::Taken) == static_cast<int>(rows.size());
    }
    // True when, besides, no text of the file was left out.
    bool Complete() const { return AllTakenWhole() && !textNotStored; }
};

struct CsvImportResult {
    // Empty when the file could be read; otherwise why not, and the image is untouched.
    std::string error;
    CsvImportReport report;

    bool ok() const { return error.empty(); }
};

// Reads the text and writes its rows into the channel records of image. A slot that held no
// channel starts from the cleared record; one that held a channel keeps the fields the format
// does not carry (BCL, Vox, PTT ID, signal type, relay mode, voice process). Each written slot is
// marked present so that the grid shows it. The shift is left to the encode step that runs
// before every save and write.
CsvImportResult ImportChannelsCsv(std::string_view text, MemoryImage& image,
                                  const SectionLimits& limits, const CsvImportOptions& options);

// The report as lines a user reads: file notes, one line per row ("line 4 (Location 3) -> A003:
// changed: ..."), then a count of taken, changed and skipped rows.
std::string FormatCsvImportReport(const CsvImportReport& report);

}  // namespace kestra
