// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every Kestra program says about itself: its version and its licence, for `--version` of
// the three programs and the About box of the desktop program.

#include <string>
#include <string_view>

namespace kestra {

// The version of this build, e.g. "0.1.0".
std::string_view ProgramVersion();

// The copyright line, "Copyright (C) 2026 Kestra developers".
std::string_view CopyrightLine();

// The licence notice, three lines without a final line break: the licence
// (GPL-3.0-or-later), the freedom to change and redistribute, and the absence of warranty.
std::string_view LicenceNotice();

// The `--version` output of program ("kestra-cli"): its name and version, the copyright and
// the licence notice, each line ending in a line break.
std::string VersionText(std::string_view program);

}  // namespace kestra
