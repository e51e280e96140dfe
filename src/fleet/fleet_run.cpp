// SPDX-License-Identifier: GPL-3.0-or-later
#include "fleet/fleet_run.hpp"

#include <chrono>
#include <mutex>
#include <thread>

#include "link/clone_session.hpp"
#include "link/wire_protocol.hpp"
#include "model/document_file.hpp"

namespace kestra {

namespace {

// Radios that answer at the same moment keep their backups one at a time, so each gets a running
// number of its own instead of two writing the same file.
BackupResult KeepRadioBackup(const std::filesystem::path& folder, const MemoryImage& image,
                             BackupKind kind) {
    static std::mutex one;
    const std::lock_guard lock(one);
    return KeepBackup(folder, image, kind, std::chrono::system_clock::now());
}

// One radio's session reports: progress goes on to the fleet's observer, the failure message
// becomes the outcome's error, and the write's backup is kept when the radio has answered.
class RadioSessionObserver final : public TransferObserver {
public:
    RadioSessionObserver(const FleetRequest& request, std::size_t index, RadioOutcome& outcome,
                         FleetObserver& fleet)
        : request_(request), index_(index), outcome_(outcome), fleet_(fleet) {}

    void SetProgress(int position, int total, const std::string&) override {
        fleet_.RadioProgress(index_, position, total);
    }
    void ShowMessage(const std::string& text) override { outcome_.error = text; }
    void RequestClose() override {}
    void AboutToSend() override {
        outcome_.backup = KeepRadioBackup(request_.backupFolder, request_.radios[index_].image,
                                          BackupKind::Write);
    }

private:
    const FleetRequest& request_;
    std::size_t index_;
    RadioOutcome& outcome_;
    FleetObserver& fleet_;
};

// After a read that went through: the backup, then the radio's own file.
void KeepRead(const FleetRequest& request, const FleetRadio& radio, RadioOutcome& outcome) {
    outcome.backup = KeepRadioBackup(request.backupFolder, outcome.image, BackupKind::Read);
    if (!radio.output.empty()) {
        if (const FileResult saved = SaveDocumentFile(radio.output, outcome.image); !saved) {
            outcome.result = RadioResult::Failed;
            outcome.error = saved.error;
        }
    }
}

void RunRadio(const FleetRequest& request, std::size_t index, SerialLink& link, Clock& clock,
              FleetObserver& fleet, const CancelFlag* cancel, RadioOutcome& outcome) {
    const FleetRadio& radio = request.radios[index];
    const bool writing = request.action == FleetAction::Write;
    ClonePlan plan = writing ? ClonePlan::Write() : ClonePlan::Read();
    plan.verify = writing && request.verify;

    RadioSessionObserver observer(request, index, outcome, fleet);
    const Stopwatch watch(clock);
    CloneSession session(link, clock, observer, cancel);
    const CloneResult done = session.Run({plan, radio.device, request.serviceMode, radio.image});
    outcome.ident = done.ident;
    outcome.sendingStarted = done.sendingStarted;
    if (done.ok) {
        outcome.result = !writing      ? RadioResult::Read
                         : plan.verify ? RadioResult::Verified
                                       : RadioResult::Written;
        if (!writing) {
            outcome.image = done.image;
            KeepRead(request, radio, outcome);
        }
    } else if (outcome.error.empty()) {
        outcome.error = std::string(kCommunicationError);
    }
    outcome.seconds = static_cast<double>(watch.ElapsedMs()) / 1000.0;
}

}  // namespace

void RunOnStdThreads(std::vector<std::function<void()>>& jobs) {
    std::vector<std::thread> threads;
    threads.reserve(jobs.size());
    for (std::function<void()>& job : jobs) {
        threads.emplace_back(job);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

std::vector<RadioOutcome> RunFleet(const FleetRequest& request, const LineProvider& lines,
                                   FleetObserver& observer, const CancelFlag* cancel,
                                   const ParallelRunner& parallel) {
    std::vector<RadioOutcome> outcomes(request.radios.size());
    std::vector<std::function<void()>> jobs;
    for (std::size_t i = 0; i < request.radios.size(); ++i) {
        const FleetRadio& radio = request.radios[i];
        RadioOutcome& outcome = outcomes[i];
        outcome.port = radio.port;
        outcome.device = radio.device;
        outcome.ownId = radio.ownId;
        outcome.output = radio.output;
        outcome.error = std::string(kOpenPortFail);  // until the radio's line is given
        jobs.emplace_back([&, i] {
            lines(radio.device, [&](SerialLink& link, Clock& clock) {
                outcome.error.clear();
                RunRadio(request, i, link, clock, observer, cancel, outcome);
            });
            observer.RadioFinished(i, outcome);
        });
    }
    parallel(jobs);
    return outcomes;
}

}  // namespace kestra
