// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/program_directory.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "model/atomic_file.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

fs::path Absolute(const fs::path& p) {
    std::error_code ec;
    fs::path result = fs::absolute(p, ec);
    return ec ? p : result.lexically_normal();
}

// A bare program name is looked up the way the shell found it.
fs::path SearchPath(std::string_view name) {
    const auto path = Environment("PATH");
    if (!path) {
        return {};
    }
    std::string_view rest = *path;
    while (true) {
        const std::size_t colon = rest.find(':');
        std::string_view dir = rest.substr(0, colon);
        fs::path candidate = fs::path(dir.empty() ? "." : std::string(dir)) / std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0) {
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) {
                return Absolute(candidate);
            }
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(colon + 1);
    }
}

}  // namespace

fs::path ExecutablePath(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) {
        return self;
    }
    if (argv0 == nullptr || *argv0 == '\0') {
        return {};
    }
    std::string_view name(argv0);
    if (name.find('/') != std::string_view::npos) {
        return Absolute(fs::path(name));
    }
    return SearchPath(name);
}

fs::path ProgramDirectory(const char* argv0) {
    if (const auto home = Environment(kProgramHomeVariable)) {
        return Absolute(fs::path(*home));
    }
    const fs::path exe = ExecutablePath(argv0);
    if (!exe.empty() && exe.has_parent_path()) {
        return exe.parent_path();
    }
    return Absolute(fs::path("."));
}

fs::path UserConfigDirectory() {
    if (const auto xdg = Environment("XDG_CONFIG_HOME"); xdg && fs::path(*xdg).is_absolute()) {
        return fs::path(*xdg) / "kestra";
    }
    if (const auto home = Environment("HOME")) {
        return fs::path(*home) / ".config" / "kestra";
    }
    // No home at all (a bare service account): the current folder is the only place left.
    return Absolute(fs::path(".")) / ".kestra";
}

fs::path UserDataDirectory() {
    if (const auto xdg = Environment("XDG_DATA_HOME"); xdg && fs::path(*xdg).is_absolute()) {
        return fs::path(*xdg) / "kestra";
    }
    if (const auto home = Environment("HOME")) {
        return fs::path(*home) / ".local" / "share" / "kestra";
    }
    return Absolute(fs::path(".")) / ".kestra";
}

bool CanKeepSettingsAt(const fs::path& iniPath) {
    const fs::path dir = iniPath.has_parent_path() ? iniPath.parent_path() : fs::path(".");
    std::error_code ec;
    if (fs::exists(iniPath, ec)) {
        // The same test a save makes, so a file that saves would refuse (a read-only one, for
        // root too) sends the settings to the per-user folder instead.
        return ::access(iniPath.c_str(), R_OK) == 0 &&
               static_cast<bool>(CheckReplaceable({iniPath, "settings file"}));
    }
    if (ec) {
        return false;
    }
    // A missing program directory (a fresh KESTRA_HOME) is fine when it can be created.
    fs::path existing = dir;
    while (!existing.empty() && !fs::exists(existing, ec)) {
        if (ec || !existing.has_parent_path() || existing.parent_path() == existing) {
            return false;
        }
        existing = existing.parent_path();
    }
    return ::access(existing.c_str(), W_OK | X_OK) == 0;
}

fs::path ResolveSettingsFile(const fs::path& programDir, const fs::path& userConfigDir,
                             const std::function<bool(const fs::path&)>& canKeepAt) {
    const fs::path installed = programDir / kSettingsFileName;
    if (canKeepAt(installed)) {
        return installed;
    }
    const fs::path personal = userConfigDir / kSettingsFileName;
    std::error_code ec;
    if (!fs::exists(personal, ec) && fs::is_regular_file(installed, ec)) {
        // Best effort: when the copy fails the user's file starts empty, as a missing one would.
        fs::create_directories(userConfigDir, ec);
        fs::copy_file(installed, personal, fs::copy_options::skip_existing, ec);
        if (!ec) {
            fs::permissions(personal, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, ec);
        }
    }
    return personal;
}

bool IsInstalledProgramDirectory(const fs::path& dir) {
    fs::path normal = dir.lexically_normal();
    if (!normal.has_filename()) {
        normal = normal.parent_path();  // "/usr/bin/"
    }
    std::error_code ec;
    return normal.filename() == "bin" && !fs::exists(normal / "CMakeCache.txt", ec);
}

fs::path SettingsFilePath(const fs::path& programDir) {
    if (!Environment(kProgramHomeVariable) && IsInstalledProgramDirectory(programDir)) {
        return ResolveSettingsFile(programDir, UserConfigDirectory(),
                                   [](const fs::path&) { return false; });
    }
    return ResolveSettingsFile(programDir, UserConfigDirectory(), CanKeepSettingsAt);
}

}  // namespace kestra
