// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.hpp"

#include <algorithm>
#include <string_view>

#include "channels/image_preparation.hpp"

namespace kestra::cli {

namespace {

// Every option name ParseArguments knows, whichever command's rules allow it.
constexpr std::string_view kOptionNames[] = {"--port",   "--service", "--model",    "-o",
                                             "--apply",  "--append",  "--verify",   "--area",
                                             "--password", "--force"};

bool Names(std::span<const std::string_view> names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsFlag(const ArgumentRules& rules, const std::string& name) {
    return (name == "--service" && rules.service) || (name == "--append" && rules.append) ||
           (name == "--verify" && rules.verify) || (name == "--force" && rules.force) ||
           Names(rules.flagOptions, name);
}

// Sets an option that takes no value (IsFlag).
void StoreFlag(CommandLine& line, const std::string& name) {
    if (name == "--service") {
        line.service = true;
    } else if (name == "--append") {
        line.append = true;
    } else if (name == "--verify") {
        line.verify = true;
    } else if (name == "--force") {
        line.force = true;
    } else if (!line.Flag(name)) {
        line.flags.push_back(name);
    }
}

bool TakesValue(const ArgumentRules& rules, const std::string& name) {
    return (name == "--port" && rules.port) || (name == "--model" && rules.model) ||
           (name == "-o" && rules.output) || (name == "--apply" && rules.apply) ||
           (name == "--area" && rules.area) || (name == "--password" && rules.password) ||
           Names(rules.valueOptions, name);
}

// Stores the value of an option that takes one; false with the reason when it is given twice
// or names no model.
bool StoreValue(CommandLine& line, bool& outputGiven, const std::string& name,
                const std::string& value, std::string& error) {
    const bool repeated = name == "-o"           ? outputGiven
                          : name == "--model"    ? line.model.has_value()
                          : name == "--apply"    ? line.apply.has_value()
                          : name == "--port"     ? line.port.has_value()
                          : name == "--area"     ? line.area.has_value()
                          : name == "--password" ? line.password.has_value()
                                                 : line.Value(name).has_value();
    if (repeated) {
        error = name + " given twice";
        return false;
    }
    if (name == "-o") {
        line.output = value;
        outputGiven = true;
    } else if (name == "--apply") {
        line.apply = value;
    } else if (name == "--model") {
        const int model = ModelIndexOfName(value);
        if (model < 0) {
            error = "unknown model " + value + " (6120HE, 6120N or 6120E)";
            return false;
        }
        line.model = model;
    } else if (name == "--port") {
        line.port = value;
    } else if (name == "--area") {
        line.area = value;
    } else if (name == "--password") {
        line.password = value;
    } else {
        line.values.emplace_back(name, value);
    }
    return true;
}

// What is missing or too much once every argument is read.
bool CheckComplete(const CommandLine& line, bool outputGiven, const ArgumentRules& rules,
                   std::string& error) {
    if (rules.output && !rules.outputOptional && !outputGiven) {
        error = "-o FILE missing";
        return false;
    }
    if (line.files.size() > rules.files) {
        error = "unexpected argument " + line.files[rules.files];
        return false;
    }
    if (line.files.size() < rules.files) {
        error = rules.files == 1 ? "FILE missing" : "arguments missing";
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> CommandLine::Value(std::string_view name) const {
    for (const auto& [option, value] : values) {
        if (option == name) {
            return value;
        }
    }
    return std::nullopt;
}

bool CommandLine::Flag(std::string_view name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

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
        if (IsFlag(rules, name)) {
            if (value) {
                error = name + " takes no value";
                return std::nullopt;
            }
            StoreFlag(line, name);
            continue;
        }
        if (!TakesValue(rules, name)) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!value && i + 1 < args.size() && IsOptionValue(args[i + 1], kOptionNames)) {
            value = args[++i];
        }
        if (!value || value->empty()) {
            error = value ? name + " needs a value" : NeedsValue(name, args, i + 1);
            return std::nullopt;
        }
        if (!StoreValue(line, outputGiven, name, *value, error)) {
            return std::nullopt;
        }
    }
    if (!CheckComplete(line, outputGiven, rules, error)) {
        return std::nullopt;
    }
    return line;
}

bool IsOptionValue(std::string_view next, std::span<const std::string_view> options) {
    if (next.empty() || next == "--") {
        return false;
    }
    const std::string_view name = next.substr(0, next.find('='));
    return std::find(options.begin(), options.end(), name) == options.end();
}

std::string NeedsValue(const std::string& name, std::span<const std::string> args,
                       std::size_t next) {
    std::string text = name + " needs a value";
    if (next < args.size() && args[next].size() > 1 && args[next].front() == '-' &&
        args[next] != "--") {
        text += " (for the value " + args[next] + " write " + name + "=" + args[next] + ")";
    }
    return text;
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
