// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/document_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>

#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"
#include "model/posix_file.hpp"

namespace kestra {

namespace {

constexpr std::string_view kDocumentKind = "document file";

// Reads up to `capacity` bytes; returns the count, or -1 with errno set.
ssize_t ReadUpTo(int fd, std::uint8_t* buffer, std::size_t capacity) {
    std::size_t total = 0;
    while (total < capacity) {
        const ssize_t n = ::read(fd, buffer + total, capacity - total);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

// Opens a regular file for reading; a folder is refused with EISDIR, anything else that is not
// a regular file (a device, a named pipe) with ENODEV. The open does not block: a named pipe
// would otherwise wait for a writer forever.
FileDescriptor OpenRegularFile(const std::filesystem::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        return fd;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        const int error = errno;
        fd.Close();
        errno = error;
    } else if (!S_ISREG(info.st_mode)) {
        fd.Close();
        errno = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
    }
    return fd;
}

// The sentence for a file that is there but cannot be a document.
std::string NotADocument(const std::string& verb, const std::filesystem::path& path, int error) {
    return verb + " " + QuotedPath(path) +
           (error == EISDIR ? ": it is a folder, not a document file."
                            : ": it is not a regular file, so not a document file.");
}

void WriteDtmfText(MemoryImage& image, std::size_t at, std::string_view text) {
    for (char c : text) {
        image[at++] = DtmfCharToCode(c);
    }
}

}  // namespace

MemoryImage BuiltInDocumentImage() {
    MemoryImage image;
    for (int record = 0; record < kRecordCount; ++record) {
        WriteClearedRecord(image, record);
    }
    for (const auto& [offset, value] : map::kNewDocumentBytes) {
        image[offset] = value;
    }
    for (const auto& [offset, text] : map::kNewDocumentDtmfTexts) {
        WriteDtmfText(image, offset, text);
    }
    return image;
}

MemoryImage NewDocumentImage(const std::filesystem::path& programDir) {
    FileDescriptor fd = OpenRegularFile(programDir / kDefaultDocumentName);
    if (!fd.valid()) {
        return BuiltInDocumentImage();
    }
    // A template that opens is used as it is: a short one leaves the rest erased (0xFF), a
    // longer one contributes its first 16384 bytes. One that fails to read is as unusable as a
    // missing one: half a template would start the document with erased channel records.
    std::array<std::uint8_t, kImageSize> buffer;
    const ssize_t count = ReadUpTo(fd.get(), buffer.data(), buffer.size());
    if (count < 0) {
        return BuiltInDocumentImage();
    }
    MemoryImage image;
    if (count > 0) {
        image.write(map::kWholeImage,
                    std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(count)));
    }
    return image;
}

FileResult LoadDocumentFile(const std::filesystem::path& path, MemoryImage& image) {
    FileDescriptor fd = OpenRegularFile(path);
    if (!fd.valid()) {
        if (errno == EISDIR || errno == ENODEV) {
            return FileResult::Failure(NotADocument("Cannot open", path, errno));
        }
        return FileResult::Failure("Cannot open " + QuotedPath(path) + ": " + ErrorReason(errno) +
                                   ".");
    }
    // Staged so that a failed read never leaves a mix of old and new bytes in the image.
    std::array<std::uint8_t, kImageSize> staging;
    const ssize_t count = ReadUpTo(fd.get(), staging.data(), staging.size());
    if (count < 0) {
        return FileResult::Failure("Cannot read " + QuotedPath(path) + ": " + ErrorReason(errno) +
                                   ".");
    }
    if (static_cast<std::size_t>(count) < kImageSize) {
        return FileResult::Failure("Cannot open " + QuotedPath(path) + ": it holds only " +
                                   std::to_string(count) + " bytes, but a document file holds " +
                                   std::to_string(kImageSize) + ".");
    }
    image.write(map::kWholeImage, staging);
    return {};
}

FileResult CheckDocumentTarget(const std::filesystem::path& path) {
    return CheckReplaceable({path, kDocumentKind});
}

FileResult SaveDocumentFile(const std::filesystem::path& path, const MemoryImage& image) {
    return ReplaceFileAtomically({path, kDocumentKind}, image.all());
}

}  // namespace kestra
