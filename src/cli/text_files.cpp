// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/text_files.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "model/ascii.hpp"

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

// Why a path cannot be read or written as a text file, or nothing when it can be tried.
std::optional<std::string> NotARegularFile(const std::string& path, const char* verb) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
        return std::string(verb) + " " + Quoted(path) + ": it is a folder.";
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return std::string(verb) + " " + Quoted(path) + ": it is not a regular file.";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxSize,
                                        std::string& error) {
    if (auto refused = NotARegularFile(path, "Cannot read")) {
        error = *refused;
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot read " + Quoted(path) + ": " + Reason(errno) + ".";
        return std::nullopt;
    }
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
        error = "Cannot read " + Quoted(path) + ": it is larger than " +
                std::to_string(maxSize >> 20) + " MiB, far more than a channel list.";
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> WriteTextFile(const std::string& path, const std::string& text) {
    if (auto refused = NotARegularFile(path, "Cannot write")) {
        return refused;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return "Cannot write " + Quoted(path) + ": " + Reason(errno) + ".";
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        return "Cannot write " + Quoted(path) + ": the disk may be full.";
    }
    return std::nullopt;
}

}  // namespace kestra::cli
