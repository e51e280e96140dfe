// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-virtual-radio: a radio on a pseudo-terminal, for trying the programs without a radio and
// for the end-to-end tests and benchmarks.
//
//   kestra-virtual-radio [options]
//
// Prints the device path of the radio's line as its first line on stdout, then serves until
// SIGINT or SIGTERM. Point kestra-cli or the desktop program at that path (or at --link PATH).

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "link/virtual_radio.hpp"
#include "model/document_file.hpp"
#include "model/program_version.hpp"
#include "pty_radio_server.hpp"

namespace {

volatile std::sig_atomic_t gStop = 0;

extern "C" void OnStopSignal(int) {
    gStop = 1;
}

constexpr std::string_view kUsage =
    "usage: kestra-virtual-radio [options]\n"
    "  --link PATH            also make PATH a symbolic link to the radio's device\n"
    "  --memory FILE          load the radio's memory from a 16384-byte .dat file\n"
    "  --save FILE            save the memory to FILE after every completed write\n"
    "  --baud B               line speed for pacing (default 9600, 0 = no pacing)\n"
    "  --limits A_LO,A_HI,B_LO,B_HI  band limits in whole MHz, 0-999 (default 136,174,400,520)\n"
    "  --model TEXT           model text of the identification reply (up to 8 characters)\n"
    "  --firmware X.Y.Z       firmware version of the identification reply\n"
    "  --k472                 set the model variant flag (byte 15 = 1)\n"
    "  --silent               never answer\n"
    "  --wake-from N          answer the wake-up only from attempt N on\n"
    "  --no-ack-after N       withhold the acknowledge of block N (0 = the handshake)\n"
    "  --short-block N        send only half of read block N\n"
    "  --short-ident N        send only N bytes of the identification reply (0 = none)\n"
    "  --disconnect-after N   stop answering after block N until the line is reopened\n"
    "  --wrong-byte ADDR      store every write of image address ADDR inverted (hex with 0x)\n"
    "  --verbose              print every frame the radio recognises on stderr\n"
    "  --version              print the version and the licence\n";

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "1,2,3" or "1.2.3" into numbers; nothing when a part is not a number in 0..max.
std::optional<std::vector<int>> ParseList(std::string_view text, char separator, int max) {
    std::vector<int> values;
    while (true) {
        const std::size_t cut = text.find(separator);
        const auto value = ParseInt(text.substr(0, cut));
        if (!value || *value < 0 || *value > max) {
            return std::nullopt;
        }
        values.push_back(*value);
        if (cut == std::string_view::npos) {
            return values;
        }
        text.remove_prefix(cut + 1);
    }
}

struct Options {
    std::string link;
    std::string memory;
    std::string save;
    bool verbose = false;
};

// What is wrong with an option's value, or nothing when it was taken.
using Problem = std::optional<std::string>;

// One command-line option and what it sets, given its value ("" for the options without one).
struct OptionRule {
    std::string_view name;
    bool takesValue;
    Problem (*apply)(kestra::VirtualRadio&, Options&, std::string_view);
};

// A fault knob that takes a count: a block number, an attempt number or a line speed.
template <auto field>
Problem Count(kestra::VirtualRadio& radio, Options&, std::string_view text) {
    const auto n = ParseInt(text);
    if (!n || *n < 0) {
        return "needs a number of 0 or more";
    }
    radio.faults().*field = *n;
    return std::nullopt;
}

// An option that names a file or a text.
template <std::string Options::*field>
Problem Text(kestra::VirtualRadio&, Options& options, std::string_view text) {
    options.*field = text;
    return std::nullopt;
}

constexpr std::array kOptionRules{
    OptionRule{"--silent", false,
               [](kestra::VirtualRadio& radio, Options&, std::string_view) -> Problem {
                   radio.faults().silent = true;
                   return std::nullopt;
               }},
    OptionRule{"--k472", false,
               [](kestra::VirtualRadio& radio, Options&, std::string_view) -> Problem {
                   radio.SetVariantByte(1);
                   return std::nullopt;
               }},
    OptionRule{"--verbose", false,
               [](kestra::VirtualRadio&, Options& options, std::string_view) -> Problem {
                   options.verbose = true;
                   return std::nullopt;
               }},
    OptionRule{"--link", true, &Text<&Options::link>},
    OptionRule{"--memory", true, &Text<&Options::memory>},
    OptionRule{"--save", true, &Text<&Options::save>},
    OptionRule{"--model", true,
               [](kestra::VirtualRadio& radio, Options&, std::string_view text) -> Problem {
                   radio.SetModelText(text.substr(0, 8));
                   return std::nullopt;
               }},
    OptionRule{"--firmware", true,
               [](kestra::VirtualRadio& radio, Options&, std::string_view text) -> Problem {
                   const auto parts = ParseList(text, '.', 254);
                   if (!parts || parts->size() > 7) {
                       return "needs up to seven numbers 0-254 like 1.2.3";
                   }
                   const std::vector<std::uint8_t> bytes(parts->begin(), parts->end());
                   radio.SetFirmware(bytes);
                   return std::nullopt;
               }},
    OptionRule{"--limits", true,
               [](kestra::VirtualRadio& radio, Options&, std::string_view text) -> Problem {
                   // Eight BCD digits of 10 Hz hold at most 999.99999 MHz.
                   const auto mhz = ParseList(text, ',', 999);
                   if (!mhz || mhz->size() != 4) {
                       return "needs four numbers 0-999 in MHz like 136,174,400,520";
                   }
                   radio.SetBandLimitsMhz((*mhz)[0], (*mhz)[1], (*mhz)[2], (*mhz)[3]);
                   return std::nullopt;
               }},
    OptionRule{"--baud", true, &Count<&kestra::VirtualRadioFaults::baud>},
    OptionRule{"--wake-from", true, &Count<&kestra::VirtualRadioFaults::answerWakeUpFromAttempt>},
    OptionRule{"--no-ack-after", true, &Count<&kestra::VirtualRadioFaults::withholdAckAfterBlock>},
    OptionRule{"--short-block", true, &Count<&kestra::VirtualRadioFaults::shortBlock>},
    OptionRule{"--short-ident", true, &Count<&kestra::VirtualRadioFaults::shortIdent>},
    OptionRule{"--disconnect-after", true,
               &Count<&kestra::VirtualRadioFaults::disconnectAfterBlock>},
    OptionRule{"--wrong-byte", true,
               [](kestra::VirtualRadio& radio, Options&, std::string_view text) -> Problem {
                   const bool hex = text.starts_with("0x") || text.starts_with("0X");
                   int address = -1;
                   const std::string_view digits = hex ? text.substr(2) : text;
                   const auto [end, ec] = std::from_chars(
                       digits.data(), digits.data() + digits.size(), address, hex ? 16 : 10);
                   if (ec != std::errc() || end != digits.data() + digits.size() || address < 0 ||
                       address >= static_cast<int>(kestra::kImageSize)) {
                       return "needs an image address below 16384, decimal or hexadecimal with 0x";
                   }
                   radio.faults().wrongByteAt = address;
                   return std::nullopt;
               }},
};

// --help and --version: the text on stdout; 1 when it could not be written.
int Print(std::string_view text) {
    if (!(std::cout << text << std::flush)) {
        std::cerr << "kestra-virtual-radio: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

int Usage(const std::string& problem) {
    std::cerr << "kestra-virtual-radio: " << problem << " (try --help)\n";
    return 2;
}

// Applies the command line to radio and options; an exit code when the program should stop.
std::optional<int> ParseArguments(std::span<char*> argv, kestra::VirtualRadio& radio,
                                  Options& options) {
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            return Print(kUsage);
        }
        if (arg == "--version") {
            return Print(kestra::VersionText("kestra-virtual-radio"));
        }
        const auto rule = std::find_if(kOptionRules.begin(), kOptionRules.end(),
                                       [arg](const OptionRule& r) { return r.name == arg; });
        if (rule == kOptionRules.end()) {
            return Usage("unknown option " + std::string(arg));
        }
        std::string_view value;
        if (rule->takesValue) {
            if (i + 1 >= argv.size() || *argv[i + 1] == '\0') {
                return Usage(std::string(arg) + " needs a value");
            }
            value = argv[++i];
        }
        if (const Problem problem = rule->apply(radio, options, value)) {
            return Usage(std::string(arg) + " " + *problem);
        }
    }
    return std::nullopt;
}

// Checks --save and loads --memory; an exit code when the program cannot go on.
std::optional<int> PrepareFiles(kestra::VirtualRadio& radio, const Options& options) {
    using namespace kestra;
    // A --save that can never succeed would only show after the first write.
    if (!options.save.empty()) {
        if (const FileResult target = CheckDocumentTarget(options.save); !target) {
            std::cerr << "kestra-virtual-radio: --save: " << target.error << '\n';
            return 2;
        }
    }
    if (!options.memory.empty()) {
        if (const FileResult loaded = LoadDocumentFile(options.memory, radio.memory()); !loaded) {
            std::cerr << "kestra-virtual-radio: " << loaded.error << '\n';
            return 1;
        }
    }
    return std::nullopt;
}

// --link: a symbolic link to the radio's device; false after saying why it failed.
bool MakeLink(const std::string& path, const std::string& device) {
    std::error_code ec;
    const std::filesystem::path link(path);
    // Replace a stale link of an earlier run, never a real file.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(link, ec))) {
        std::filesystem::remove(link, ec);
    }
    std::filesystem::create_symlink(device, link, ec);
    if (ec) {
        std::cerr << "kestra-virtual-radio: cannot create " << path << ": " << ec.message() << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kestra;
    VirtualRadio radio;
    radio.faults().baud = 9600;
    Options options;
    if (const auto exitCode =
            ParseArguments(std::span<char*>(argv + 1, argv + argc), radio, options)) {
        return *exitCode;
    }

    if (const auto exitCode = PrepareFiles(radio, options)) {
        return *exitCode;
    }

    PtyRadioServer server(radio);
    if (!server.Open()) {
        std::cerr << "kestra-virtual-radio: " << server.error() << '\n';
        return 1;
    }
    if (!options.link.empty() && !MakeLink(options.link, server.slavePath())) {
        return 1;
    }
    if (!options.save.empty()) {
        server.OnWriteSession([&radio, &options] {
            if (const FileResult saved = SaveDocumentFile(options.save, radio.memory()); !saved) {
                std::cerr << "kestra-virtual-radio: " << saved.error << '\n';
            }
        });
    }
    if (options.verbose) {
        server.OnFrame([](const std::string& frame) { std::cerr << frame << '\n'; });
    }

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::cout << server.slavePath() << std::endl;  // the first line, flushed: callers wait on it

    const bool served = server.Serve(gStop);
    if (!options.link.empty()) {
        std::error_code ec;
        if (std::filesystem::read_symlink(options.link, ec) == server.slavePath()) {
            std::filesystem::remove(options.link, ec);
        }
    }
    if (!served) {
        std::cerr << "kestra-virtual-radio: " << server.error() << '\n';
        return 1;
    }
    return 0;
}
