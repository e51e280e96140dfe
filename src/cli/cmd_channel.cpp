// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli channel FILE CH [-o OUT "Caption=value"...]: one channel as the Channel Edit
// dialog shows it, and edited as a user of the dialog would edit it. Without -o it prints one
// "Caption: value" line per control of the dialog opened on CH. With -o it types each value
// into its control and leaves the control (so a frequency is pulled into a section and onto
// the raster, a tone is normalised), closes the dialog (which saves the channel), writes OUT as
// Save As does and prints the controls as they were at closing. A value a control refuses is
// reported and nothing is written (exit status 2).

#include <algorithm>
#include <string>
#include <vector>

#include "channels/channel_document.hpp"
#include "channels/channel_edit.hpp"
#include "channels/channel_edit_text.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"
#include "model/ascii.hpp"
#include "model/codecs.hpp"
#include "model/text_numbers.hpp"

namespace kestra::cli {

namespace {

struct ChannelArguments {
    std::vector<std::string> positional;  // FILE, CH, then the assignments
    std::string output;
};

// FILE CH, an optional -o OUT and the assignments, in any order; "--" ends the options.
std::optional<ChannelArguments> ReadChannelArguments(std::span<const std::string> args,
                                                     std::string& problem) {
    ChannelArguments read;
    bool outputGiven = false;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg.size() < 2 || arg.front() != '-') {
            read.positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "-o") {
            if (outputGiven) {
                problem = "-o given twice";
                return std::nullopt;
            }
            static constexpr std::string_view kOptions[] = {"-o"};
            if (i + 1 >= args.size() || !IsOptionValue(args[i + 1], kOptions)) {
                problem = NeedsValue("-o", args, i + 1);
                return std::nullopt;
            }
            read.output = args[++i];
            outputGiven = true;
        } else {
            problem = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (read.positional.size() < 2) {
        problem = read.positional.empty() ? "FILE and CH missing" : "CH missing";
        return std::nullopt;
    }
    if (read.positional.size() > 2 && !outputGiven) {
        problem = "field values need -o OUT";
        return std::nullopt;
    }
    return read;
}

// The channel number of a CH argument: a label A1-A128 or B1-B128 (either letter case, leading
// zeros allowed, at most the "CH" box's 4 characters), a number 1-258 as the box counts, or a
// VFO name; 0 for anything else. The dialog's box takes "A200" as channel 200 (B072); a script
// that names a label no channel has is told so instead.
int ChannelNumberOfArgument(std::string_view text) {
    if (EqualsIgnoringAsciiCase(text, "A VFO") || EqualsIgnoringAsciiCase(text, "B VFO")) {
        return ParseChannelText(text);
    }
    if (text.empty() || text.size() > static_cast<std::size_t>(kChannelTextLength)) {
        return 0;
    }
    const char section = ToUpperAscii(text.front());
    const bool labelled = section == 'A' || section == 'B';
    const std::string_view digits = labelled ? text.substr(1) : text;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsAsciiDigit)) {
        return 0;
    }
    const int number = LeadingInt(digits);
    if (labelled) {
        return number >= 1 && number <= 128 ? number + (section == 'B' ? 128 : 0) : 0;
    }
    return number >= 1 && number <= kChannelSlotCount ? number : 0;
}

}  // namespace

int RunChannel(const Context& ctx) {
    std::string problem;
    const auto args = ReadChannelArguments(ctx.args, problem);
    if (!args) {
        return Fail(ctx, problem + " (" + Usage("channel") + ")", kExitUsage);
    }
    const std::string& channel = args->positional[1];
    const int number = ChannelNumberOfArgument(channel);
    if (number == 0) {
        return Fail(ctx,
                    "no channel '" + channel +
                        "': CH is A001-A128, B001-B128 (A5, b12 ...), 1-258, A VFO or B VFO",
                    kExitUsage);
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, args->positional[0], document)) {
        return kExitFailure;
    }
    // As the "Channel Edit" button: the grid goes into the records before the dialog opens.
    document.StoreGridToImage();
    ChannelEditor editor(document.image(), document.limits(), number);
    for (std::size_t i = 2; i < args->positional.size(); ++i) {
        if (const auto refused = TypeIntoChannelEditor(editor, args->positional[i])) {
            return Fail(ctx, *refused + "; nothing was written", kExitUsage);
        }
    }
    if (!args->output.empty()) {
        editor.SaveChannel();
        document.FillGridFromImage();
        if (const int saved = SaveDocument(ctx, document, args->output); saved != kExitOk) {
            return saved;
        }
    }
    ctx.out << PrintChannelEdit(editor.fields());
    ctx.out.flush();
    return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
}

}  // namespace kestra::cli
