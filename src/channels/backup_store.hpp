// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Automatic backups: every image read from a radio, and every image about to be written to one,
// is kept as a document file in the backup folder, named after the date and time in UTC, the
// direction, the radio model and a running number ("2024-05-01_12-03-22Z_read_6120E_000042.dat").
// The running number, one above the highest in the folder, orders the backups: a clock set
// wrong or a change of time zone never makes a new backup look older than the others. The newest
// 100 are kept, and the backup just made is never among those removed. Names of older versions
// (local time, "2024-05-01_14-03-22_read_6120E.dat", "-2" before ".dat" for a second one in the
// same second) are still listed and opened; they count as older than every numbered backup.
// Before a service dialog's Write the radio's values in the ranges about to be written are kept
// too, with the dialog in the kind ("..._service-Sql-Adjust_unknown_000043.dat"). Keeping a backup
// never decides a clone transfer: a failure is returned as a sentence for the caller to show.

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

// A date and time to the second (UTC in the names written now, local time in older ones).
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
BackupStamp UtcStamp(std::chrono::system_clock::time_point time);
// Whether the stamp is a real date (month 1-12, a day the month has) and time of day.
bool IsPossibleStamp(const BackupStamp& stamp);

// The highest running number a name carries (nine digits); a name with more digits is no backup.
inline constexpr int kMaxBackupNumber = 999'999'999;

// "read", "write" or "service".
std::string_view BackupKindText(BackupKind kind);

// The model an image's model block names ("6120E"), or "unknown".
std::string BackupModelName(const MemoryImage& image);

// "2024-05-01_12-03-22Z_read_6120E_000042.dat" for a UTC stamp and its running number. A service
// backup names its dialog after the kind, blanks as '-': "service-Parameter-Adjust".
std::string BackupFileName(const BackupStamp& utc, BackupKind kind, std::string_view model,
                           int number, std::string_view dialog = {});

struct BackupEntry {
    std::filesystem::path path;
    BackupStamp stamp;
    bool utc = false;  // the stamp is UTC ("Z"); older names carry local time
    int number = 0;    // the running number; 0 for the names of older versions
    int sequence = 1;  // older names: "-N" for the Nth backup within one second
    BackupKind kind = BackupKind::Read;
    std::string model;
    std::string dialog;  // a service backup's dialog ("Parameter Adjust"), else empty
};

// The local date and time the backup was made, as lists show it.
BackupStamp ShownStamp(const BackupEntry& entry);

// The parts of a backup file name; nothing for any other name, and for one whose date cannot be
// (a 13th month) or whose numbers have more than nine digits: such files are never listed,
// numbered after or removed.
std::optional<BackupEntry> ParseBackupFileName(std::string_view name);

// The kind as listings show it: "read", "write", "service (Parameter Adjust)".
std::string BackupKindLabel(const BackupEntry& entry);

// The backups in the folder, newest first: by running number, then the older names by their
// stamps. Files with other names are not backups and are never listed or removed.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);

// Removes the oldest backups beyond the newest `keep`; `spare`, when it names one, is kept
// whatever its place and counts among the `keep`. One sentence per file that could not be
// removed.
std::vector<std::string> PruneBackups(const std::filesystem::path& folder, int keep,
                                      const std::filesystem::path& spare = {});

struct BackupResult {
    std::filesystem::path path;         // the file written, when error is empty
    std::string error;                  // why no backup was kept
    std::vector<std::string> warnings;  // old backups that could not be removed

    bool ok() const { return error.empty(); }
};

// Writes the image into the folder (created when missing) under the name for `time` and the next
// running number (the one after it when another program took that name meanwhile), then prunes
// the folder to the newest `keep`, never the new file. Succeeds only when the file is there
// after all that. dialog: a service backup's dialog.
BackupResult KeepBackup(const std::filesystem::path& folder, const MemoryImage& image,
                        BackupKind kind, std::chrono::system_clock::time_point time,
                        int keep = kBackupsKept, std::string_view dialog = {});

}  // namespace kestra
