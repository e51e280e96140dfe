// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names the program is known by to Qt's settings store: the recent-file list lives under
// this organization and application, as the radio's original software kept it. Also where to
// report problems (its version and licence are model/program_version.hpp's).

namespace kestra {

inline constexpr char kOrganizationName[] = "Local AppWizard-Generated Applications";
inline constexpr char kApplicationName[] = "Kestra";

// Where the About box sends a user with a problem when Program.ini has no [About] lines.
inline constexpr char kReportProblemsAt[] = "https://github.com/kestra-radio/kestra/issues";

}  // namespace kestra
