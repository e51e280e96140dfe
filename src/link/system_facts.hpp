// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The facts about users and programs that decide whether a serial device can be used: who the
// user is and which groups the login session has, the group database, the owner and permissions
// of a device node, the processes that hold a device open, and which services are installed or
// running. Read below a root folder ("/" on a running system, a fixture tree in the tests);
// nothing here changes the system.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestra {

struct UserIdentity {
    unsigned uid = 0;
    std::string name;
    // The groups of this login session (the primary group included). A user added to a group
    // gets it only in sessions started after that.
    std::vector<unsigned> groups;

    // The user running this program.
    static UserIdentity Current();
};

struct GroupEntry {
    std::string name;
    unsigned gid = 0;
    std::vector<std::string> members;
};

// root/etc/group, one entry a line; malformed lines are skipped.
std::vector<GroupEntry> ReadGroupDatabase(const std::filesystem::path& root);
// The group's name from the database, else "group <gid>".
std::string GroupName(const std::vector<GroupEntry>& groups, unsigned gid);
// Whether the database makes user a member of gid: listed in the group's line, or the group is
// the user's primary group in root/etc/passwd.
bool DatabaseListsMember(const std::filesystem::path& root, const std::vector<GroupEntry>& groups,
                         const std::string& user, unsigned gid);

// The user's name from root/etc/passwd, else "user <uid>".
std::string UserName(const std::filesystem::path& root, unsigned uid);

struct NodeOwnership {
    unsigned uid = 0;
    unsigned gid = 0;
    unsigned mode = 0;  // permission bits, 0777
};
// The owner, group and permissions of a file (following links); nothing when it is absent.
std::optional<NodeOwnership> ReadOwnership(const std::filesystem::path& path);
// "rw-rw----" for 0660.
std::string PermissionText(unsigned mode);
// Whether the permission bits let the user read and write the node.
bool PermitsReadWrite(const NodeOwnership& node, const UserIdentity& user);
// Whether this process may open path for reading and writing, as the system decides it (access
// control lists included).
bool ProcessMayReadWrite(const std::filesystem::path& path);

struct ProcessInfo {
    int pid = 0;
    std::string name;  // from /proc/<pid>/comm
};
// The processes whose open files include node (an absolute device path), except exceptPid.
// Processes whose descriptors this user may not read are not seen.
std::vector<ProcessInfo> ProcessesHolding(const std::filesystem::path& root,
                                          const std::string& node, int exceptPid);
// Whether a process with this name runs.
bool ProcessRunning(const std::filesystem::path& root, std::string_view name);
// Whether any of the absolute paths exists below root.
bool AnyExists(const std::filesystem::path& root, const std::vector<std::string>& paths);

}  // namespace kestra
