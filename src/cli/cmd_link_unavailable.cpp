// SPDX-License-Identifier: GPL-3.0-or-later
// The radio commands in a build without the serial port layer (the Qt-free core-only build):
// they exist so the command list stays the same, and say why they cannot run.

#include "cli/commands.hpp"

namespace kestra::cli {

namespace {

int Unavailable(const Context& ctx) {
    return Fail(ctx, "this kestra-cli was built without serial port support");
}

}  // namespace

int RunPorts(const Context& ctx) {
    return Unavailable(ctx);
}
int RunInfo(const Context& ctx) {
    return Unavailable(ctx);
}
int RunRead(const Context& ctx) {
    return Unavailable(ctx);
}
int RunWrite(const Context& ctx) {
    return Unavailable(ctx);
}
int RunDoctor(const Context& ctx) {
    return Unavailable(ctx);
}
int RunService(const Context& ctx) {
    return Unavailable(ctx);
}

}  // namespace kestra::cli
