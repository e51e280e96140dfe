// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli: the Kestra document tools for scripts and batch use.
//
//   kestra-cli <command> [arguments...]
//
// Every subcommand prints one line to stderr and exits non-zero when it fails.

#include <algorithm>
#include <array>
#include <exception>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_document.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"
#include "model/program_version.hpp"

namespace kestra::cli {

int Fail(const Context& ctx, const std::string& text, int code) {
    ctx.err << "kestra-cli: " << text << '\n';
    return code;
}

bool OpenDocument(const Context& ctx, const std::string& path, ChannelDocument& document) {
    if (const FileResult opened = document.Open(path); !opened) {
        Fail(ctx, opened.error);
        return false;
    }
    return true;
}

void ApplyModelOption(const std::optional<int>& model, ChannelDocument& document) {
    if (model) {
        document.SetModelIndex(*model);
    }
}

int SaveDocument(const Context& ctx, ChannelDocument& document, const std::string& path) {
    if (const FileResult saved = document.Save(path); !saved) {
        return Fail(ctx, saved.error);
    }
    return kExitOk;
}

namespace {

struct Command {
    std::string_view name;
    int (*run)(const Context&);
    std::string_view arguments;
    std::string_view description;
};

#define KESTRA_CLI_ENTRY(name, function, arguments, description) \
    Command{name, &function, arguments, description},
constexpr std::array kCommands{KESTRA_CLI_COMMANDS(KESTRA_CLI_ENTRY)};
#undef KESTRA_CLI_ENTRY

std::string Synopsis(const Command& command) {
    std::string text(command.name);
    if (!command.arguments.empty()) {
        text += " " + std::string(command.arguments);
    }
    return text;
}

// A synopsis longer than this has its description on the next line.
constexpr std::size_t kSynopsisColumn = 60;

void PrintUsage(std::ostream& out) {
    std::size_t width = 0;
    for (const Command& command : kCommands) {
        const std::size_t size = Synopsis(command).size();
        width = size <= kSynopsisColumn ? std::max(width, size) : width;
    }
    out << "usage: kestra-cli <command> [arguments]\n\ncommands:\n";
    for (const Command& command : kCommands) {
        std::string line = "  " + Synopsis(command);
        if (line.size() > width + 3) {
            line += "\n";
            line.append(width + 4, ' ');
        } else {
            line.resize(width + 4, ' ');
        }
        out << line << command.description << '\n';
    }
    out << "\nkestra-cli <command> --help shows the usage of one command;\n"
           "kestra-cli --version shows the version and the licence.\n";
}

// "--help" anywhere, or "-h" alone, asks for the command's usage instead of running it.
bool AsksForHelp(std::span<const std::string> args) {
    return std::find(args.begin(), args.end(), "--help") != args.end() ||
           (args.size() == 1 && args.front() == "-h");
}

// Runs a subcommand; anything it throws ends the program as every failure does: one line on
// stderr and exit status 1, never an abort with a core dump.
int RunGuarded(const Command& command, const Context& ctx) {
    try {
        return command.run(ctx);
    } catch (const std::exception& e) {
        return Fail(ctx, std::string(command.name) + " failed: " + e.what() +
                             ". Files it was writing are left as they were.");
    } catch (...) {
        return Fail(ctx, std::string(command.name) +
                             " failed unexpectedly. Files it was writing are left as they were.");
    }
}

}  // namespace

std::string Usage(std::string_view name) {
    for (const Command& command : kCommands) {
        if (command.name == name) {
            return "usage: kestra-cli " + Synopsis(command);
        }
    }
    return "usage: kestra-cli <command> [arguments]";
}

}  // namespace kestra::cli

int main(int argc, char** argv) {
    using namespace kestra::cli;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    const std::string& name = args.front();
    if (name == "help" || name == "-h" || name == "--help" || name == "--version") {
        if (name == "--version") {
            std::cout << kestra::VersionText("kestra-cli");
        } else {
            PrintUsage(std::cout);
        }
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "kestra-cli: cannot write to standard output\n";
            return kExitFailure;
        }
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            const Context ctx{std::span<const std::string>(args).subspan(1),
                              argc > 0 ? argv[0] : nullptr, std::cout, std::cerr};
            if (AsksForHelp(ctx.args)) {
                std::cout << Usage(name) << "\n  " << command.description << '\n'
                          << CommandNotes(name) << std::flush;
                return std::cout ? kExitOk : Fail(ctx, "cannot write to standard output");
            }
            return RunGuarded(command, ctx);
        }
    }
    std::cerr << "kestra-cli: unknown command '" << name << "' (try kestra-cli help)\n";
    return kExitUsage;
}
