// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.hpp"

#include <string_view>

#include "channels/image_preparation.hpp"

namespace kestra::cli {

namespace {

bool IsValue(std::string_view text) {
    return !text.empty() && text.front() != '-';
}

// The switch an option without a value sets, when the command takes it; else null.
bool* FlagOf(CommandLine& line, const ArgumentRules& rules, const std::string& name) {
    if (name == "--service" && rules.service) {
        return &line.service;
    }
    if (name == "--append" && rules.append) {
        return &line.append;
    }
    if (name == "--verify" && rules.verify) {
        return &line.verify;
    }
    return name == "--force" && rules.force ? &line.force : nullptr;
}

// Stores the value of an option that takes one; false with the reason when it is given twice
// or names no model.
bool StoreValue(CommandLine& line, bool& outputGiven, const std::string& name,
                const std::string& value, std::string& error) {
    const bool repeated = name == "-o"           ? outputGiven
                          : name == "--model"    ? line.model.has_value()
                          : name == "--apply"    ? line.apply.has_value()
                          : name == "--area"     ? line.area.has_value()
                          : name == "--password" ? line.password.has_value()
                                                 : line.port.has_value();
    if (repeated) {
        error = name + " given twice";
        return false;
    }
    if (name == "-o") {
        line.output = value;
        outputGiven = true;
    } else if (name == "--apply") {
        line.apply = value;
    } else if (name == "--area") {
        line.area = value;
    } else if (name == "--password") {
        line.password = value;
    } else if (name == "--model") {
        const int model = ModelIndexOfName(value);
        if (model < 0) {
            error = "unknown model " + value + " (6120HE, 6120N or 6120E)";
            return false;
        }
        line.model = model;
    } else {
        line.port = value;
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
        error = rules.files == 1 ? "FILE missing" : "file names missing";
        return false;
    }
    return true;
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
        if (bool* flag = FlagOf(line, rules, name)) {
            if (value) {
                error = name + " takes no value";
                return std::nullopt;
            }
            *flag = true;
            continue;
        }
        const bool takesValue =
            (name == "--port" && rules.port) || (name == "--model" && rules.model) ||
            (name == "-o" && rules.output) || (name == "--apply" && rules.apply) ||
            (name == "--area" && rules.area) || (name == "--password" && rules.password);
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
        if (!StoreValue(line, outputGiven, name, *value, error)) {
            return std::nullopt;
        }
    }
    if (!CheckComplete(line, outputGiven, rules, error)) {
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
