// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a fleet run is told: a line per radio as it finishes, a table at the end (port, model and
// firmware as the radio identified itself, the Own ID when the run numbered them, the result,
// the seconds) and the same facts as a JSON report that scripts can check and that several
// programming stations' reports merge into one. The command-line tool prints the line and the
// table; the desktop dialog shows them in its rows and its result table and copies the table as
// tab-separated text.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/fleet_run.hpp"
#include "model/atomic_file.hpp"

namespace kestra {

// "written", "verified", "read", or "failed: " and the first line of the failure message.
std::string RadioResultText(const RadioOutcome& outcome);

// The line said when a radio is done:
// "/dev/pts/3: verified in 28.6 s (KESTRA-D v1.2.3, Own ID 101)".
std::string RadioFinishedLine(const RadioOutcome& outcome);

// What a radio's status line says while it runs: "Writing 45%", "Verifying 80%", "Reading 12%".
std::string RadioProgressText(FleetAction action, int position, int total);

// The result table: a header and one row per radio, every cell a text.
struct FleetTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};
FleetTable MakeFleetTable(const std::vector<RadioOutcome>& outcomes);
// Columns padded to their widest cell, two spaces apart, one line per row.
std::string FleetTableText(const FleetTable& table);
// Cells separated by tabs (what a spreadsheet takes from the clipboard).
std::string FleetTableTabs(const FleetTable& table);

// What the report says about the run as a whole.
struct FleetReportInfo {
    std::string command;  // "fleet write", "fleet read", "clone", "desktop write"
    std::string image;    // the document file written; empty when none
    std::string host;     // the programming station's host name
    std::string started;  // local time, "2024-05-01T14:03:22+02:00"
};
// The info with this machine's host name and the time given.
FleetReportInfo MakeReportInfo(std::string command, std::string image,
                               std::chrono::system_clock::time_point started);

// The report as JSON text (its fields are documented in the README).
std::string FleetReportJson(const FleetReportInfo& info, const std::vector<RadioOutcome>& outcomes);

// Whether a report can be saved to path (checked before any radio is woken), and the save
// itself: atomic, so a report is whole or not there.
FileResult CheckFleetReportTarget(const std::filesystem::path& path);
FileResult SaveFleetReport(const std::filesystem::path& path, std::string_view json);

}  // namespace kestra
