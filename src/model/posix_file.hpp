// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small pieces the file code of the core shares: a POSIX descriptor that closes itself, and
// the texts of a failure sentence (the quoted path and the system's reason in lower case).

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "model/ascii.hpp"

namespace kestra {

// Closes a POSIX descriptor on every path.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Returns 0 or the errno of a failed close (which can report a delayed write error).
    int Close() {
        int error = 0;
        if (fd_ >= 0 && ::close(fd_) != 0) {
            error = errno;
        }
        fd_ = -1;
        return error;
    }

private:
    int fd_;
};

inline std::string QuotedPath(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

// The system's text for an errno value, starting in lower case to follow a colon.
inline std::string ErrorReason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty()) {
        text[0] = ToLowerAscii(text[0]);
    }
    return text;
}

}  // namespace kestra
