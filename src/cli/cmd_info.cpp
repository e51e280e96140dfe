// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli info [--port P]: asks the radio to identify itself, as Radio Information does, and
// prints what that dialog shows: model, MCU version, PC version and the A and B section limits
// in whole MHz ("136 --- 174"). Nothing is read from or written to the radio's memory.

#include <sstream>
#include <string>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "link/clock.hpp"
#include "link/ident_reply.hpp"
#include "link/service_transfer.hpp"

namespace kestra::cli {

int RunInfo(const Context& ctx) {
    const auto options = ParseCommand(ctx, "info", {.port = true});
    if (!options) {
        return kExitUsage;
    }

    AppState state;
    const std::string port = ChoosePort(ctx, options->port, state);
    CliLink link(state);
    SteadyClock clock;
    TerminalMessenger messenger(ctx.err, port);
    ServiceTransfer transfer(link.link(), clock, messenger);
    const auto reply = transfer.Identify(link.device());
    if (!reply) {
        return kExitFailure;  // the transfer printed its message
    }

    const RadioInformation info = DecodeIdentReply(*reply);
    std::ostringstream text;
    text << "Model: " << info.model << '\n';
    text << "MCU version: " << info.mcuVersion.value_or("") << '\n';
    text << "PC Version: " << info.pcVersion.value_or("") << '\n';
    text << "A Section: " << info.aLowerMhz << " --- " << info.aUpperMhz << '\n';
    text << "B Section: " << info.bLowerMhz << " --- " << info.bUpperMhz << '\n';
    ctx.out << text.str() << std::flush;
    return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
}

}  // namespace kestra::cli
