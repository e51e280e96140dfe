// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/backup_store.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "channels/image_preparation.hpp"
#include "model/ascii.hpp"
#include "model/atomic_file.hpp"
#include "model/program_directory.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".dat";
constexpr std::size_t kStampLength = 19;  // "2024-05-01_14-03-22"
constexpr char kUtcMark = 'Z';
constexpr std::size_t kNumberDigits = 6;  // written at least this wide
constexpr std::size_t kMaxNumberDigits = 9;
// Names tried after the first when other programs take them at the same moment.
constexpr int kNameAttempts = 1000;

bool IsModelCharacter(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The number of `count` digits at text[at] (at most nine, so it always fits), or nothing.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (count == 0 || count > kMaxNumberDigits || at + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsAsciiDigit(text[i])) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<BackupStamp> ParseStamp(std::string_view text) {
    // "YYYY-MM-DD_HH-MM-SS": the separators at fixed places.
    if (text.size() < kStampLength || text[4] != '-' || text[7] != '-' || text[10] != '_' ||
        text[13] != '-' || text[16] != '-') {
        return std::nullopt;
    }
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    const auto second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    const BackupStamp stamp{*year, *month, *day, *hour, *minute, *second};
    return IsPossibleStamp(stamp) ? std::optional(stamp) : std::nullopt;
}

// The part after the kind: "6120E_000042" (numbered) or "6120E" / "6120E-2" (older names).
bool ParseModelAndNumber(std::string_view rest, BackupEntry& entry) {
    if (entry.utc) {
        const std::size_t underscore = rest.rfind('_');
        if (underscore == std::string_view::npos) {
            return false;
        }
        const auto number = Digits(rest, underscore + 1, rest.size() - underscore - 1);
        if (!number || *number < 1) {
            return false;
        }
        entry.number = *number;
        rest = rest.substr(0, underscore);
    } else if (const std::size_t dash = rest.rfind('-'); dash != std::string_view::npos) {
        const auto sequence = Digits(rest, dash + 1, rest.size() - dash - 1);
        if (!sequence || *sequence < 2) {
            return false;
        }
        entry.sequence = *sequence;
        rest = rest.substr(0, dash);
    }
    if (rest.empty() || !std::all_of(rest.begin(), rest.end(), IsModelCharacter)) {
        return false;
    }
    entry.model = std::string(rest);
    return true;
}

// "-Sql-Adjust" for the dialog "Sql Adjust"; nothing without one.
std::string DialogPart(std::string_view dialog) {
    std::string part;
    for (const char c : dialog) {
        if (IsModelCharacter(c) || c == ' ') {
            part += c == ' ' ? '-' : c;
        }
    }
    return part.empty() ? part : "-" + part;
}

// Takes "service-Sql-Adjust_" (or "service_") off the front of rest; the dialog's name ("Sql
// Adjust", or empty), or nothing when rest does not start with a service kind.
std::optional<std::string> TakeServiceDialog(std::string_view& rest) {
    constexpr std::string_view kService = "service";
    const std::size_t end = rest.find('_');
    if (!rest.starts_with(kService) || end == std::string_view::npos ||
        (end != kService.size() && (rest[kService.size()] != '-' || end == kService.size() + 1))) {
        return std::nullopt;
    }
    const std::size_t start = std::min(end, kService.size() + 1);
    std::string dialog(rest.substr(start, end - start));
    for (char& c : dialog) {
        if (c == '-') {
            c = ' ';
        } else if (!IsModelCharacter(c)) {
            return std::nullopt;
        }
    }
    rest.remove_prefix(end + 1);
    return dialog;
}

// The order a clock cannot turn over: running numbers first; older names (number 0) by stamp.
bool Newer(const BackupEntry& a, const BackupEntry& b) {
    if (a.number != b.number) {
        return a.number > b.number;
    }
    return a.stamp != b.stamp ? a.stamp > b.stamp : a.sequence > b.sequence;
}

BackupStamp StampOf(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

}  // namespace

fs::path BackupDirectory() {
    const char* home = std::getenv(kProgramHomeVariable);
    if (home != nullptr && *home != '\0') {
        return ProgramDirectory() / "backups";
    }
    return UserDataDirectory() / "backups";
}

BackupStamp LocalStamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return StampOf(local);
}

BackupStamp UtcStamp(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    return StampOf(utc);
}

bool IsPossibleStamp(const BackupStamp& s) {
    static constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (s.month < 1 || s.month > 12 || s.day < 1 || s.hour > 23 || s.minute > 59 ||
        s.second > 60) {  // 60: a leap second
        return false;
    }
    const bool leap = (s.year % 4 == 0 && s.year % 100 != 0) || s.year % 400 == 0;
    const int days = s.month == 2 && !leap ? 28 : kDays[static_cast<std::size_t>(s.month - 1)];
    return s.day <= days;
}

BackupStamp ShownStamp(const BackupEntry& entry) {
    if (!entry.utc) {
        return entry.stamp;
    }
    std::tm utc{};
    utc.tm_year = entry.stamp.year - 1900;
    utc.tm_mon = entry.stamp.month - 1;
    utc.tm_mday = entry.stamp.day;
    utc.tm_hour = entry.stamp.hour;
    utc.tm_min = entry.stamp.minute;
    utc.tm_sec = entry.stamp.second;
    return LocalStamp(std::chrono::system_clock::from_time_t(::timegm(&utc)));
}

std::string_view BackupKindText(BackupKind kind) {
    switch (kind) {
        case BackupKind::Read:
            return "read";
        case BackupKind::Write:
            return "write";
        case BackupKind::Service:
            break;
    }
    return "service";
}

std::string BackupKindLabel(const BackupEntry& entry) {
    const std::string kind(BackupKindText(entry.kind));
    return entry.dialog.empty() ? kind : kind + " (" + entry.dialog + ")";
}

std::string BackupModelName(const MemoryImage& image) {
    const int model = ModelIndexOfImage(image);
    return model >= 0 ? std::string(kModelNames[static_cast<std::size_t>(model)]) : "unknown";
}

std::string BackupFileName(const BackupStamp& utc, BackupKind kind, std::string_view model,
                           int number, std::string_view dialog) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d_%02d-%02d-%02d%c", utc.year, utc.month,
                  utc.day, utc.hour, utc.minute, utc.second, kUtcMark);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", static_cast<int>(kNumberDigits), number);
    return std::string(buffer) + "_" + std::string(BackupKindText(kind)) + DialogPart(dialog) +
           "_" + std::string(model) + "_" + digits + std::string(kExtension);
}

std::optional<BackupEntry> ParseBackupFileName(std::string_view name) {
    const auto stamp = ParseStamp(name);
    if (!stamp || !name.ends_with(kExtension)) {
        return std::nullopt;
    }
    BackupEntry entry;
    entry.path = fs::path(std::string(name));
    entry.stamp = *stamp;
    std::size_t at = kStampLength;
    if (at < name.size() && name[at] == kUtcMark) {
        entry.utc = true;
        ++at;
    }
    if (name.size() <= at + 1 + kExtension.size() || name[at] != '_') {
        return std::nullopt;
    }
    std::string_view rest = name.substr(at + 1, name.size() - at - 1 - kExtension.size());
    if (rest.starts_with("read_")) {
        entry.kind = BackupKind::Read;
        rest.remove_prefix(5);
    } else if (rest.starts_with("write_")) {
        entry.kind = BackupKind::Write;
        rest.remove_prefix(6);
    } else if (auto dialog = TakeServiceDialog(rest)) {
        entry.kind = BackupKind::Service;
        entry.dialog = std::move(*dialog);
    } else {
        return std::nullopt;
    }
    if (!ParseModelAndNumber(rest, entry)) {
        return std::nullopt;
    }
    return entry;
}

std::vector<BackupEntry> ListBackups(const fs::path& folder) {
    std::vector<BackupEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) {
            continue;
        }
        if (auto entry = ParseBackupFileName(it->path().filename().string())) {
            entry->path = it->path();
            entries.push_back(std::move(*entry));
        }
    }
    std::sort(entries.begin(), entries.end(), Newer);
    return entries;
}

std::vector<std::string> PruneBackups(const fs::path& folder, int keep, const fs::path& spare) {
    std::vector<std::string> failures;
    const std::vector<BackupEntry> entries = ListBackups(folder);
    int room = std::max(keep, 0);
    const bool spareListed = std::any_of(
        entries.begin(), entries.end(), [&spare](const BackupEntry& e) { return e.path == spare; });
    if (spareListed) {
        --room;
    }
    for (const BackupEntry& entry : entries) {
        if (spareListed && entry.path == spare) {
            continue;
        }
        if (room > 0) {
            --room;
            continue;
        }
        std::error_code ec;
        if (!fs::remove(entry.path, ec) && ec) {
            failures.push_back("Cannot remove the old backup \"" + entry.path.string() +
                               "\": " + ec.message() + ".");
        }
    }
    return failures;
}

BackupResult KeepBackup(const fs::path& folder, const MemoryImage& image, BackupKind kind,
                        std::chrono::system_clock::time_point time, int keep,
                        std::string_view dialog) {
    BackupResult result;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        result.error =
            "Cannot create the backup folder \"" + folder.string() + "\": " + ec.message() + ".";
        return result;
    }
    const BackupStamp stamp = UtcStamp(time);
    const std::string model = BackupModelName(image);
    int next = 1;
    for (const BackupEntry& entry : ListBackups(folder)) {
        next = std::max(next, entry.number + 1);
    }
    if (next > kMaxBackupNumber) {
        result.error = "The backup folder \"" + folder.string() + "\" holds a backup numbered " +
                       std::to_string(kMaxBackupNumber) +
                       ", the highest number a name can carry. Move the backups elsewhere.";
        return result;
    }
    const int attempts = std::min(kNameAttempts, kMaxBackupNumber - next + 1);
    const FileResult created = CreateNewFile(
        folder, "backup", image.all(),
        [&](int attempt) { return BackupFileName(stamp, kind, model, next + attempt, dialog); },
        attempts, result.path);
    if (!created) {
        result.error = created.error;
        return result;
    }
    result.warnings = PruneBackups(folder, keep, result.path);
    if (!fs::is_regular_file(result.path, ec)) {
        result.error = "The backup \"" + result.path.string() +
                       "\" is gone from its folder right after it was written; another program "
                       "may be removing files there.";
    }
    return result;
}

}  // namespace kestra
