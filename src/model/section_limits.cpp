// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/section_limits.hpp"

namespace kestra {

int SectionLimits::SectionOf(Frequency f) const {
    for (int s = 0; s < 2; ++s) {
        if (lower[s] <= f && f <= upper[s]) {
            return s;
        }
    }
    return -1;
}

bool SectionLimits::SameSection(Frequency f1, Frequency f2) const {
    return SectionOf(f1) == SectionOf(f2);
}

int SectionLimits::FirstSetSection() const {
    for (int s = 0; s < 2; ++s) {
        if (!LimitIsUnset(lower[s]) && !LimitIsUnset(upper[s])) {
            return s;
        }
    }
    return -1;
}

}  // namespace kestra
