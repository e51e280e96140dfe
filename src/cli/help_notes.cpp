// SPDX-License-Identifier: GPL-3.0-or-later
// What `kestra-cli <command> --help` says beyond the usage line and the one-line description:
// the rules a script runs into, where the command line is stricter than the dialogs.

#include <array>
#include <utility>

#include "cli/commands.hpp"

namespace kestra::cli {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kNotes{{
    {"channel",
     "  CH is A1-A128 or B1-B128 (A005, b12), a number 1-258 or A VFO / B VFO; a label no\n"
     "  channel has (A200, B0) is refused, exit 2. A tone typed as a number is a tone of the\n"
     "  lists: 88,5 is 88.5, 23 is D023N, 67 is 67.0; any other number is refused, exit 2.\n"},
    {"batch",
     "  --range FROM-TO needs 1 <= FROM <= TO <= 256 (200-100 or 0-0 is refused, exit 2).\n"
     "  --rx-tone/--tx-tone take a list text or a number read as channel reads it (88,5, 67).\n"
     "  A value may start with '-' (--name -XAB); one that is an option's name is written\n"
     "  --name=--by-number. The options are listed in kestra-cli(1).\n"},
    {"settings",
     "  SETTINGS.ini is a regular file of at most 1 MiB; a section or field given twice is\n"
     "  refused, naming both lines (exit 2, nothing written).\n"},
    {"calibration",
     "  CAL.ini is a regular file of at most 4 MiB; a folder, device or named pipe is refused\n"
     "  before anything is read (exit 1).\n"},
    {"export",
     "  OUT.csv is written atomically: a failed export leaves the old list as it was and no new\n"
     "  file behind; a read-only OUT.csv is refused (exit 1).\n"},
    {"import",
     "  Exit 3 when rows were changed or skipped, or carried text the radio cannot store\n"
     "  (Comment, URCALL, RPT1CALL, RPT2CALL, DVCODE); 2 when the list cannot be read.\n"},
    {"backups",
     "  Newest first by running number, with the local date and time; names carry UTC.\n"},
    {"read",
     "  A backup of what was read is kept; \"backup kept as\" names it once it is there.\n"},
}};

}  // namespace

std::string_view CommandNotes(std::string_view command) {
    for (const auto& [name, notes] : kNotes) {
        if (name == command) {
            return notes;
        }
    }
    return {};
}

}  // namespace kestra::cli
