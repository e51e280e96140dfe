// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Comma-separated text as spreadsheets and other programs write it: fields separated by commas
// (or tabs or semicolons, which spreadsheets use when copying or in some locales), optionally
// quoted with doubled quotes inside, line breaks as CRLF, LF or CR, an optional UTF-8 byte-order
// mark, and line breaks inside quoted fields. The channel import and export build on it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestra {

// One record of the text and the line it starts on (1-based, counting every line break).
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// The delimiter the first non-empty line uses most outside quotes: ',', '\t' or ';' (',' when
// the line holds none of them).
char GuessCsvDelimiter(std::string_view text);

// Splits the text into records. Lines that hold nothing but delimiters are left out (spreadsheets
// write them below a table); fields keep their spaces.
// Nothing, with the reason in error, when the text is no CSV at all: a NUL byte (a binary file)
// or a quoted field that never closes.
std::optional<std::vector<CsvRecord>> ParseCsv(std::string_view text, char delimiter,
                                               std::string& error);

// A field as CSV writes it: quoted (with doubled quotes) when it holds a comma, a quote, a line
// break or leading or trailing spaces, else as it is.
std::string CsvField(std::string_view text);

}  // namespace kestra
