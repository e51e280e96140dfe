// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every radio of a fleet run as a window shows it while the run goes on: its status line
// ("Waiting", "Writing 45%", then the line said when it finished), its progress and, once done,
// its outcome. The desktop dialog keeps one and only draws it; the run's reports update it on
// the user-interface thread.

#include <cstddef>
#include <string>
#include <vector>

#include "fleet/fleet_run.hpp"

namespace kestra {

class FleetStatus {
public:
    struct Row {
        std::string port;
        std::string status;
        int position = 0;
        int total = 0;
        bool done = false;
    };

    FleetStatus() = default;
    FleetStatus(FleetAction action, const std::vector<FleetRadio>& radios);

    void Progress(std::size_t radio, int position, int total);
    void Finished(std::size_t radio, const RadioOutcome& outcome);

    std::size_t size() const { return rows_.size(); }
    const Row& row(std::size_t radio) const { return rows_[radio]; }
    bool AllDone() const;
    // The outcomes of the radios, in port order (a radio not done yet counts as failed).
    const std::vector<RadioOutcome>& outcomes() const { return outcomes_; }

private:
    FleetAction action_ = FleetAction::Write;
    std::vector<Row> rows_;
    std::vector<RadioOutcome> outcomes_;
};

}  // namespace kestra
