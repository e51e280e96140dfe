// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running the system's tools (validators, groff, dpkg, lintian) and the installed programs from
// the packaging tests, with their output captured.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "e2e/processes.hpp"

namespace kestra::test {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Where a tool is found along the usual system folders, or nothing when it is not installed.
inline std::optional<std::filesystem::path> FindTool(const std::string& name) {
    for (const char* dir : {"/usr/local/bin", "/usr/bin", "/bin", "/usr/sbin", "/sbin"}) {
        const std::filesystem::path path = std::filesystem::path(dir) / name;
        if (std::filesystem::exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

// Runs args[0] (a path, or a tool found with FindTool) to its end. Each "NAME=value" of
// environment replaces NAME in the test's own environment; "NAME=" leaves it empty.
inline CommandResult RunCommand(std::vector<std::string> args,
                                const std::vector<std::string>& environment = {}) {
    if (args.front().find('/') == std::string::npos) {
        const auto tool = FindTool(args.front());
        if (!tool) {
            return {-1, "", args.front() + " is not installed: run scripts/install-deps"};
        }
        args.front() = tool->string();
    }
    std::vector<std::string> env(environment);
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& own : environment) {
            replaced = replaced || own.starts_with(name);
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    auto envp = Argv(env);
    const TempDir logs;
    SpawnOutput output;
    output.stdoutPath = (logs / "out").string();
    output.stderrPath = (logs / "err").string();
    CommandResult result;
    result.exitCode = WaitForExit(SpawnProgram(std::move(args), output, envp.data()));
    result.out = ReadText(logs / "out");
    result.err = ReadText(logs / "err");
    return result;
}

}  // namespace kestra::test
