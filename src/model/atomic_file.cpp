// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>
#include <vector>

#include "model/posix_file.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
// Marks a chain of links longer than kMaxLinkHops that never comes back to one of its links.
constexpr int kChainTooLong = -1;

std::string Refusal(const SaveTarget& target, std::string_view what, std::string_view advice) {
    return "Cannot save " + QuotedPath(target.path) + ": " + std::string(what) +
           ". Nothing was saved; " + std::string(advice) + ".";
}

std::string SystemRefusal(const SaveTarget& target, int error) {
    return Refusal(target, ErrorReason(error),
                   "choose another folder or free some space, then try again");
}

// Follows the symbolic links that path ends in, link by link, so that a dangling link leads to
// the file it names (which the save then creates) and a loop is noticed instead of being
// replaced by a plain file. Returns 0, an errno value (ELOOP: a link leads back to one met
// before) or kChainTooLong (more links than the system itself would follow, but no loop).
int FollowLinks(fs::path& path) {
    std::vector<std::pair<dev_t, ino_t>> seen;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(info.st_mode)) {
            return 0;
        }
        const std::pair link{info.st_dev, info.st_ino};
        if (std::find(seen.begin(), seen.end(), link) != seen.end()) {
            return ELOOP;
        }
        seen.push_back(link);
        std::error_code ec;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            return ec.value();
        }
        // A relative link is relative to the folder it sits in.
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return kChainTooLong;
}

// 0 when the user may write the existing file, else an errno value (EACCES: read-only).
int WriteRefusal(const fs::path& file, const struct stat& info) {
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return EACCES;  // nobody may write it: root would be let through by access() alone
    }
    return ::access(file.c_str(), W_OK) == 0 ? 0 : errno;
}

// Where a save writes: the file at the end of the links, its folder, and what it replaces.
struct Destination {
    fs::path file;
    fs::path folder;
    bool exists = false;
    struct stat info {};
    std::string error;  // the refusal, when the save must not go ahead
};

std::string CheckExisting(const SaveTarget& target, const Destination& d) {
    if (S_ISDIR(d.info.st_mode)) {
        return "Cannot save " + QuotedPath(target.path) + ": it is a folder, not a " +
               std::string(target.kind) + ".";
    }
    // Renaming over a device or a named pipe (/dev/null for root) would destroy it.
    if (!S_ISREG(d.info.st_mode)) {
        return "Cannot save " + QuotedPath(target.path) + ": it is not a regular file, so not a " +
               std::string(target.kind) + ".";
    }
    if (const int error = WriteRefusal(d.file, d.info); error == EACCES) {
        return Refusal(target, "the file is read-only", "make the file writable and try again");
    } else if (error != 0) {
        return SystemRefusal(target, error);
    }
    return {};
}

std::string CheckFolder(const SaveTarget& target, const fs::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return SystemRefusal(target, errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return SystemRefusal(target, ENOTDIR);
    }
    // The temporary file needs a new entry in the folder, whatever the target's own mode.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return SystemRefusal(target, errno);
    }
    return {};
}

Destination Resolve(const SaveTarget& target) {
    Destination d;
    d.file = target.path;
    if (const int error = FollowLinks(d.file); error == ELOOP) {
        d.error = Refusal(target, "its symbolic links lead round in a circle",
                          "repair the link and try again");
        return d;
    } else if (error == kChainTooLong) {
        d.error = Refusal(target,
                          "it is reached through more than " + std::to_string(kMaxLinkHops) +
                              " symbolic links, more than the system follows",
                          "let the link name the file directly and try again");
        return d;
    } else if (error != 0) {
        d.error = SystemRefusal(target, error);
        return d;
    }
    d.folder = d.file.has_parent_path() ? d.file.parent_path() : fs::path(".");
    if (::stat(d.file.c_str(), &d.info) == 0) {
        d.exists = true;
        d.error = CheckExisting(target, d);
    } else if (errno != ENOENT) {
        d.error = SystemRefusal(target, errno);
    }
    if (d.error.empty()) {
        d.error = CheckFolder(target, d.folder);
    }
    return d;
}

// A short name of its own (".kestra-" and eight random characters), so that the temporary file
// fits wherever the target's name does, even one of the longest names the system allows.
std::string TemporaryName() {
    static constexpr std::string_view kAlphabet = "0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string name = ".kestra-";
    for (int i = 0; i < 8; ++i) {
        name += kAlphabet[pick(random)];
    }
    return name;
}

// A new temporary file in folder; O_EXCL never reuses an existing file (or follows a link).
FileDescriptor CreateTemporary(const fs::path& folder, fs::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / TemporaryName();
        FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.valid() || errno != EEXIST) {
            return fd;
        }
    }
    return FileDescriptor();
}

// The replaced file's owner, group and permission bits, as far as the system lets this user
// give them (only root may hand a file to someone else; failing that is not an error).
void KeepAttributes(int fd, const Destination& d) {
    if (!d.exists) {
        return;
    }
    struct stat mine {};
    if (::fstat(fd, &mine) == 0 && (mine.st_uid != d.info.st_uid || mine.st_gid != d.info.st_gid)) {
        if (::fchown(fd, d.info.st_uid, d.info.st_gid) != 0) {
            // Keep the saving user's ownership.
        }
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, d.info.st_mode & 07777) != 0) {
        // The new file keeps the default permissions.
    }
}

bool WriteAll(int fd, std::span<const std::uint8_t> data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data = data.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes, flushes and closes the temporary file; 0 or the first errno value.
int WriteAndClose(FileDescriptor& fd, std::span<const std::uint8_t> bytes) {
    int error = 0;
    if (!WriteAll(fd.get(), bytes)) {
        error = errno;
    } else if (::fsync(fd.get()) != 0) {
        error = errno;
    }
    const int closeError = fd.Close();
    return error != 0 ? error : closeError;
}

void SyncFolder(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

// Gives the finished temporary file the name target unless a file holds it: 0, EEXIST when the
// name is taken, else an errno value. A hard link is the first choice; a file system without
// links gets a rename that refuses to replace, and without that the bytes are written again
// into a file created exclusively under the name.
int PublishWithoutReplacing(const fs::path& temporary, const fs::path& target,
                            std::span<const std::uint8_t> bytes) {
    if (::link(temporary.c_str(), target.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)) {
        return errno;
    }
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.valid()) {
        return errno;
    }
    if (const int error = WriteAndClose(fd, bytes); error != 0) {
        ::unlink(target.c_str());
        return error;
    }
    ::unlink(temporary.c_str());
    return 0;
}

}  // namespace

FileResult CheckReplaceable(const SaveTarget& target) {
    const Destination d = Resolve(target);
    return d.error.empty() ? FileResult{} : FileResult::Failure(d.error);
}

FileResult ReplaceFileAtomically(const SaveTarget& target, std::span<const std::uint8_t> bytes) {
    const Destination d = Resolve(target);
    if (!d.error.empty()) {
        return FileResult::Failure(d.error);
    }
    fs::path temporary;
    FileDescriptor fd = CreateTemporary(d.folder, temporary);
    if (!fd.valid()) {
        return FileResult::Failure(SystemRefusal(target, errno));
    }
    KeepAttributes(fd.get(), d);
    int error = WriteAndClose(fd, bytes);
    if (error == 0 && ::rename(temporary.c_str(), d.file.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return FileResult::Failure(SystemRefusal(target, error));
    }
    // Make the rename itself durable. The new file is in place whatever this says.
    SyncFolder(d.folder);
    return {};
}

FileResult CreateNewFile(const fs::path& folder, std::string_view kind,
                         std::span<const std::uint8_t> bytes,
                         const std::function<std::string(int attempt)>& nameFor, int attempts,
                         fs::path& created) {
    const SaveTarget first{folder / nameFor(0), kind};
    fs::path temporary;
    FileDescriptor fd = CreateTemporary(folder, temporary);
    if (!fd.valid()) {
        return FileResult::Failure(SystemRefusal(first, errno));
    }
    int error = WriteAndClose(fd, bytes);
    for (int attempt = 0; error == 0 && attempt < attempts; ++attempt) {
        const fs::path target = folder / nameFor(attempt);
        error = PublishWithoutReplacing(temporary, target, bytes);
        if (error == 0) {
            created = target;
            SyncFolder(folder);
            return {};
        }
        if (error == EEXIST) {
            error = attempt + 1 < attempts ? 0 : EEXIST;
        }
    }
    ::unlink(temporary.c_str());
    return FileResult::Failure(SystemRefusal(first, error));
}

FileResult ReplaceFileAtomically(const SaveTarget& target, std::string_view text) {
    return ReplaceFileAtomically(
        target, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size()));
}

}  // namespace kestra
