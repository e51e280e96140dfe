// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli calibration FILE [-o OUT [--apply CAL.ini]]: a radio's calibration as a readable,
// diffable file. Without -o it prints the values the three service editors show for FILE
// (Parameter Adjust, DTMF Initialization, Sql Adjust) in INI form. With -o it opens FILE, sets
// the values CAL.ini lists as typing them would, commits every editor as closing them does and
// saves the result to OUT as Save As does. A bad section, key or value in CAL.ini is named with
// its line; nothing is written then.

#include <fstream>
#include <iterator>
#include <string>

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"
#include "service/calibration_file.hpp"

namespace kestra::cli {

namespace {

// A calibration file is some tens of kilobytes; anything far larger is not one.
constexpr std::streamsize kMaxCalibrationFileSize = 4 << 20;

bool ReadCalibrationText(const Context& ctx, const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail(ctx, "cannot read " + path + ": no such file or no permission");
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in.rdbuf()), {});
    if (in.bad()) {
        Fail(ctx, "cannot read " + path);
        return false;
    }
    if (static_cast<std::streamsize>(text.size()) > kMaxCalibrationFileSize) {
        Fail(ctx, path + " is too large for a calibration file");
        return false;
    }
    return true;
}

}  // namespace

int RunCalibration(const Context& ctx) {
    const auto line = ParseCommand(
        ctx, "calibration", {.output = true, .outputOptional = true, .apply = true, .files = 1});
    if (!line) {
        return kExitUsage;
    }
    if (line->apply && line->output.empty()) {
        return Fail(ctx, "--apply needs -o OUT (" + Usage("calibration") + ")", kExitUsage);
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    MemoryImage& image = document.image();
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    if (line->output.empty()) {
        ctx.out << FormatCalibrationFile(image);
        ctx.out.flush();
        return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
    }

    std::string text;  // without --apply: every editor committed as it stands
    if (line->apply && !ReadCalibrationText(ctx, *line->apply, text)) {
        return kExitFailure;
    }
    if (const auto problem = ApplyCalibrationFile(text, image)) {
        return Fail(ctx,
                    (line->apply ? *line->apply : std::string()) + ": " + *problem +
                        "; nothing was written",
                    kExitUsage);
    }
    return SaveDocument(ctx, document, line->output);
}

}  // namespace kestra::cli
