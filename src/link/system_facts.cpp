// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/system_facts.hpp"

#include <sys/stat.h>

#ifdef __unix__
#include <pwd.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "link/serial_inventory.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

std::optional<unsigned> Number(const std::string& text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// The line of root/etc/passwd whose field at index `key` equals value.
std::vector<std::string> PasswdEntry(const fs::path& root, std::size_t key,
                                     const std::string& value) {
    std::ifstream in(UnderRoot(root, "/etc/passwd"));
    std::string line;
    while (std::getline(in, line)) {
        auto fields = Split(line, ':');
        if (fields.size() >= 4 && fields[key] == value) {
            return fields;
        }
    }
    return {};
}

// The pids listed in root/proc.
std::vector<int> Pids(const fs::path& root) {
    std::vector<int> pids;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(UnderRoot(root, "/proc"), ec)) {
        if (const auto pid = Number(entry.path().filename().string())) {
            pids.push_back(static_cast<int>(*pid));
        }
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

std::string ProcessName(const fs::path& root, int pid) {
    std::ifstream in(UnderRoot(root, "/proc/" + std::to_string(pid) + "/comm"));
    std::string name;
    std::getline(in, name);
    return name;
}

}  // namespace

UserIdentity UserIdentity::Current() {
    UserIdentity user;
#ifdef __unix__
    user.uid = ::getuid();
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        user.groups.assign(groups.begin(), groups.end());
    }
    user.groups.push_back(::getgid());
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(user.uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        user.name = found->pw_name;
    }
#endif
    if (user.name.empty()) {
        const char* name = std::getenv("USER");
        user.name = name != nullptr && *name != '\0' ? name : std::to_string(user.uid);
    }
    return user;
}

std::vector<GroupEntry> ReadGroupDatabase(const fs::path& root) {
    std::vector<GroupEntry> groups;
    std::ifstream in(UnderRoot(root, "/etc/group"));
    std::string line;
    while (std::getline(in, line)) {
        const auto fields = Split(line, ':');
        const auto gid = fields.size() >= 3 ? Number(fields[2]) : std::nullopt;
        if (!gid || fields[0].empty()) {
            continue;
        }
        GroupEntry group{fields[0], *gid, {}};
        if (fields.size() >= 4) {
            for (const std::string& member : Split(fields[3], ',')) {
                if (!member.empty()) {
                    group.members.push_back(member);
                }
            }
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::string GroupName(const std::vector<GroupEntry>& groups, unsigned gid) {
    for (const GroupEntry& group : groups) {
        if (group.gid == gid) {
            return group.name;
        }
    }
    return "group " + std::to_string(gid);
}

bool DatabaseListsMember(const fs::path& root, const std::vector<GroupEntry>& groups,
                         const std::string& user, unsigned gid) {
    for (const GroupEntry& group : groups) {
        if (group.gid == gid &&
            std::find(group.members.begin(), group.members.end(), user) != group.members.end()) {
            return true;
        }
    }
    const auto entry = PasswdEntry(root, 0, user);
    return !entry.empty() && Number(entry[3]) == gid;
}

std::string UserName(const fs::path& root, unsigned uid) {
    const auto entry = PasswdEntry(root, 2, std::to_string(uid));
    return entry.empty() ? "user " + std::to_string(uid) : entry[0];
}

std::optional<NodeOwnership> ReadOwnership(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return NodeOwnership{static_cast<unsigned>(info.st_uid), static_cast<unsigned>(info.st_gid),
                         static_cast<unsigned>(info.st_mode) & 0777U};
}

std::string PermissionText(unsigned mode) {
    std::string text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (mode >> (shift + 2)) & 1U ? 'r' : '-';
        text += (mode >> (shift + 1)) & 1U ? 'w' : '-';
        text += (mode >> shift) & 1U ? 'x' : '-';
    }
    return text;
}

bool PermitsReadWrite(const NodeOwnership& node, const UserIdentity& user) {
    if (user.uid == 0) {
        return true;
    }
    // As the kernel decides: the owner's bits for the owner, the group's bits for a member of
    // the group, the others' bits for everyone else.
    unsigned bits = node.mode & 07U;
    if (node.uid == user.uid) {
        bits = (node.mode >> 6) & 07U;
    } else if (std::find(user.groups.begin(), user.groups.end(), node.gid) != user.groups.end()) {
        bits = (node.mode >> 3) & 07U;
    }
    return (bits & 06U) == 06U;
}

bool ProcessMayReadWrite(const fs::path& path) {
#ifdef __unix__
    return ::access(path.c_str(), R_OK | W_OK) == 0;
#else
    (void)path;
    return true;
#endif
}

std::vector<ProcessInfo> ProcessesHolding(const fs::path& root, const std::string& node,
                                          int exceptPid) {
    std::vector<ProcessInfo> holders;
    for (const int pid : Pids(root)) {
        if (pid == exceptPid) {
            continue;
        }
        std::error_code ec;
        const fs::path fds = UnderRoot(root, "/proc/" + std::to_string(pid) + "/fd");
        for (const auto& entry : fs::directory_iterator(fds, ec)) {
            std::error_code linkError;
            if (fs::read_symlink(entry.path(), linkError) == node) {
                holders.push_back({pid, ProcessName(root, pid)});
                break;
            }
        }
    }
    return holders;
}

bool ProcessRunning(const fs::path& root, std::string_view name) {
    const auto pids = Pids(root);
    return std::any_of(pids.begin(), pids.end(),
                       [&](int pid) { return ProcessName(root, pid) == name; });
}

bool AnyExists(const fs::path& root, const std::vector<std::string>& paths) {
    std::error_code ec;
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return fs::exists(UnderRoot(root, path), ec);
    });
}

}  // namespace kestra
