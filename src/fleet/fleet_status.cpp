// SPDX-License-Identifier: GPL-3.0-or-later
#include "fleet/fleet_status.hpp"

#include <algorithm>

#include "fleet/fleet_report.hpp"

namespace kestra {

FleetStatus::FleetStatus(FleetAction action, const std::vector<FleetRadio>& radios)
    : action_(action) {
    for (const FleetRadio& radio : radios) {
        rows_.push_back({radio.port, "Waiting", 0, 0, false});
        RadioOutcome outcome;
        outcome.port = radio.port;
        outcome.device = radio.device;
        outcome.ownId = radio.ownId;
        outcomes_.push_back(std::move(outcome));
    }
}

void FleetStatus::Progress(std::size_t radio, int position, int total) {
    if (radio >= rows_.size() || rows_[radio].done) {
        return;
    }
    Row& row = rows_[radio];
    row.position = position;
    row.total = total;
    row.status = RadioProgressText(action_, position, total);
}

void FleetStatus::Finished(std::size_t radio, const RadioOutcome& outcome) {
    if (radio >= rows_.size()) {
        return;
    }
    Row& row = rows_[radio];
    row.done = true;
    row.status = RadioFinishedLine(outcome);
    if (outcome.ok() && row.total > 0) {
        row.position = row.total;
    }
    outcomes_[radio] = outcome;
}

bool FleetStatus::AllDone() const {
    return std::all_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.done; });
}

}  // namespace kestra
