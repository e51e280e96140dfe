// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/text_files.hpp"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "model/ascii.hpp"
#include "model/atomic_file.hpp"

namespace kestra::cli {

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The system's text for an error, starting in lower case to continue a sentence.
std::string Reason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty()) {
        text[0] = ToLowerAscii(text[0]);
    }
    return text;
}

std::string TooLarge(const std::string& path, std::size_t maxSize) {
    const std::size_t kib = maxSize >> 10;
    const std::string limit =
        kib >= 1024 ? std::to_string(kib >> 10) + " MiB" : std::to_string(kib) + " KiB";
    return "Cannot read " + Quoted(path) + ": it is larger than " + limit +
           ", far more than such a file holds.";
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxSize,
                                        std::string& error) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        error = "Cannot read " + Quoted(path) + ": " + Reason(ec ? ec.value() : ENOENT) + ".";
        return std::nullopt;
    }
    if (fs::is_directory(status)) {
        error = "Cannot read " + Quoted(path) + ": it is a folder.";
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        error = "Cannot read " + Quoted(path) + ": it is not a regular file.";
        return std::nullopt;
    }
    if (fs::file_size(path, ec) > maxSize && !ec) {
        error = TooLarge(path, maxSize);
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot read " + Quoted(path) + ": " + Reason(errno) + ".";
        return std::nullopt;
    }
    // Read no further than the limit, should the file grow meanwhile.
    std::string text;
    std::istreambuf_iterator<char> it(in.rdbuf());
    for (const std::istreambuf_iterator<char> end; it != end && text.size() <= maxSize; ++it) {
        text.push_back(*it);
    }
    if (in.bad()) {
        error = "Cannot read " + Quoted(path) + ".";
        return std::nullopt;
    }
    if (text.size() > maxSize) {
        error = TooLarge(path, maxSize);
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> WriteTextFile(const std::string& path, const std::string& text,
                                         std::string_view kind) {
    if (const FileResult saved = ReplaceFileAtomically({path, kind}, text); !saved) {
        return saved.error;
    }
    return std::nullopt;
}

}  // namespace kestra::cli
