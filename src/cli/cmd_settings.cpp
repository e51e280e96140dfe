// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli settings FILE [-o OUT [--apply SETTINGS.ini]]: the radio settings of a document as
// a text file. Without -o it prints every field of the "Optional Features", "DTMF" and "Radio"
// dialogs as they show it right after opening, one "Caption=value" line per field in INI
// sections. With -o it opens every dialog on the document, sets the fields SETTINGS.ini lists
// as a user typing them would, closes every dialog and writes OUT as Save As does; a line that
// cannot be applied is reported with its number and nothing is written.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"
#include "settings/settings_text.hpp"

namespace kestra::cli {

namespace {

// A settings file is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kSettingsFileLimit = 1 << 20;

std::optional<std::string> ReadSettingsFile(const Context& ctx, const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        Fail(ctx, "cannot read " + path + ": no such file");
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(status)) {
        Fail(ctx, "cannot read " + path + ": not a regular file");
        return std::nullopt;
    }
    if (std::filesystem::file_size(path, ec) > kSettingsFileLimit) {
        Fail(ctx, path + " is too large for a settings file (more than 1 MiB)");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (!in.is_open() || in.bad()) {
        Fail(ctx, "cannot read " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    return text;
}

}  // namespace

int RunSettings(const Context& ctx) {
    const auto line = ParseCommand(
        ctx, "settings", {.output = true, .outputOptional = true, .apply = true, .files = 1});
    if (!line) {
        return kExitUsage;
    }
    if (line->apply && line->output.empty()) {
        return Fail(ctx, "--apply needs -o OUT (" + Usage("settings") + ")", kExitUsage);
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    MemoryImage& image = document.image();
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    std::optional<std::string> settings;
    if (line->apply && !(settings = ReadSettingsFile(ctx, *line->apply))) {
        return kExitFailure;
    }

    // The Call ID lives in memory only, "100" for the run, as in the desktop program.
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    if (line->output.empty()) {
        ctx.out << PrintSettings(forms);
        ctx.out.flush();
        return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
    }
    if (settings) {
        if (const auto error = ApplySettingsText(*settings, forms)) {
            return Fail(ctx,
                        *line->apply + " line " + std::to_string(error->line) + ": " +
                            error->message + "; nothing was written",
                        kExitUsage);
        }
    }
    forms.StoreToImage(image);
    return SaveDocument(ctx, document, line->output);
}

}  // namespace kestra::cli
