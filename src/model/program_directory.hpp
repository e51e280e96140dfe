// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program finds its own files. The program directory holds Default.dat, startup.bmp,
// background.bmp and, for a build tree or a folder of its own, Program.ini; it is the
// executable's folder unless the environment variable KESTRA_HOME names another one (tests give
// every run a temporary one). An installed copy (the program in the bin/ folder of an install
// prefix such as /usr or /usr/local) keeps Program.ini in the per-user configuration folder,
// whoever runs it, root included, so nothing is ever created beside an installed program; so
// does a copy whose folder the user cannot write. That file starts as a copy of a Program.ini
// beside the program, so that the installer's Type and About lines carry over.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kestra {

inline constexpr const char* kSettingsFileName = "Program.ini";
inline constexpr const char* kProgramHomeVariable = "KESTRA_HOME";

// The running executable's full path: /proc/self/exe where the system has it, else argv0 made
// absolute (searched along PATH when it has no slash). Empty when neither works.
std::filesystem::path ExecutablePath(const char* argv0 = nullptr);

// KESTRA_HOME (made absolute) when it is set and not empty, else the executable's folder, else
// the current folder.
std::filesystem::path ProgramDirectory(const char* argv0 = nullptr);

// $XDG_CONFIG_HOME/kestra when that is an absolute path, else $HOME/.config/kestra.
std::filesystem::path UserConfigDirectory();

// The per-user data folder: $XDG_DATA_HOME/kestra when that is an absolute path, else
// $HOME/.local/share/kestra.
std::filesystem::path UserDataDirectory();

// Whether dir is the bin/ folder of an install prefix (/usr/bin, /usr/local/bin, ~/bin, a
// DESTDIR stage's usr/bin): where an installed copy runs from. A build tree (a folder holding
// CMakeCache.txt) never is, whatever its name.
bool IsInstalledProgramDirectory(const std::filesystem::path& dir);

// Whether Program.ini can live at this path: its folder must accept the temporary file of an
// atomic save, and an existing file must be writable.
bool CanKeepSettingsAt(const std::filesystem::path& iniPath);

// The choice of Program.ini with the writability check passed in: programDir/Program.ini when
// canKeepAt allows it, else userConfigDir/Program.ini. On that fallback a missing per-user file
// is seeded with a copy of the program directory's Program.ini when there is one.
std::filesystem::path ResolveSettingsFile(
    const std::filesystem::path& programDir, const std::filesystem::path& userConfigDir,
    const std::function<bool(const std::filesystem::path&)>& canKeepAt);

// ResolveSettingsFile with UserConfigDirectory() and CanKeepSettingsAt; for an installed copy
// (IsInstalledProgramDirectory, KESTRA_HOME unset) always the per-user file.
std::filesystem::path SettingsFilePath(const std::filesystem::path& programDir);

}  // namespace kestra
