// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/backup_support.hpp"

#include <chrono>

namespace kestra::cli {

void KeepTransferBackup(const Context& ctx, const MemoryImage& image, BackupKind kind) {
    const BackupResult kept =
        KeepBackup(BackupDirectory(), image, kind, std::chrono::system_clock::now());
    if (!kept.ok()) {
        ctx.err << "kestra-cli: warning: no backup of this " << BackupKindText(kind)
                << " was kept: " << kept.error << " The " << BackupKindText(kind)
                << " itself is not affected.\n";
    } else {
        ctx.err << "kestra-cli: backup kept as " << kept.path.string() << '\n';
    }
    for (const std::string& warning : kept.warnings) {
        ctx.err << "kestra-cli: warning: " << warning << '\n';
    }
}

std::string KeepServiceBackup(const Context& ctx, const MemoryImage& previous,
                              std::string_view dialog) {
    const BackupResult kept = KeepBackup(BackupDirectory(), previous, BackupKind::Service,
                                         std::chrono::system_clock::now(), kBackupsKept, dialog);
    if (kept.ok()) {
        ctx.err << "kestra-cli: the radio's " << dialog << " values were kept as "
                << kept.path.string() << '\n';
    }
    for (const std::string& warning : kept.warnings) {
        ctx.err << "kestra-cli: warning: " << warning << '\n';
    }
    return kept.error;
}

}  // namespace kestra::cli
