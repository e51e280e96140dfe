// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/password.hpp"

#include "model/ascii.hpp"

namespace kestra {

bool IsServicePassword(std::string_view text) {
    return EqualsIgnoringAsciiCase(text, kServicePassword);
}

}  // namespace kestra
