// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of a kestra-cli subcommand: which options it takes (--port P, --service,
// --model NAME, -o FILE, --apply FILE, --append, --verify, --area AREA, --password TEXT, --force,
// and options of its own such as --by KEY or --desc) and how many file arguments. Every
// subcommand parses through here, so they all treat a missing or repeated value, an unknown option
// and a stray argument the same way: one line naming the problem and the command's usage, and the
// usage exit code.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/commands.hpp"

namespace kestra::cli {

struct ArgumentRules {
    bool port = false;            // --port P or --port=P, optional
    bool service = false;         // --service, optional
    bool model = false;           // --model NAME, optional
    bool output = false;          // -o FILE, required
    bool outputOptional = false;  // with output: -o FILE may be left out
    bool apply = false;           // --apply FILE, optional
    bool append = false;          // --append, optional
    bool verify = false;          // --verify, optional
    bool area = false;            // --area AREA, optional here (the command requires it)
    bool password = false;        // --password TEXT, optional here (the command requires it)
    bool force = false;           // --force, optional
    std::size_t files = 0;        // arguments that are no option (files, channels, texts)
    // The command's own options, all optional: those that take a value ("--by"), and those
    // that take none ("--desc").
    std::span<const std::string_view> valueOptions{};
    std::span<const std::string_view> flagOptions{};
};

struct CommandLine {
    std::optional<std::string> port;
    bool service = false;
    // The radio model named by --model (an index into kModelNames); nothing without it.
    std::optional<int> model;
    std::string output;  // empty when an optional -o was left out
    std::optional<std::string> apply;
    bool append = false;
    bool verify = false;
    std::optional<std::string> area;
    std::optional<std::string> password;
    bool force = false;
    std::vector<std::string> files;
    // The command's own options that were given: (name, value) and names.
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> flags;

    // The value of one of the command's own options, nothing when it was not given.
    std::optional<std::string> Value(std::string_view name) const;
    bool Flag(std::string_view name) const;
};

// The arguments read by the rules; nothing, with the reason in error, when they do not fit.
// An option's value is the next argument unless that is an option name (so "--port -o x.dat"
// is a missing port, not a port named "-o"); any other value is taken even when it starts with
// '-' ("-o -old.dat"), and "--port=-o" gives any value. After "--" every argument is a file,
// even one starting with '-'.
std::optional<CommandLine> ParseArguments(std::span<const std::string> args,
                                          const ArgumentRules& rules, std::string& error);

// Whether next, the argument after an option that needs a value, is that value: anything but
// "--" and the names in options (matched before any "="). Every command line of kestra-cli reads
// option values this way.
bool IsOptionValue(std::string_view next, std::span<const std::string_view> options);

// "NAME needs a value", and when the next argument was an option name, how to give a value that
// looks like one: "--name needs a value (for the value --by-number write --name=--by-number)".
std::string NeedsValue(const std::string& name, std::span<const std::string> args,
                       std::size_t next);

// ParseArguments on ctx.args for the named command; on a problem prints it with the command's
// usage and returns nothing (the command then exits with kExitUsage).
std::optional<CommandLine> ParseCommand(const Context& ctx, const char* command,
                                        const ArgumentRules& rules);

}  // namespace kestra::cli
