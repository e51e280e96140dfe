// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's current lower and upper limit of section A and section B. They decide which
// channels are valid, are taken from the image's model-limits block when the grid is filled and
// written back to it whenever the image is prepared for a save or a write.

#include <array>

#include "model/codecs.hpp"

namespace kestra {

struct SectionLimits {
    std::array<Frequency, 2> lower{13600000, 40000000};
    std::array<Frequency, 2> upper{17400000, 52000000};

    // The first section s (A before B) with lower(s) <= f <= upper(s), else -1.
    int SectionOf(Frequency f) const;
    // s1 = SectionOf(f1); if f2 lies in a section s the result is s == s1, else s1 == -1.
    bool SameSection(Frequency f1, Frequency f2) const;
    // The first section whose two limits are both set, else -1.
    int FirstSetSection() const;

    bool operator==(const SectionLimits&) const = default;
};

}  // namespace kestra
