// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/csv_text.hpp"

#include <algorithm>
#include <array>

namespace kestra {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text;
}

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Reads records one character at a time; a CR LF pair counts as one line break.
class CsvReader {
public:
    CsvReader(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}

    std::optional<std::vector<CsvRecord>> Read(std::string& error) {
        if (text_.find('\0') != std::string_view::npos) {
            error = "it holds NUL bytes, so it is no text file";
            return std::nullopt;
        }
        while (at_ < text_.size()) {
            if (!ReadRecord(error)) {
                return std::nullopt;
            }
        }
        return std::move(records_);
    }

private:
    // Consumes one line break at at_ (CR, LF or CR LF).
    void SkipLineBreak() {
        if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') {
            ++at_;
        }
        ++at_;
        ++line_;
    }

    bool ReadRecord(std::string& error) {
        CsvRecord record{line_, {}};
        std::string field;
        bool quotedField = false;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '"' && field.empty() && !quotedField) {
                const int opened = line_;
                if (!ReadQuoted(field)) {
                    error = "line " + std::to_string(opened) + ": a quoted field is never closed";
                    return false;
                }
                quotedField = true;
            } else if (c == delimiter_) {
                record.fields.push_back(std::move(field));
                field.clear();
                quotedField = false;
                ++at_;
            } else if (IsLineBreak(c)) {
                SkipLineBreak();
                break;
            } else {
                // Text after a closing quote is kept as written, as spreadsheets do.
                field.push_back(c);
                ++at_;
            }
        }
        record.fields.push_back(std::move(field));
        const bool blank = std::all_of(record.fields.begin(), record.fields.end(),
                                       [](const std::string& f) { return f.empty(); });
        if (!blank) {
            records_.push_back(std::move(record));
        }
        return true;
    }

    // at_ is on the opening quote; reads up to and past the closing one.
    bool ReadQuoted(std::string& field) {
        ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '"') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                    field.push_back('"');
                    at_ += 2;
                    continue;
                }
                ++at_;
                return true;
            }
            if (IsLineBreak(c)) {
                const std::size_t start = at_;
                SkipLineBreak();
                field.append(text_.substr(start, at_ - start));
                continue;
            }
            field.push_back(c);
            ++at_;
        }
        return false;
    }

    std::string_view text_;
    char delimiter_;
    std::size_t at_ = 0;
    int line_ = 1;
    std::vector<CsvRecord> records_;
};

}  // namespace

char GuessCsvDelimiter(std::string_view text) {
    text = WithoutByteOrderMark(text);
    static constexpr std::array<char, 3> kCandidates{',', '\t', ';'};
    std::array<int, 3> counts{};
    bool quoted = false;
    bool seenContent = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && IsLineBreak(c)) {
            if (seenContent) {
                break;
            }
            continue;
        }
        seenContent = true;
        if (quoted) {
            continue;
        }
        for (std::size_t i = 0; i < kCandidates.size(); ++i) {
            counts[i] += c == kCandidates[i] ? 1 : 0;
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? ',' : kCandidates[static_cast<std::size_t>(most - counts.begin())];
}

std::optional<std::vector<CsvRecord>> ParseCsv(std::string_view text, char delimiter,
                                               std::string& error) {
    return CsvReader(WithoutByteOrderMark(text), delimiter).Read(error);
}

std::string CsvField(std::string_view text) {
    const bool plain = text.find_first_of(",\"\r\n") == std::string_view::npos &&
                       (text.empty() || (text.front() != ' ' && text.back() != ' '));
    if (plain) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted.push_back(c);
        if (c == '"') {
            quoted.push_back('"');
        }
    }
    quoted.push_back('"');
    return quoted;
}

}  // namespace kestra
