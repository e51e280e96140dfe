// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing the text files some subcommands take and give (CSV channel lists, settings
// and calibration files): one place for the size limit, the refusal of folders and devices, and
// the failure sentences. Files are written as documents are saved (model/atomic_file.hpp).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestra::cli {

// The whole file; nothing, with the sentence in error, when it cannot be read, is no regular
// file or is larger than maxSize bytes. What the file is comes first: a folder, a device such
// as /dev/zero or a named pipe is refused before a byte is read, so nothing hangs or grows.
std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxSize,
                                        std::string& error);

// Writes text as the file's whole contents, atomically: a full disk or any other failure leaves
// the old file as it was (and no file where there was none). A folder, device, named pipe or
// read-only file is refused. The sentence naming the file when it failed, else nothing. kind
// names the file in a refusal ("channel list").
std::optional<std::string> WriteTextFile(const std::string& path, const std::string& text,
                                         std::string_view kind);

}  // namespace kestra::cli
