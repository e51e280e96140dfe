// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/calibration_file.hpp"

#include <map>
#include <vector>

#include "model/ascii.hpp"
#include "service/dtmf_initialization.hpp"
#include "service/parameter_adjust.hpp"
#include "service/sql_adjust.hpp"

namespace kestra {

namespace {

enum class Kind { Scalar, Check, GridCell, Dtmf, SqlCell };

// What a key names: a box, check box or cell of one of the three editors.
struct Target {
    Kind kind = Kind::Scalar;
    std::size_t index = 0;  // scalar, check or DTMF box; grid; Sql point
    std::size_t cell = 0;   // grid cell or Sql cell k
};

struct Section {
    std::string_view name;
    std::vector<std::pair<std::string, Target>> keys;  // in printing order
    std::map<std::string, Target, std::less<>> byKey;
};

std::string GridCellKey(const CalibrationGrid& grid, int row, int column) {
    return GridRowLabel(grid, row) + "/" +
           std::string(grid.headers[static_cast<std::size_t>(column)]);
}

std::string SqlCellKey(const SqlPoint& point, std::size_t k) {
    return BandText(point.band) + " " + std::to_string(point.mhz) + "/" +
           std::string(kSqlRowLabels[k / kSqlGridSize]) + "/" +
           std::string(kSqlColumnHeaders[k % kSqlGridSize]);
}

std::vector<Section> BuildSections() {
    std::vector<Section> sections(3);
    sections[0].name = kParameterAdjustSection;
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        if (!kScalarFields[i].hidden) {
            sections[0].keys.push_back({std::string(kScalarFields[i].caption), {Kind::Scalar, i}});
        }
    }
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        sections[0].keys.push_back({std::string(kCheckFields[i].caption), {Kind::Check, i}});
    }
    for (std::size_t g = 0; g < kGridCount; ++g) {
        const CalibrationGrid& grid = kCalibrationGrids[g];
        for (int r = 0; r < grid.rowCount; ++r) {
            for (int c = 0; c < grid.columnCount; ++c) {
                const auto cell = static_cast<std::size_t>(r * grid.columnCount + c);
                sections[0].keys.push_back({GridCellKey(grid, r, c), {Kind::GridCell, g, cell}});
            }
        }
    }
    sections[1].name = kDtmfInitializationSection;
    for (std::size_t k = 0; k < kDtmfDecoderEntries.size(); ++k) {
        sections[1].keys.push_back({std::string(kDtmfDecoderEntries[k].caption), {Kind::Dtmf, k}});
    }
    sections[2].name = kSqlAdjustSection;
    const std::vector<SqlPoint> points = AllSqlPoints();
    for (std::size_t p = 0; p < points.size(); ++p) {
        for (std::size_t k = 0; k < kSqlCellCount; ++k) {
            sections[2].keys.push_back({SqlCellKey(points[p], k), {Kind::SqlCell, p, k}});
        }
    }
    for (Section& section : sections) {
        for (const auto& [key, target] : section.keys) {
            section.byKey.emplace(key, target);
        }
    }
    return sections;
}

const std::vector<Section>& Sections() {
    static const std::vector<Section> sections = BuildSections();
    return sections;
}

// The editors' texts for one image, loaded as the dialogs load them; Sql points on demand.
struct Forms {
    explicit Forms(const MemoryImage& image)
        : parameters(LoadParameterAdjust(image)),
          dtmf(LoadDtmfInitialization(image)),
          points(AllSqlPoints()),
          sql(points.size()),
          sqlTouched(points.size(), false) {
        for (std::size_t p = 0; p < points.size(); ++p) {
            sql[p] = LoadSqlRecord(image, points[p].offset);
        }
    }

    // The text of a box or cell; check boxes have none (callers handle them first).
    std::string& Text(const Target& t) {
        switch (t.kind) {
            case Kind::Scalar:
                return parameters.fields[t.index];
            case Kind::GridCell:
                return parameters.cells[t.index][t.cell];
            case Kind::Dtmf:
                return dtmf[t.index];
            case Kind::SqlCell:
            case Kind::Check:
                break;
        }
        return sql[t.index][t.cell];
    }

    ParameterAdjustForm parameters;
    DtmfInitializationForm dtmf;
    std::vector<SqlPoint> points;
    std::vector<SqlRecordTexts> sql;
    std::vector<bool> sqlTouched;  // points whose record a listed value changes
};

// Where a box, check box or cell keeps its value in the image.
std::vector<ImageBits> OwnedBits(const Forms& forms, const Target& t) {
    const auto bytes = [](std::size_t offset, std::size_t count) {
        std::vector<ImageBits> owned;
        for (std::size_t i = 0; i < count; ++i) {
            owned.push_back({offset + i, 0xFF});
        }
        return owned;
    };
    switch (t.kind) {
        case Kind::Scalar: {
            const ScalarField& field = kScalarFields[t.index];
            if (field.encoding == ScalarEncoding::Bits) {
                return {{field.where.offset, field.where.Mask()}};
            }
            return bytes(field.where.offset, 2);
        }
        case Kind::Check:
            return {{kCheckFields[t.index].where.offset, kCheckFields[t.index].where.Mask()}};
        case Kind::GridCell:
            return bytes(kCalibrationGrids[t.index].offset + t.cell, 1);
        case Kind::Dtmf:  // the register's fixed tag and its value
            return bytes(map::kDtmfDecoderTable + map::kDtmfDecoderEntrySize * t.index,
                         map::kDtmfDecoderEntrySize);
        case Kind::SqlCell:
            break;
    }
    return bytes(forms.points[t.index].offset + kCellOffset[t.cell], 1);
}

SpinFieldRule RuleOf(const Target& t) {
    switch (t.kind) {
        case Kind::Scalar:
            return kScalarFields[t.index].rule;
        case Kind::GridCell:
            return kCalibrationGrids[t.index].editor;
        case Kind::Dtmf:
            return kDtmfDecoderRule;
        case Kind::SqlCell:
        case Kind::Check:
            break;
    }
    return kSqlCellRule;
}

std::string_view Trim(std::string_view s) {
    constexpr std::string_view blanks = " \t\r";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A plain number in the rule's base that fits the box and its range; the text the box then
// shows, or nothing.
std::optional<std::string> WellFormedValue(const SpinFieldRule& rule, std::string_view value) {
    if (value.empty() || value.size() > static_cast<std::size_t>(rule.typing.maxLength)) {
        return std::nullopt;
    }
    for (const char c : value) {
        const bool digit = IsAsciiDigit(c);
        const bool hexLetter = !digit && HexDigitValue(c) >= 0;
        if (!digit && !(rule.base == SpinFormat::Hex && hexLetter)) {
            return std::nullopt;
        }
    }
    const std::optional<std::string> typed = TypedSpinText(rule, value);
    const std::int64_t number = SpinFieldValue(rule, value);
    if (!typed || number < rule.low || number > rule.high) {
        return std::nullopt;
    }
    return LeaveSpinField(rule, *typed);
}

std::string Expected(const SpinFieldRule& rule) {
    const bool hex = rule.base == SpinFormat::Hex;
    return std::string(hex ? "a hexadecimal" : "a") + " number from " +
           ShowSpinValue(rule, rule.low) + " to " + ShowSpinValue(rule, rule.high);
}

// Sets one value as typing would; an error text when the box would not hold it.
std::optional<std::string> SetValue(Forms& forms, const Target& target, std::string_view value) {
    if (target.kind == Kind::Check) {
        if (value != "0" && value != "1") {
            return "needs 1 (checked) or 0";
        }
        forms.parameters.checks[target.index] = value == "1";
        return std::nullopt;
    }
    std::string& shown = forms.Text(target);
    if (target.kind == Kind::SqlCell) {
        forms.sqlTouched[target.index] = true;
    }
    const SpinFieldRule rule = RuleOf(target);
    if (ShownSpinText(rule, value) == shown) {
        return std::nullopt;  // the box is left as the editor shows it
    }
    const std::optional<std::string> typed = WellFormedValue(rule, value);
    if (!typed) {
        return "needs " + Expected(rule);
    }
    shown = *typed;
    return std::nullopt;
}

void CommitAll(Forms& forms, MemoryImage& image) {
    CommitParameterAdjust(forms.parameters, image);
    CommitDtmfInitialization(forms.dtmf, image);
    for (std::size_t p = 0; p < forms.points.size(); ++p) {
        if (forms.sqlTouched[p]) {
            StoreSqlRecord(forms.sql[p], image, forms.points[p].offset);
        }
    }
}

std::string AtLine(int line, const std::string& text) {
    return "line " + std::to_string(line) + ": " + text;
}

}  // namespace

std::vector<CalibrationEntry> CalibrationEntries(const MemoryImage& image) {
    Forms forms(image);
    std::vector<CalibrationEntry> entries;
    for (const Section& section : Sections()) {
        for (const auto& [key, target] : section.keys) {
            std::string value = target.kind == Kind::Check
                                    ? (forms.parameters.checks[target.index] ? "1" : "0")
                                    : forms.Text(target);
            entries.push_back({section.name, key, std::move(value), OwnedBits(forms, target)});
        }
    }
    return entries;
}

std::string FormatCalibrationFile(const MemoryImage& image) {
    std::string out;
    std::string_view section;
    for (const CalibrationEntry& entry : CalibrationEntries(image)) {
        if (entry.section != section) {
            section = entry.section;
            out += out.empty() ? "[" : "\n[";
            out += std::string(section) + "]\n";
        }
        out += std::string(entry.key) + "=" + entry.value + "\n";
    }
    return out;
}

std::optional<std::string> ApplyCalibrationFile(std::string_view text, MemoryImage& image) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Forms forms(image);
    const Section* section = nullptr;
    std::map<std::pair<std::string_view, std::string>, int> seen;  // (section, key) -> line
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            const std::string_view name =
                line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : std::string_view();
            section = nullptr;
            for (const Section& s : Sections()) {
                section = s.name == name ? &s : section;
            }
            if (section == nullptr) {
                return AtLine(lineNumber, "unknown section " + std::string(line) +
                                              " (the sections are [Parameter Adjust], [DTMF "
                                              "Initialization] and [Sql Adjust])");
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return AtLine(lineNumber, "\"" + std::string(line) + "\" is not KEY=VALUE");
        }
        const std::string key(Trim(line.substr(0, equals)));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (section == nullptr) {
            return AtLine(lineNumber, key + " comes before any [section]");
        }
        const auto found = section->byKey.find(key);
        if (found == section->byKey.end()) {
            return AtLine(lineNumber,
                          "[" + std::string(section->name) + "] has no key \"" + key + "\"");
        }
        const auto [first, inserted] = seen.emplace(std::pair{section->name, key}, lineNumber);
        if (!inserted) {
            return AtLine(lineNumber, key + " is given twice (first on line " +
                                          std::to_string(first->second) + ")");
        }
        if (const auto problem = SetValue(forms, found->second, value)) {
            return AtLine(lineNumber, key + "=" + std::string(value) + " " + *problem);
        }
    }
    CommitAll(forms, image);
    return std::nullopt;
}

}  // namespace kestra
