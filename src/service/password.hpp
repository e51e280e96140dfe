// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The password gate of service mode: the one fixed service password, compared with letters in
// either case and every other character exactly.

#include <string_view>

namespace kestra {

inline constexpr std::string_view kServicePassword = "QVM427";
// The password box takes at most this many characters.
inline constexpr int kPasswordMaxLength = 8;

bool IsServicePassword(std::string_view text);

}  // namespace kestra
