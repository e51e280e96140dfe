// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names the program is known by to Qt's settings store: the recent-file list lives under
// this organization and application, as the radio's original software kept it.

namespace kestra {

inline constexpr char kOrganizationName[] = "Local AppWizard-Generated Applications";
inline constexpr char kApplicationName[] = "Kestra";

}  // namespace kestra
