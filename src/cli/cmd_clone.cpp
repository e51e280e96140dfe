// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli clone --from P1 --to P2 [--verify]: copies one radio's memory to another. Both
// radios are read at once: the source for what it holds, the target for its backup (what it held
// before, kept like every read) and for the bands it reports. Radios that report different bands
// are refused before anything is sent. Then the source's memory is written to the target exactly
// as `write` writes (backup of the image about to be sent, the partly-written warning, --verify
// reading it back). Exit 0 when the target holds the copy, 1 when a radio failed or the bands
// differ, 2 for a wrong command line (nothing sent), 130 after Ctrl+C.

#include <string>
#include <string_view>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/fleet_support.hpp"
#include "link/transfer_messages.hpp"

namespace kestra::cli {

namespace {

constexpr const char* kCommand = "clone";
constexpr std::string_view kOptions[] = {"--from", "--to"};

std::string BandsText(const IdentReply& ident) {
    const std::array<Band, 2> bands = IdentReplyBands(ident);
    return BandText(bands[0]) + " and " + BandText(bands[1]);
}

bool SameBands(const IdentReply& a, const IdentReply& b) {
    const std::array<Band, 2> first = IdentReplyBands(a);
    const std::array<Band, 2> second = IdentReplyBands(b);
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i].lower != second[i].lower || first[i].upper != second[i].upper) {
            return false;
        }
    }
    return true;
}

// Both radios read; the exit code when the copy cannot go on, nothing when it can.
std::optional<int> RefusalAfterReading(const Context& ctx, const std::vector<RadioOutcome>& read,
                                       const InterruptScope& interrupt) {
    const RadioOutcome& source = read[0];
    const RadioOutcome& target = read[1];
    if (!source.ok() || !target.ok()) {
        const RadioOutcome& failed = source.ok() ? target : source;
        Fail(ctx, failed.port + " could not be read; nothing was written to " + target.port);
        return interrupt.Failed(ctx);
    }
    if (!SameBands(*source.ident, *target.ident)) {
        return Fail(ctx, "refused: " + source.port + " reports " + BandsText(*source.ident) + ", " +
                             target.port + " reports " + BandsText(*target.ident) +
                             "; a radio's memory fits only a radio with the same bands. Nothing "
                             "was written to " +
                             target.port);
    }
    return std::nullopt;
}

}  // namespace

int RunClone(const Context& ctx) {
    const auto options = ParseCommand(ctx, kCommand, {.verify = true, .valueOptions = kOptions});
    if (!options) {
        return kExitUsage;
    }
    const auto from = options->Value("--from");
    const auto to = options->Value("--to");
    if (!from || !to) {
        return Fail(ctx,
                    std::string(!from ? "--from" : "--to") + " P missing (" + Usage(kCommand) + ")",
                    kExitUsage);
    }
    const auto ports = ChooseFleetPorts(ctx, kCommand, {*from, *to});
    if (!ports) {
        return kExitUsage;
    }

    const InterruptScope interrupt;
    FleetRequest reading;
    reading.action = FleetAction::Read;
    reading.backupFolder = BackupDirectory();
    for (const FleetPort& port : *ports) {
        reading.radios.push_back({port.name, port.device, {}, {}, {}});
    }
    const auto read = RunFleetOnTerminal(ctx, reading, interrupt);
    if (const auto refused = RefusalAfterReading(ctx, read, interrupt)) {
        return *refused;
    }

    FleetRequest writing;
    writing.action = FleetAction::Write;
    writing.verify = options->verify;
    writing.backupFolder = reading.backupFolder;
    writing.radios.push_back({(*ports)[1].name, (*ports)[1].device, read[0].image, {}, {}});
    if (!RunFleetOnTerminal(ctx, writing, interrupt).front().ok()) {
        return interrupt.Failed(ctx);
    }
    return kExitOk;
}

}  // namespace kestra::cli
