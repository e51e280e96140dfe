// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing the text files some subcommands take and give (CSV channel lists): one
// place for the size limit, the refusal of folders and devices, and the failure sentences.

#include <cstddef>
#include <optional>
#include <string>

namespace kestra::cli {

// The whole file; nothing, with the sentence in error, when it cannot be read, is no regular
// file or is larger than maxSize bytes.
std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxSize,
                                        std::string& error);

// Writes text as the file's whole contents; a folder, device or named pipe is refused. The
// sentence naming the file when it failed, else nothing.
std::optional<std::string> WriteTextFile(const std::string& path, const std::string& text);

}  // namespace kestra::cli
