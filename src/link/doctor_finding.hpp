// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line of the cable doctor's report: what it found and what to do about it, with how much it
// matters. The command line prints the lines; a dialog shows them with an icon each.

#include <string>
#include <vector>

namespace kestra {

enum class FindingLevel {
    Good,     // works as it should
    Note,     // worth knowing, may explain trouble
    Problem,  // keeps the cable from working until the user acts
};

struct Finding {
    FindingLevel level = FindingLevel::Note;
    std::string text;
};

inline bool HasProblem(const std::vector<Finding>& findings) {
    for (const Finding& finding : findings) {
        if (finding.level == FindingLevel::Problem) {
            return true;
        }
    }
    return false;
}

}  // namespace kestra
