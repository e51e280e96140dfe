// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/settings_file.hpp"

#include <fstream>
#include <sstream>
#include <system_error>

#include "model/posix_file.hpp"
#include "model/text_numbers.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSettingsKind = "settings file";

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

std::string CannotSave(const fs::path& path, std::string_view why) {
    return "Cannot save " + QuotedPath(path) + ": " + std::string(why);
}

}  // namespace

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
    return LeadingInt(*value);
}

bool SettingsFile::HasKey(std::string_view section, std::string_view key) const {
    const auto content = ReadWholeFile(path_);
    return content && FindProfileValue(*content, section, key).has_value();
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
