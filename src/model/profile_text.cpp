// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/profile_text.hpp"

#include <vector>

#include "model/ascii.hpp"

namespace kestra {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// One line of the file as offsets into the whole text, so that edits can splice the original
// bytes back together around the one line they change.
struct Line {
    enum class Kind { Other, Section, Key };
    std::size_t begin = 0;  // first byte of the text
    std::size_t end = 0;    // one past the text, before "\r\n" or "\n"
    std::size_t next = 0;   // first byte of the following line
    Kind kind = Kind::Other;
    std::string_view name;       // section or key name, trimmed
    std::size_t valueBegin = 0;  // key lines: the value without its surrounding blanks
    std::size_t valueEnd = 0;
};

Line Classify(std::string_view content, Line line) {
    const std::string_view text = content.substr(line.begin, line.end - line.begin);
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
        return line;
    }
    if (trimmed.front() == '[') {
        const std::string_view inner = trimmed.substr(1);
        line.kind = Line::Kind::Section;
        line.name = Trim(inner.substr(0, inner.find(']')));
        return line;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || Trim(text.substr(0, equals)).empty()) {
        return line;
    }
    line.kind = Line::Kind::Key;
    line.name = Trim(text.substr(0, equals));
    const std::string_view rawValue = text.substr(equals + 1);
    const std::string_view value = Trim(rawValue);
    line.valueBegin = line.begin + equals + 1;
    if (!value.empty()) {
        line.valueBegin += static_cast<std::size_t>(value.data() - rawValue.data());
    }
    line.valueEnd = line.valueBegin + value.size();
    return line;
}

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = content.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < content.size()) {
        Line line;
        line.begin = pos;
        const std::size_t newline = content.find('\n', pos);
        if (newline == std::string_view::npos) {
            line.end = line.next = content.size();
        } else {
            line.end = (newline > pos && content[newline - 1] == '\r') ? newline - 1 : newline;
            line.next = newline + 1;
        }
        lines.push_back(Classify(content, line));
        pos = line.next;
    }
    return lines;
}

// Windows drops one pair of matching single or double quotes around a value.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasAny(std::string_view s, std::string_view chars) {
    return s.find_first_of(chars) != std::string_view::npos;
}

std::string_view LineBreakOf(std::string_view content) {
    const std::size_t newline = content.find('\n');
    if (newline != std::string_view::npos && newline > 0 && content[newline - 1] == '\r') {
        return "\r\n";
    }
    return "\n";
}

// Anything that would end the line early or be read back as another line is refused, so a
// value can never inject keys or sections.
bool CanWriteEntry(std::string_view section, std::string_view key, std::string_view value) {
    using namespace std::string_view_literals;
    constexpr std::string_view kLineBreaks = "\r\n\0"sv;
    return !section.empty() && !HasAny(section, kLineBreaks) && !HasAny(section, "]") &&
           !key.empty() && !HasAny(key, kLineBreaks) && !HasAny(key, "=") && key.front() != '[' &&
           key.front() != ';' && key.front() != '#' && !HasAny(value, kLineBreaks);
}

// Where a write goes: the key's own line, or else the last entry of its section (its header
// when it has none); neither when the section is missing.
struct EntrySlot {
    const Line* key = nullptr;
    const Line* lastInSection = nullptr;
};

EntrySlot FindEntrySlot(std::string_view content, const std::vector<Line>& lines,
                        std::string_view section, std::string_view key) {
    EntrySlot slot;
    bool inSection = false;
    bool sectionSeen = false;
    for (const Line& line : lines) {
        if (line.kind == Line::Kind::Section) {
            if (inSection) {
                break;
            }
            inSection = !sectionSeen && EqualsIgnoringAsciiCase(line.name, section);
            sectionSeen = sectionSeen || inSection;
            if (inSection) {
                slot.lastInSection = &line;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (line.kind == Line::Kind::Key && EqualsIgnoringAsciiCase(line.name, key)) {
            slot.key = &line;
            return slot;
        }
        // Blank lines and comments at the section's end usually introduce the next section.
        const std::string_view text = Trim(content.substr(line.begin, line.end - line.begin));
        if (!text.empty() && text.front() != ';' && text.front() != '#') {
            slot.lastInSection = &line;
        }
    }
    return slot;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    bool inSection = false;
    bool sectionSeen = false;
    for (const Line& line : SplitLines(content)) {
        if (line.kind == Line::Kind::Section) {
            // Only the first section of a name counts; a repeated one is ignored.
            inSection = !sectionSeen && EqualsIgnoringAsciiCase(line.name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && line.kind == Line::Kind::Key &&
                   EqualsIgnoringAsciiCase(line.name, key)) {
            return std::string(
                Unquote(content.substr(line.valueBegin, line.valueEnd - line.valueBegin)));
        }
    }
    return std::nullopt;
}

std::optional<std::string> SetProfileValue(std::string_view content, std::string_view section,
                                           std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (!CanWriteEntry(section, key, value)) {
        return std::nullopt;
    }
    const std::string_view lineBreak = LineBreakOf(content);
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    const std::vector<Line> lines = SplitLines(content);
    const EntrySlot slot = FindEntrySlot(content, lines, section, key);

    std::string result;
    if (slot.key != nullptr) {
        // Keep the key's own spelling and spacing up to the value; replace the value.
        result.assign(content.substr(0, slot.key->valueBegin));
        result += value;
        result += content.substr(slot.key->end);
        return result;
    }
    if (slot.lastInSection != nullptr) {
        // A new key goes after the section's last entry, ahead of the blank lines and comments
        // that lead into the next section.
        const Line& last = *slot.lastInSection;
        result.assign(content.substr(0, last.next));
        if (last.next == last.end) {
            result += lineBreak;  // the file's last line had no line break
        }
        result += keyLine;
        result += lineBreak;
        result += content.substr(last.next);
        return result;
    }
    result.assign(content);
    if (!result.empty() && result.back() != '\n') {
        result += lineBreak;
    }
    result += "[" + std::string(section) + "]";
    result += lineBreak;
    result += keyLine;
    result += lineBreak;
    return result;
}

}  // namespace kestra
