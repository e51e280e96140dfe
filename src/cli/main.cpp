// kestra-cli: the Kestra document tools for scripts and batch use.
//
//   kestra-cli <command> [arguments...]
//
// Every subcommand prints one line to stderr and exits non-zero when it fails.

#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_table.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

int Fail(const Context& ctx, const std::string& text, int code) {
    ctx.err << "kestra-cli: " << text << '\n';
    return code;
}

bool OpenDocument(const Context& ctx, const std::string& path, MemoryImage& image,
                  SectionLimits& limits, ChannelTable& table) {
    if (const FileResult loaded = LoadDocumentFile(path, image); !loaded) {
        Fail(ctx, loaded.error);
        return false;
    }
    table.FillGridFromImage(image, limits);
    return true;
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

void PrintUsage(std::ostream& out) {
    out << "usage: kestra-cli <command> [arguments]\n\ncommands:\n";
    for (const Command& command : kCommands) {
        std::string line = "  " + std::string(command.name) + " " + std::string(command.arguments);
        line.resize(std::max<std::size_t>(line.size() + 2, 24), ' ');
        out << line << command.description << '\n';
    }
}

}  // namespace
}  // namespace kestra::cli

int main(int argc, char** argv) {
    using namespace kestra::cli;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    const std::string& name = args.front();
    if (name == "help" || name == "-h" || name == "--help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            const Context ctx{std::span<const std::string>(args).subspan(1),
                              argc > 0 ? argv[0] : nullptr, std::cout, std::cerr};
            return command.run(ctx);
        }
    }
    std::cerr << "kestra-cli: unknown command '" << name << "' (try kestra-cli help)\n";
    return kExitUsage;
}
