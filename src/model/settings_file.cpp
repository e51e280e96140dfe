#include "model/settings_file.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "model/posix_file.hpp"

namespace kestra {

namespace fs = std::filesystem;

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

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
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

// Only a regular file (or a link to one) is a settings file: opening a named pipe for reading
// would block the program until some other process writes to it.
bool IsReadableRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) &&
           static_cast<bool>(std::ifstream(path, std::ios::binary));
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(text).str();
}

constexpr std::string_view kSettingsKind = "settings file";

std::string CannotSave(const fs::path& path, std::string_view why) {
    return "Cannot save " + QuotedPath(path) + ": " + std::string(why);
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
            inSection = !sectionSeen && EqualsNoCase(line.name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && line.kind == Line::Kind::Key && EqualsNoCase(line.name, key)) {
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
    // Anything that would end the line early or be read back as another line is refused, so a
    // value can never inject keys or sections.
    using namespace std::string_view_literals;
    constexpr std::string_view kLineBreaks = "\r\n\0"sv;
    if (section.empty() || HasAny(section, kLineBreaks) || HasAny(section, "]") || key.empty() ||
        HasAny(key, kLineBreaks) || HasAny(key, "=") || key.front() == '[' || key.front() == ';' ||
        key.front() == '#' || HasAny(value, kLineBreaks)) {
        return std::nullopt;
    }
    const std::string_view lineBreak = LineBreakOf(content);
    const std::string keyLine = std::string(key) + "=" + std::string(value);

    const std::vector<Line> lines = SplitLines(content);
    bool inSection = false;
    bool sectionSeen = false;
    const Line* lastInSection = nullptr;  // the section's last entry, or its header
    for (const Line& line : lines) {
        if (line.kind == Line::Kind::Section) {
            if (inSection) {
                break;
            }
            inSection = !sectionSeen && EqualsNoCase(line.name, section);
            sectionSeen = sectionSeen || inSection;
            if (inSection) {
                lastInSection = &line;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (line.kind == Line::Kind::Key && EqualsNoCase(line.name, key)) {
            // Keep the key's own spelling and spacing up to the value; replace the value.
            std::string result(content.substr(0, line.valueBegin));
            result += value;
            result += content.substr(line.end);
            return result;
        }
        // Blank lines and comments at the section's end usually introduce the next section.
        const std::string_view text = Trim(content.substr(line.begin, line.end - line.begin));
        if (!text.empty() && text.front() != ';' && text.front() != '#') {
            lastInSection = &line;
        }
    }

    std::string result;
    if (lastInSection != nullptr) {
        // A new key goes after the section's last entry, ahead of the blank lines and comments
        // that lead into the next section.
        const bool lastLineEnded = lastInSection->next > lastInSection->end;
        result.assign(content.substr(0, lastInSection->next));
        if (!lastLineEnded) {
            result += lineBreak;
        }
        result += keyLine;
        result += lineBreak;
        result += content.substr(lastInSection->next);
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

int ParseProfileInt(std::string_view value) {
    value = Trim(value);
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    for (char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = std::min<std::int64_t>(magnitude * 10 + (c - '0'), limit);
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool SettingsFile::Bind(fs::path path) {
    path_ = std::move(path);
    if (IsReadableRegularFile(path_)) {
        return true;
    }
    std::error_code ec;
    if (fs::exists(path_, ec) || ec) {
        // There but unreadable: leave it alone rather than replace someone's settings.
        return false;
    }
    if (path_.has_parent_path()) {
        fs::create_directories(path_.parent_path(), ec);
    }
    // Append mode creates the file without ever truncating one that appeared meanwhile.
    std::ofstream(path_, std::ios::binary | std::ios::app);
    return IsReadableRegularFile(path_);
}

int SettingsFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto content = ReadWholeFile(path_);
    if (!content) {
        return defaultValue;
    }
    const auto value = FindProfileValue(*content, section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return ParseProfileInt(*value);
}

std::string SettingsFile::GetText(std::string_view section, std::string_view key,
                                  std::string_view defaultValue, std::size_t maxLength) const {
    std::optional<std::string> value;
    if (const auto content = ReadWholeFile(path_)) {
        value = FindProfileValue(*content, section, key);
    }
    std::string text = value ? std::move(*value) : std::string(defaultValue);
    if (text.size() > maxLength) {
        std::size_t cut = maxLength;
        // Step back over UTF-8 continuation bytes so no character is cut in half.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    return text;
}

FileResult SettingsFile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteText(section, key, std::to_string(value));
}

FileResult SettingsFile::WriteText(std::string_view section, std::string_view key,
                                   std::string_view text) {
    if (path_.empty()) {
        return FileResult::Failure("Cannot save the settings: the program has no settings file.");
    }
    std::string content;
    if (auto existing = ReadWholeFile(path_)) {
        content = std::move(*existing);
    } else {
        // A file that is there but cannot be read is left alone. When even that cannot be told
        // (a link loop, a folder that cannot be searched) the save below refuses with the reason.
        std::error_code ec;
        if (fs::exists(path_, ec)) {
            return FileResult::Failure(
                CannotSave(path_,
                           "it cannot be read, and rewriting it would lose the settings it holds. "
                           "Nothing was saved; make it readable and try again."));
        }
        if (!ec && path_.has_parent_path()) {
            fs::create_directories(path_.parent_path(), ec);
        }
    }
    const auto updated = SetProfileValue(content, section, key, text);
    if (!updated) {
        return FileResult::Failure(CannotSave(
            path_, "the setting [" + std::string(section) + "] " + std::string(key) +
                       " cannot be written as one line of the file. Nothing was saved."));
    }
    return ReplaceFileAtomically({path_, kSettingsKind}, *updated);
}

}  // namespace kestra
