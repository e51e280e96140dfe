// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a whole file so that a crash, a full disk or a pulled USB stick leaves either the old
// file or the new one, never half of one: the bytes go to a temporary file in the target's
// folder, are flushed to the disk and renamed over the target, and then the folder is flushed
// too. Documents and Program.ini are saved this way.
//
// What a save replaces: a regular file, or the file a symbolic link leads to (the link stays; a
// link to a file that does not exist yet creates that file). Never a folder, a device or a named
// pipe, and never a file its user may not write. The rename needs only the folder's permission,
// so the file's own is checked first; root may write any file, so for root a file whose mode
// grants nobody write permission (0444, say) counts as read-only, the way editors treat it. The
// new file keeps the permission bits of the one it replaces and, where the system allows, its
// owner and group. The temporary file has a short name of its own, so a target whose name is as
// long as the system allows still saves.
//
// A new file that must not replace anything (a backup) is created the same way and then linked
// to its name, which fails instead of replacing when the name is taken; the next name is tried.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace kestra {

// The outcome of a file operation; `error` is a sentence naming the file when it failed.
struct FileResult {
    bool ok = true;
    std::string error;

    explicit operator bool() const { return ok; }
    static FileResult Failure(std::string text) { return {false, std::move(text)}; }
};

// What the file is called in a refusal: "it is a folder, not a <kind>".
struct SaveTarget {
    std::filesystem::path path;
    std::string_view kind = "file";
};

// Whether a save to target can start: its links lead somewhere, it is no folder or other
// non-regular file, it is not read-only, and its folder exists and takes new files. Fails with
// the sentence ReplaceFileAtomically would give; creates nothing. A full disk shows only when
// the save writes.
FileResult CheckReplaceable(const SaveTarget& target);

// Writes bytes as the whole new content of target (see above); on failure the old file is
// untouched and no temporary file is left behind.
FileResult ReplaceFileAtomically(const SaveTarget& target, std::span<const std::uint8_t> bytes);
FileResult ReplaceFileAtomically(const SaveTarget& target, std::string_view text);

// Writes bytes as a new file in folder (which must exist) under the first of the names
// nameFor(0), nameFor(1), ... (at most `attempts` of them) that no file holds, even when
// another program takes a name at the same moment: the file appears whole under its name or not
// at all, and never replaces one. `created` is the file's path on success.
FileResult CreateNewFile(const std::filesystem::path& folder, std::string_view kind,
                         std::span<const std::uint8_t> bytes,
                         const std::function<std::string(int attempt)>& nameFor, int attempts,
                         std::filesystem::path& created);

}  // namespace kestra
