// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The automatic backup around a transfer with a radio: the image just read, or about to be
// written, is kept in the backup folder. Whatever happens here never changes the outcome of the
// transfer; a failure is reported on stderr as a warning.

#include <string>

#include "channels/backup_store.hpp"
#include "cli/commands.hpp"
#include "model/memory_image.hpp"

namespace kestra::cli {

void KeepTransferBackup(const Context& ctx, const MemoryImage& image, BackupKind kind);

// What KeepTransferBackup says about a backup kept (or not): where it went, or the warning that
// none was kept, and any old backup that could not be removed. Every line starts with
// "kestra-cli: " and then prefix (a fleet names the radio's port there).
void PrintBackupResult(const Context& ctx, const BackupResult& kept, BackupKind kind,
                       const std::string& prefix = {});

}  // namespace kestra::cli
