// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The automatic backup around a transfer with a radio: the image just read, or about to be
// written, is kept in the backup folder. Whatever happens here never changes the outcome of the
// transfer; a failure is reported on stderr as a warning.

#include "channels/backup_store.hpp"
#include "cli/commands.hpp"
#include "model/memory_image.hpp"

namespace kestra::cli {

void KeepTransferBackup(const Context& ctx, const MemoryImage& image, BackupKind kind);

}  // namespace kestra::cli
