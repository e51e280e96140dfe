// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/clone_range.hpp"

namespace kestra {

int CloneRange::BlockCount() const {
    int count = 0;
    for (std::uint32_t a = start; a < end; a += BlockLengthAt(a, end)) {
        ++count;
    }
    return count;
}

}  // namespace kestra
