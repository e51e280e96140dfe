// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Automatic backups: every image read from a radio, and every image about to be written to one,
// is kept as a document file in the backup folder, named after the local date and time, the
// direction and the radio model ("2024-05-01_14-03-22_read_6120E.dat"; a second backup in the
// same second gets "-2" before ".dat"). Before a service dialog's Write the radio's values in
// the ranges about to be written are kept too, with the dialog in the kind
// ("..._service-Sql-Adjust_unknown.dat"). The newest 100 are kept. Keeping a backup never decides
// a clone transfer: a failure is returned as a sentence for the caller to show.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.hpp"

namespace kestra {

enum class BackupKind { Read, Write, Service };

inline constexpr int kBackupsKept = 100;

// $KESTRA_HOME/backups when KESTRA_HOME is set, else the "backups" folder in the per-user data
// folder ($XDG_DATA_HOME/kestra, ~/.local/share/kestra).
std::filesystem::path BackupDirectory();

// A local date and time to the second.
struct BackupStamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const BackupStamp&) const = default;
};
BackupStamp LocalStamp(std::chrono::system_clock::time_point time);

// "read", "write" or "service".
std::string_view BackupKindText(BackupKind kind);

// The model an image's model block names ("6120E"), or "unknown".
std::string BackupModelName(const MemoryImage& image);

// "2024-05-01_14-03-22_read_6120E.dat", with "-N" before ".dat" for a sequence above 1. A service
// backup names its dialog after the kind, blanks as '-': "service-Parameter-Adjust".
std::string BackupFileName(const BackupStamp& stamp, BackupKind kind, std::string_view model,
                           int sequence, std::string_view dialog = {});

struct BackupEntry {
    std::filesystem::path path;
    BackupStamp stamp;
    int sequence = 1;
    BackupKind kind = BackupKind::Read;
    std::string model;
    std::string dialog;  // a service backup's dialog ("Parameter Adjust"), else empty
};

// The kind as listings show it: "read", "write", "service (Parameter Adjust)".
std::string BackupKindLabel(const BackupEntry& entry);

// The parts of a backup file name; nothing for any other name.
std::optional<BackupEntry> ParseBackupFileName(std::string_view name);

// The backups in the folder, newest first. Files with other names are not backups and are
// never listed or removed.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);

// Removes the oldest backups beyond the newest `keep`. One sentence per file that could not be
// removed.
std::vector<std::string> PruneBackups(const std::filesystem::path& folder, int keep);

struct BackupResult {
    std::filesystem::path path;         // the file written, when error is empty
    std::string error;                  // why no backup was kept
    std::vector<std::string> warnings;  // old backups that could not be removed

    bool ok() const { return error.empty(); }
};

// Writes the image into the folder (created when missing) under the name for `time`, then
// prunes the folder to the newest `keep`. dialog: a service backup's dialog.
BackupResult KeepBackup(const std::filesystem::path& folder, const MemoryImage& image,
                        BackupKind kind, std::chrono::system_clock::time_point time,
                        int keep = kBackupsKept, std::string_view dialog = {});

}  // namespace kestra
