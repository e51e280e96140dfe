// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names the program is known by to Qt's settings store: the recent-file list lives under
// this organization and application, as the radio's original software kept it. Also its own
// version, licence and where to report problems.

namespace kestra {

inline constexpr char kOrganizationName[] = "Local AppWizard-Generated Applications";
inline constexpr char kApplicationName[] = "Kestra";

// What the About box says of the program itself when Program.ini has no [About] lines.
#ifdef KESTRA_VERSION
inline constexpr char kProgramVersion[] = KESTRA_VERSION;
#else
inline constexpr char kProgramVersion[] = "(development build)";
#endif
inline constexpr char kProgramLicence[] = "GPL-3.0-or-later";
inline constexpr char kReportProblemsAt[] = "https://github.com/kestra-radio/kestra/issues";

}  // namespace kestra
