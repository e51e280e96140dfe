// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program.ini, the program's few persistent settings: [Setup] COM (the serial port), [Setup] Type
// (the navigation tree's root label), [Setup] Device (an explicit device path) and the About box's
// [About] Version, Copyright and Company. The file is an ordinary INI file read and written with
// the usual private-profile rules (profile_text.hpp), so comments, blank lines, order, line
// endings and keys this program does not know survive a write. Every read goes to the file, so
// edits made while the program runs are seen; every write replaces the file atomically
// (atomic_file.hpp) and says when it failed, so the caller can tell the user.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "model/atomic_file.hpp"
#include "model/profile_text.hpp"

namespace kestra {

// Texts have always been read into a 260-byte buffer: 259 characters and the terminator.
inline constexpr std::size_t kSettingsTextMaxLength = 259;

class SettingsFile {
public:
    SettingsFile() = default;
    explicit SettingsFile(std::filesystem::path path) { Bind(std::move(path)); }

    // Remembers the path and creates the file empty (with its folder) when it does not exist.
    // An existing file is never truncated, even when it cannot be read. False when the file can
    // neither be read nor created; reads then give their defaults and writes still try.
    bool Bind(std::filesystem::path path);
    const std::filesystem::path& Path() const { return path_; }

    // The value's leading decimal number (LeadingInt: optional sign, then digits; no digits gives
    // 0, a number beyond int saturates). The default when the key is absent or its value empty.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The value, or the default when the key is absent; either is cut to maxLength bytes without
    // splitting a UTF-8 character.
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view defaultValue = {},
                        std::size_t maxLength = kSettingsTextMaxLength) const;
    // Whether the file has a line for the key, even one with an empty value.
    bool HasKey(std::string_view section, std::string_view key) const;

    // Write the value, creating the section and key as needed. A failure carries the sentence to
    // show: the file could not be replaced (read-only, unreadable, a full disk; the old file is
    // then unchanged), no file is bound, or a name or value would break the file's line
    // structure (a line break in any of them, '=' in a key, ']' in a section).
    FileResult WriteInt(std::string_view section, std::string_view key, int value);
    FileResult WriteText(std::string_view section, std::string_view key, std::string_view text);

private:
    std::filesystem::path path_;
};

}  // namespace kestra
