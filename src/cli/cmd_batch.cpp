// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli batch FILE -o OUT [options]: one Apply of the "Batch Gerenate CH" dialog. Each
// option sets one of the dialog's boxes, lists or choices, as typed and left (so the boxes are
// normalised as the dialog normalises them); what no option names keeps the dialog's default.
// The channels are generated, the document is written to OUT as Save As does, and one line
// says which channels were generated. A value the dialog's control would not take is reported
// on one line and nothing is written (exit status 2).

#include <algorithm>
#include <array>
#include <ctime>
#include <functional>
#include <map>
#include <string>

#include "channels/batch_form.hpp"
#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"
#include "model/ascii.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/text_numbers.hpp"

namespace kestra::cli {

namespace {

// What the options set besides the form.
struct BatchRun {
    BatchForm form;
    const SectionLimits& limits;
    std::optional<std::uint32_t> seed;
};

using Problem = std::optional<std::string>;
using Setter = std::function<Problem(BatchRun&, const std::string& value)>;

struct Option {
    bool takesValue;
    Setter set;
};

Problem Refused(const std::string& option, const std::string& what, const std::string& value) {
    return option + " takes " + what + ", not '" + value + "'";
}

Setter Box(const char* option, TypingRules rules, const char* what,
           std::function<void(BatchRun&, const std::string&)> store) {
    return [=](BatchRun& run, const std::string& value) -> Problem {
        if (value.empty() || !TypingAccepts(rules, value)) {
            return Refused(option, what, value);
        }
        store(run, value);
        return std::nullopt;
    };
}

Setter Start(const char* option, std::string BatchForm::*box) {
    return Box(option, kStartBoxTyping, "a frequency in MHz of at most 9 characters",
               [box](BatchRun& run, const std::string& v) {
                   run.form.*box = NormalizeStartText(v, run.form.*box, run.limits);
               });
}

Setter Step(const char* option, std::string BatchForm::*box) {
    return Box(option, kStepBoxTyping, "a step in kHz of at most 6 characters",
               [box](BatchRun& run, const std::string& v) {
                   run.form.*box = NormalizeStepText(LimitStepText(v));
               });
}

Setter Interval(const char* option, std::string BatchForm::*box) {
    return Box(
        option, kIntervalBoxTyping, "a number of at most 2 digits",
        [box](BatchRun& run, const std::string& v) { run.form.*box = LimitIntervalText(v); });
}

Setter Flag(bool BatchForm::*flag) {
    return [flag](BatchRun& run, const std::string&) -> Problem {
        run.form.*flag = true;
        return std::nullopt;
    };
}

// The tone list's entry for a text read as a tone box reads it ("88,5", "67", "d23n"); -1 when
// it names none.
int ToneIndex(const std::string& text) {
    const std::optional<std::string> tone = TypedToneText(text);
    const auto& tones = ToneChoiceList();
    const auto found = tone ? std::find(tones.begin(), tones.end(), *tone) : tones.end();
    return found == tones.end() ? -1 : static_cast<int>(found - tones.begin());
}

// --rx-tone TEXT|random and --tx-tone default|TEXT|random.
Setter Tone(bool tx) {
    return [tx](BatchRun& run, const std::string& value) -> Problem {
        BatchForm& f = run.form;
        const bool random = EqualsIgnoringAsciiCase(value, "random");
        if (tx && EqualsIgnoringAsciiCase(value, "default")) {
            f.txToneStart = false;
            return std::nullopt;
        }
        const int index = random ? 0 : ToneIndex(value);
        if (index < 0) {
            return Refused(tx ? "--tx-tone" : "--rx-tone",
                           std::string(tx ? "default, " : "") +
                               "random or a tone of the list (None, 67.0 ... 254.1, D023N ... "
                               "D754I, or the number of one)",
                           value);
        }
        (tx ? f.txRandom : f.rxRandom) = random;
        if (!random) {
            (tx ? f.txTone : f.rxTone) = index;
        }
        f.txToneStart = f.txToneStart || tx;
        return std::nullopt;
    };
}

Setter List(const char* option, std::size_t field) {
    return [option, field](BatchRun& run, const std::string& value) -> Problem {
        const ListField& list = kChannelListFields[field];
        std::string choices;
        for (std::size_t i = 0; i < list.texts.size(); ++i) {
            if (EqualsIgnoringAsciiCase(list.texts[i], value)) {
                run.form.lists[field] = static_cast<int>(i);
                return std::nullopt;
            }
            choices += (i == 0 ? "" : "|") + std::string(list.texts[i]);
        }
        return Refused(option, choices, value);
    };
}

Problem SetRange(BatchRun& run, const std::string& value) {
    const std::map<std::string, BatchRange> named{
        {"all", BatchRange::All}, {"a", BatchRange::ASection}, {"b", BatchRange::BSection}};
    const std::string lower = [&value] {
        std::string text = value;
        for (char& c : text) {
            c = ToLowerAscii(c);
        }
        return text;
    }();
    if (const auto it = named.find(lower); it != named.end()) {
        ChooseRange(run.form, it->second);
        return std::nullopt;
    }
    const std::size_t dash = value.find('-');
    const std::string from = value.substr(0, dash);
    const std::string to = dash == std::string::npos ? std::string() : value.substr(dash + 1);
    if (from.empty() || to.empty() || !TypingAccepts(kRangeBoxTyping, from) ||
        !TypingAccepts(kRangeBoxTyping, to)) {
        return Refused("--range", "all, a, b or FROM-TO (channel numbers 1-256)", value);
    }
    // The dialog's boxes turn 0, 257 or a FROM above TO into some other range; a script gets
    // told instead, since a wrong range rewrites channels nobody meant to touch.
    const int first = LeadingInt(from);
    const int last = LeadingInt(to);
    if (first < 1 || last > 256 || first > last) {
        return Refused("--range", "FROM-TO with 1 <= FROM <= TO <= 256", value);
    }
    ChooseRange(run.form, BatchRange::From);
    run.form.from = NormalizeFromText(from, to);
    run.form.to = NormalizeToText(to, run.form.from);
    return std::nullopt;
}

Problem SetTxMode(BatchRun& run, const std::string& value) {
    const std::array<std::pair<const char*, TxFrequencyMode>, 3> modes{
        {{"default", TxFrequencyMode::Default},
         {"offset", TxFrequencyMode::Offset},
         {"start", TxFrequencyMode::Start}}};
    for (const auto& [name, mode] : modes) {
        if (EqualsIgnoringAsciiCase(value, name)) {
            run.form.txMode = mode;
            return std::nullopt;
        }
    }
    return Refused("--tx", "default, offset or start", value);
}

Problem SetName(BatchRun& run, const std::string& value) {
    if (value.size() > kChannelNameLength ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c <= 0x7E; })) {
        return Refused("--name", "at most 7 printable ASCII characters", value);
    }
    run.form.name = value;
    return std::nullopt;
}

Problem SetSeed(BatchRun& run, const std::string& value) {
    const auto seed =
        TypingAccepts({kDigitsOnly, 10}, value) ? ScanLeadingInteger(value) : std::nullopt;
    if (!seed || *seed > 0xFFFFFFFF) {
        return Refused("--seed", "a number from 0 to 4294967295", value);
    }
    run.seed = static_cast<std::uint32_t>(*seed);
    return std::nullopt;
}

const std::map<std::string, Option>& Options() {
    static const std::map<std::string, Option> options{
        {"--range", {true, SetRange}},
        {"--rx-start", {true, Start("--rx-start", &BatchForm::rxStart)}},
        {"--rx-step", {true, Step("--rx-step", &BatchForm::rxStep)}},
        {"--rx-desc", {false, Flag(&BatchForm::rxDescending)}},
        {"--tx", {true, SetTxMode}},
        {"--offset",
         {true, Box("--offset", kOffsetBoxTyping, "an offset in MHz of at most 8 characters",
                    [](BatchRun& run, const std::string& v) { run.form.offset = v; })}},
        {"--minus", {false, Flag(&BatchForm::minus)}},
        {"--tx-start", {true, Start("--tx-start", &BatchForm::txStart)}},
        {"--tx-step", {true, Step("--tx-step", &BatchForm::txStep)}},
        {"--tx-desc", {false, Flag(&BatchForm::txDescending)}},
        {"--rx-tone", {true, Tone(false)}},
        {"--rx-interval", {true, Interval("--rx-interval", &BatchForm::rxInterval)}},
        {"--rx-tone-desc", {false, Flag(&BatchForm::rxToneDescending)}},
        {"--tx-tone", {true, Tone(true)}},
        {"--tx-interval", {true, Interval("--tx-interval", &BatchForm::txInterval)}},
        {"--tx-tone-desc", {false, Flag(&BatchForm::txToneDescending)}},
        {"--power", {true, List("--power", 0)}},
        {"--wn", {true, List("--wn", 1)}},
        {"--bcl", {true, List("--bcl", 2)}},
        {"--vox", {true, List("--vox", 3)}},
        {"--voice", {true, List("--voice", 4)}},
        {"--scan", {true, List("--scan", 5)}},
        {"--signal", {true, List("--signal", 6)}},
        {"--ptt-id", {true, List("--ptt-id", 7)}},
        {"--relay", {true, List("--relay", 8)}},
        {"--name", {true, SetName}},
        {"--by-number", {false, Flag(&BatchForm::byNumber)}},
        {"--seed", {true, SetSeed}},
    };
    return options;
}

struct BatchArguments {
    std::string file;
    std::string output;
    // Options in the order given, with their values.
    std::vector<std::pair<std::string, std::string>> options;
};

// "-o" and every option's name, for telling a value that starts with "-" from the next option.
std::span<const std::string_view> OptionNameList() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> list{"-o"};
        for (const auto& [name, option] : Options()) {
            list.push_back(name);
        }
        return list;
    }();
    return names;
}

std::string OptionNames() {
    std::string names;
    for (const auto& [name, option] : Options()) {
        names += (names.empty() ? "" : " ") + name;
    }
    return names;
}

// Reads the option at args[i] (and its value, moving i past it) into read; false with the
// reason when it does not fit.
bool ReadOption(std::span<const std::string> args, std::size_t& i, BatchArguments& read,
                std::string& problem) {
    const std::string& arg = args[i];
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    std::optional<std::string> value;
    if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
    }
    const auto option = Options().find(name);
    const bool output = name == "-o";
    if (!output && option == Options().end()) {
        problem = "unknown option " + name + " (the options are -o " + OptionNames() + ")";
        return false;
    }
    const bool takesValue = output || option->second.takesValue;
    if (!takesValue && value) {
        problem = name + " takes no value";
        return false;
    }
    if (takesValue && !value && i + 1 < args.size() &&
        IsOptionValue(args[i + 1], OptionNameList())) {
        value = args[++i];
    }
    if (takesValue && (!value || (output && value->empty()))) {
        problem = value ? name + " needs a value" : NeedsValue(name, args, i + 1);
        return false;
    }
    const bool repeated = output ? !read.output.empty()
                                 : std::any_of(read.options.begin(), read.options.end(),
                                               [&name](const auto& o) { return o.first == name; });
    if (repeated) {
        problem = name + " given twice";
        return false;
    }
    if (output) {
        read.output = *value;
    } else {
        read.options.emplace_back(name, value.value_or(std::string()));
    }
    return true;
}

// FILE, -o OUT and the options in any order ("--name=X" or "--name X"); "--" ends the options.
std::optional<BatchArguments> ReadBatchArguments(std::span<const std::string> args,
                                                 std::string& problem) {
    BatchArguments read;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg.size() < 2 || arg.front() != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnd = true;
        } else if (!ReadOption(args, i, read, problem)) {
            return std::nullopt;
        }
    }
    if (files.size() != 1) {
        problem = files.empty() ? "FILE missing" : "unexpected argument " + files[1];
        return std::nullopt;
    }
    if (read.output.empty()) {
        problem = "-o OUT missing";
        return std::nullopt;
    }
    read.file = files[0];
    return read;
}

}  // namespace

int RunBatch(const Context& ctx) {
    std::string problem;
    const auto args = ReadBatchArguments(ctx.args, problem);
    if (!args) {
        return Fail(ctx, problem + " (" + Usage("batch") + ")", kExitUsage);
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, args->file, document)) {
        return kExitFailure;
    }
    // As the "Batch Generate" button: the grid goes into the records before the dialog opens.
    document.StoreGridToImage();
    BatchRun run{DefaultBatchForm(document.limits()), document.limits(), std::nullopt};
    for (const auto& [name, value] : args->options) {
        if (const Problem refused = Options().at(name).set(run, value)) {
            return Fail(ctx, *refused + "; nothing was written", kExitUsage);
        }
    }
    const BatchPlan plan = PlanBatch(run.form, document.limits());
    const auto seed = run.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
    ApplyBatch(document.image(), document.limits(), plan, SeededRandomDraw(seed));
    document.FillGridFromImage();
    if (const int saved = SaveDocument(ctx, document, args->output); saved != kExitOk) {
        return saved;
    }
    ctx.out << ChannelLabel(plan.first) << "-" << ChannelLabel(plan.last) << ": "
            << plan.last - plan.first + 1 << " channels generated\n";
    ctx.out.flush();
    return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
}

}  // namespace kestra::cli
