#include "model/document_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <utility>

#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"

namespace kestra {

namespace {

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

std::string Quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

std::string Reason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty()) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

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

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
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
    return verb + " " + Quoted(path) +
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
        image.write(0,
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
        return FileResult::Failure("Cannot open " + Quoted(path) + ": " + Reason(errno) + ".");
    }
    // Staged so that a failed read never leaves a mix of old and new bytes in the image.
    std::array<std::uint8_t, kImageSize> staging;
    const ssize_t count = ReadUpTo(fd.get(), staging.data(), staging.size());
    if (count < 0) {
        return FileResult::Failure("Cannot read " + Quoted(path) + ": " + Reason(errno) + ".");
    }
    if (static_cast<std::size_t>(count) < kImageSize) {
        return FileResult::Failure("Cannot open " + Quoted(path) + ": it holds only " +
                                   std::to_string(count) + " bytes, but a document file holds " +
                                   std::to_string(kImageSize) + ".");
    }
    image.write(0, staging);
    return {};
}

namespace {

std::string SaveFailure(const std::filesystem::path& path, int error) {
    return "Cannot save " + Quoted(path) + ": " + Reason(error) + ".";
}

// Where a save to path writes: the file itself, or the file a symbolic link points to (the link
// is kept), and the folder of its temporary file. The error when it cannot be a document file.
struct SaveTarget {
    std::filesystem::path file;
    std::filesystem::path folder;
    std::string error;
};

SaveTarget ResolveSaveTarget(const std::filesystem::path& path) {
    SaveTarget target{path, {}, {}};
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) {
            target.file = resolved;
        }
    }
    // Only a regular file is replaced: renaming over a device or a named pipe (/dev/null for
    // root) would destroy it.
    const auto status = std::filesystem::status(target.file, ec);
    if (std::filesystem::is_directory(status)) {
        target.error = NotADocument("Cannot save", path, EISDIR);
    } else if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        target.error = NotADocument("Cannot save", path, ENODEV);
    }
    target.folder = target.file.parent_path();
    if (target.folder.empty()) {
        target.folder = ".";
    }
    return target;
}

}  // namespace

FileResult CheckDocumentTarget(const std::filesystem::path& path) {
    const SaveTarget target = ResolveSaveTarget(path);
    if (!target.error.empty()) {
        return FileResult::Failure(target.error);
    }
    struct stat info {};
    if (::stat(target.folder.c_str(), &info) != 0) {
        return FileResult::Failure(SaveFailure(path, errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return FileResult::Failure(SaveFailure(path, ENOTDIR));
    }
    // The temporary file needs a new entry in the folder, whatever the target's own mode.
    if (::access(target.folder.c_str(), W_OK | X_OK) != 0) {
        return FileResult::Failure(SaveFailure(path, errno));
    }
    return {};
}

FileResult SaveDocumentFile(const std::filesystem::path& path, const MemoryImage& image) {
    auto failure = [&path](int error) { return FileResult::Failure(SaveFailure(path, error)); };

    const SaveTarget resolved = ResolveSaveTarget(path);
    if (!resolved.error.empty()) {
        return FileResult::Failure(resolved.error);
    }
    const std::filesystem::path& target = resolved.file;
    const std::filesystem::path& folder = resolved.folder;

    // A fresh temporary name beside the target; O_EXCL never reuses an existing file.
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                              "." + std::to_string(counter++) + ".tmp");
        fd = FileDescriptor(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.valid() && errno != EEXIST) {
            break;
        }
    }
    if (!fd.valid()) {
        return failure(errno);
    }

    // Keep the permissions of a file being replaced.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd.get(), old.st_mode & 07777);
    }

    int error = 0;
    const auto bytes = image.all();
    if (!WriteAll(fd.get(), bytes.data(), bytes.size())) {
        error = errno;
    } else if (::fsync(fd.get()) != 0) {
        error = errno;
    }
    const int closeError = fd.Close();
    if (error == 0) {
        error = closeError;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(error);
    }
    // Make the rename itself durable.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) {
        ::fsync(dir.get());
    }
    return {};
}

}  // namespace kestra
