// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli backups: the automatic backups of reads from a radio (and of writes to one), newest
// first, with date and time, kind, radio model, number of channels and the file's path. Any of
// them opens like any other document file.

#include <cstdio>

#include "channels/backup_store.hpp"
#include "channels/channel_fields.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

namespace {

std::string EntryLine(const BackupEntry& entry) {
    MemoryImage image;
    const bool loaded = LoadDocumentFile(entry.path, image).ok;
    const std::string channels = loaded ? std::to_string(ShownChannelCount(image)) : "?";
    char buffer[96];
    std::snprintf(
        buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d  %-5s  %-7s  %3s channels  ",
        entry.stamp.year, entry.stamp.month, entry.stamp.day, entry.stamp.hour, entry.stamp.minute,
        entry.stamp.second, BackupKindLabel(entry).c_str(), entry.model.c_str(), channels.c_str());
    return buffer + entry.path.string() + "\n";
}

}  // namespace

int RunBackups(const Context& ctx) {
    if (!ParseCommand(ctx, "backups", {})) {
        return kExitUsage;
    }
    const std::filesystem::path folder = BackupDirectory();
    const std::vector<BackupEntry> entries = ListBackups(folder);
    if (entries.empty()) {
        ctx.out << "No backups in " << folder.string()
                << " yet. Every successful read from a radio keeps one there.\n";
    } else {
        ctx.out << "Backups in " << folder.string() << ", newest first:\n";
        for (const BackupEntry& entry : entries) {
            ctx.out << EntryLine(entry);
        }
    }
    ctx.out.flush();
    return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
}

}  // namespace kestra::cli
