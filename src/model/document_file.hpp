// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document file: a "*.dat" file holds exactly the 16384 image bytes in offset order, with no
// header. This file builds the image of a new document (from "Default.dat" in the program
// directory or from built-in defaults), opens documents without ever leaving a half-read image
// behind, and saves them atomically so that a failed save keeps the previous file.

#include <filesystem>
#include <string>
#include <string_view>

#include "model/atomic_file.hpp"
#include "model/memory_image.hpp"

namespace kestra {

inline constexpr std::string_view kDefaultDocumentName = "Default.dat";

// The image of a new document: "Default.dat" from the program directory when it can be read
// (up to 16384 bytes, the rest stays 0xFF), otherwise the built-in defaults.
MemoryImage NewDocumentImage(const std::filesystem::path& programDir);

// The built-in defaults alone: 258 cleared records, the menu and DTMF defaults, 0xFF elsewhere.
MemoryImage BuiltInDocumentImage();

// Replaces the image with the file's first 16384 bytes. On any failure (missing, unreadable,
// a folder, shorter than 16384 bytes) the image is left exactly as it was.
FileResult LoadDocumentFile(const std::filesystem::path& path, MemoryImage& image);

// Whether a save to path can start (CheckReplaceable): a long radio read is not begun for a file
// that could not be saved. Fails with the sentence SaveDocumentFile would give.
FileResult CheckDocumentTarget(const std::filesystem::path& path);

// Writes the 16384 bytes atomically (ReplaceFileAtomically): on failure the old file is
// untouched. A read-only file, a folder, a device or a named pipe is refused.
FileResult SaveDocumentFile(const std::filesystem::path& path, const MemoryImage& image);

}  // namespace kestra
