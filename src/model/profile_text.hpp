// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text rules of an INI file such as Program.ini, on their own (the settings file reads and
// writes through them; the fuzzers drive them directly). They are the usual private-profile
// rules: section and key names match without regard to case, the first of duplicate sections or
// keys counts, values are trimmed and lose one pair of surrounding quotes, and a write changes
// only its own line, so comments, blank lines, order, line endings and unknown keys survive.

#include <optional>
#include <string>
#include <string_view>

namespace kestra {

// The trimmed, unquoted value of section/key in an INI text, or nothing when absent.
std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

// The INI text with section/key set to value: the key's line rewritten in place, or the key added
// after the last line of its section, or the section added at the end. Nothing when the names or
// value cannot be written safely: a line break in any of them, '=' in a key, ']' in a section.
std::optional<std::string> SetProfileValue(std::string_view content, std::string_view section,
                                           std::string_view key, std::string_view value);

}  // namespace kestra
