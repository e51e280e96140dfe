// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli backups: the automatic backups of reads from a radio (and of writes to one), newest
// first, with the local date and time, kind, radio model, number of channels and the file's
// path. Any of them opens like any other document file.

#include <algorithm>
#include <cstdio>

#include "channels/backup_store.hpp"
#include "channels/channel_fields.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

namespace {

// The model column is as wide as the longest model listed, up to this; longer names (never a
// real radio's) are cut and end in "...", so the columns after them stay in line.
constexpr std::size_t kModelColumnMax = 12;

std::string ModelCell(const std::string& model, std::size_t width) {
    std::string cell = model.size() > width ? model.substr(0, width - 3) + "..." : model;
    cell.resize(width, ' ');
    return cell;
}

struct ColumnWidths {
    std::size_t kind = 5;
    std::size_t model = 7;
};

std::string EntryLine(const BackupEntry& entry, const ColumnWidths& widths) {
    MemoryImage image;
    const bool loaded = LoadDocumentFile(entry.path, image).ok;
    const std::string channels = loaded ? std::to_string(ShownChannelCount(image)) : "?";
    const BackupStamp shown = ShownStamp(entry);
    char date[48];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", shown.year, shown.month,
                  shown.day, shown.hour, shown.minute, shown.second);
    std::string kind = BackupKindLabel(entry);
    kind.resize(widths.kind, ' ');
    char count[24];
    std::snprintf(count, sizeof count, "%3s", channels.c_str());
    return std::string(date) + "  " + kind + "  " + ModelCell(entry.model, widths.model) + "  " +
           count + " channels  " + entry.path.string() + "\n";
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
        // The kind column fits the longest kind ("service (Parameter Adjust)").
        ColumnWidths widths;
        for (const BackupEntry& entry : entries) {
            widths.kind = std::max(widths.kind, BackupKindLabel(entry).size());
            widths.model = std::max(widths.model, std::min(entry.model.size(), kModelColumnMax));
        }
        ctx.out << "Backups in " << folder.string() << ", newest first:\n";
        for (const BackupEntry& entry : entries) {
            ctx.out << EntryLine(entry, widths);
        }
    }
    ctx.out.flush();
    return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
}

}  // namespace kestra::cli
