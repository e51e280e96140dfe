// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fleet tests share: a set of in-process virtual radios, each behind its own link on a
// simulated clock of its own (the radios' workers run at once on real threads) or, when paced,
// on real time at the radio's line speed; and an observer that records every report and can
// hold every radio at a block until all have reached it.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fleet/fleet_run.hpp"
#include "link/clock.hpp"
#include "link/simulated_clock.hpp"
#include "link/virtual_radio.hpp"
#include "link/virtual_radio_link.hpp"

namespace kestra::test {

class FleetRadios {
public:
    explicit FleetRadios(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            radios_.push_back(std::make_unique<VirtualRadio>());
        }
    }
    VirtualRadio& radio(std::size_t i) { return *radios_[i]; }
    // The device name of radio i ("radio-1" for the first).
    static std::string Device(std::size_t i) { return "radio-" + std::to_string(i + 1); }

    LineProvider Lines() {
        return
            [this](const std::string& device, const std::function<void(SerialLink&, Clock&)>& use) {
                for (std::size_t i = 0; i < radios_.size(); ++i) {
                    if (device == Device(i) && realTime) {
                        SteadyClock clock;
                        VirtualRadioLink link(*radios_[i]);
                        use(link, clock);
                        return;
                    }
                    if (device == Device(i)) {
                        SimulatedClock clock;
                        VirtualRadioLink link(*radios_[i], clock);
                        use(link, clock);
                        return;
                    }
                }
                // No radio on that device: a port that is not there.
                VirtualRadio absent;
                absent.faults().absent = true;
                SimulatedClock clock;
                VirtualRadioLink link(absent, clock);
                use(link, clock);
            };
    }

    // One radio per device, in order, each getting image.
    std::vector<FleetRadio> Radios(const MemoryImage& image) const {
        std::vector<FleetRadio> radios;
        for (std::size_t i = 0; i < radios_.size(); ++i) {
            radios.push_back({"port " + std::to_string(i + 1), Device(i), image, {}, {}});
        }
        return radios;
    }

    // Real time instead of simulated time (set each radio's faults().baud to pace it).
    bool realTime = false;

private:
    std::vector<std::unique_ptr<VirtualRadio>> radios_;
};

class RecordingFleetObserver : public FleetObserver {
public:
    void RadioProgress(std::size_t radio, int position, int total) override {
        std::unique_lock lock(mutex_);
        lastPosition[radio] = position;
        totals[radio] = total;
        if (holdAt > 0 && position == holdAt) {
            // Every radio waits here until all have reached the block; the last one runs the
            // hook (with every radio between two blocks).
            if (++held_ == expected) {
                if (whenAllHeld) {
                    whenAllHeld();
                }
                released_.notify_all();
            } else {
                released_.wait(lock, [this] { return held_ == expected; });
            }
        }
    }
    void RadioFinished(std::size_t radio, const RadioOutcome& outcome) override {
        const std::lock_guard lock(mutex_);
        finished.push_back(radio);
        results[radio] = outcome.result;
    }

    std::map<std::size_t, int> lastPosition;
    std::map<std::size_t, int> totals;
    std::map<std::size_t, RadioResult> results;
    std::vector<std::size_t> finished;
    int holdAt = 0;  // the block every radio waits at, 0 for none
    std::size_t expected = 0;
    std::function<void()> whenAllHeld;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    std::size_t held_ = 0;
};

}  // namespace kestra::test
