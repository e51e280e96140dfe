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

}  // namespace kestra::cli
