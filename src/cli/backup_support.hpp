// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The automatic backup around a transfer with a radio: the image just read, or about to be
// written, is kept in the backup folder. Whatever happens here never changes the outcome of the
// transfer; a failure is reported on stderr as a warning.

#include <string>
#include <string_view>

#include "channels/backup_store.hpp"
#include "cli/commands.hpp"
#include "model/memory_image.hpp"

namespace kestra::cli {

void KeepTransferBackup(const Context& ctx, const MemoryImage& image, BackupKind kind);

// Keeps the radio's values a service write is about to replace (kind "service", the dialog
// named) and says where on err. Unlike the clone backups this one decides the write: returns
// why it could not be kept, or an empty text.
std::string KeepServiceBackup(const Context& ctx, const MemoryImage& previous,
                              std::string_view dialog);

}  // namespace kestra::cli
