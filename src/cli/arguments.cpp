#include "cli/arguments.hpp"

#include <string_view>

namespace kestra::cli {

namespace {

bool IsValue(std::string_view text) {
    return !text.empty() && text.front() != '-';
}

}  // namespace

std::optional<CommandLine> ParseArguments(std::span<const std::string> args,
                                          const ArgumentRules& rules, std::string& error) {
    CommandLine line;
    bool outputGiven = false;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool option = !optionsEnd && arg.size() > 1 && arg.front() == '-';
        if (!option) {
            if (arg.empty()) {
                error = "empty file name";
                return std::nullopt;
            }
            line.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t eq = arg.find('=');
            arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const bool takesValue = (name == "--port" && rules.port) ||
                                (name == "-o" && rules.output) ||
                                (name == "--apply" && rules.apply);
        if ((name == "--service" && rules.service) || (name == "--append" && rules.append)) {
            if (value) {
                error = name + " takes no value";
                return std::nullopt;
            }
            (name == "--service" ? line.service : line.append) = true;
            continue;
        }
        if (!takesValue) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!value && i + 1 < args.size() && IsValue(args[i + 1])) {
            value = args[++i];
        }
        if (!value || value->empty()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        const bool repeated = name == "-o"        ? outputGiven
                              : name == "--apply" ? line.apply.has_value()
                                                  : line.port.has_value();
        if (repeated) {
            error = name + " given twice";
            return std::nullopt;
        }
        if (name == "-o") {
            line.output = *value;
            outputGiven = true;
        } else if (name == "--apply") {
            line.apply = *value;
        } else {
            line.port = *value;
        }
    }
    if (rules.output && !rules.outputOptional && !outputGiven) {
        error = "-o FILE missing";
        return std::nullopt;
    }
    if (line.files.size() != rules.files) {
        if (line.files.size() > rules.files) {
            error = "unexpected argument " + line.files[rules.files];
        } else {
            error = rules.files == 1 ? "FILE missing" : "file names missing";
        }
        return std::nullopt;
    }
    return line;
}

std::optional<CommandLine> ParseCommand(const Context& ctx, const char* command,
                                        const ArgumentRules& rules) {
    std::string problem;
    auto line = ParseArguments(ctx.args, rules, problem);
    if (!line) {
        Fail(ctx, problem + " (" + Usage(command) + ")", kExitUsage);
    }
    return line;
}

}  // namespace kestra::cli
