// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/backup_store.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "channels/image_preparation.hpp"
#include "model/ascii.hpp"
#include "model/document_file.hpp"
#include "model/program_directory.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".dat";
constexpr std::size_t kStampLength = 19;  // "2024-05-01_14-03-22"

bool IsModelCharacter(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The number of `count` digits at text[at], or nothing.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
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
    return BackupStamp{*year, *month, *day, *hour, *minute, *second};
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

bool Newer(const BackupEntry& a, const BackupEntry& b) {
    return a.stamp != b.stamp ? a.stamp > b.stamp : a.sequence > b.sequence;
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
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
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

std::string BackupFileName(const BackupStamp& stamp, BackupKind kind, std::string_view model,
                           int sequence, std::string_view dialog) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d_%02d-%02d-%02d", stamp.year, stamp.month,
                  stamp.day, stamp.hour, stamp.minute, stamp.second);
    std::string name = std::string(buffer) + "_" + std::string(BackupKindText(kind)) +
                       DialogPart(dialog) + "_" + std::string(model);
    if (sequence > 1) {
        name += "-" + std::to_string(sequence);
    }
    return name + std::string(kExtension);
}

std::optional<BackupEntry> ParseBackupFileName(std::string_view name) {
    const auto stamp = ParseStamp(name);
    if (!stamp || !name.ends_with(kExtension) || name.size() <= kStampLength + 1 ||
        name[kStampLength] != '_') {
        return std::nullopt;
    }
    BackupEntry entry;
    entry.path = fs::path(std::string(name));
    entry.stamp = *stamp;
    std::string_view rest =
        name.substr(kStampLength + 1, name.size() - kStampLength - 1 - kExtension.size());
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
    if (const std::size_t dash = rest.rfind('-'); dash != std::string_view::npos) {
        const auto sequence = Digits(rest, dash + 1, rest.size() - dash - 1);
        if (!sequence || *sequence < 2 || dash + 1 == rest.size()) {
            return std::nullopt;
        }
        entry.sequence = *sequence;
        rest = rest.substr(0, dash);
    }
    if (rest.empty() || !std::all_of(rest.begin(), rest.end(), IsModelCharacter)) {
        return std::nullopt;
    }
    entry.model = std::string(rest);
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

std::vector<std::string> PruneBackups(const fs::path& folder, int keep) {
    std::vector<std::string> failures;
    const std::vector<BackupEntry> entries = ListBackups(folder);
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 0)); i < entries.size(); ++i) {
        std::error_code ec;
        if (!fs::remove(entries[i].path, ec) && ec) {
            failures.push_back("Cannot remove the old backup \"" + entries[i].path.string() +
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
    const BackupStamp stamp = LocalStamp(time);
    int sequence = 1;
    for (const BackupEntry& entry : ListBackups(folder)) {
        if (entry.stamp == stamp) {
            sequence = std::max(sequence, entry.sequence + 1);
        }
    }
    result.path = folder / BackupFileName(stamp, kind, BackupModelName(image), sequence, dialog);
    if (const FileResult saved = SaveDocumentFile(result.path, image); !saved) {
        result.error = saved.error;
        return result;
    }
    result.warnings = PruneBackups(folder, keep);
    return result;
}

}  // namespace kestra
