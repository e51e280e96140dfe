// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several radios at once, one cable each. Every radio gets exactly what a single transfer gives
// it: a write identifies the radio and checks the image against its bands, keeps the image about
// to be sent as a backup once the radio has answered, sends it, reads it back when asked to
// verify, and says when a failure may have left a partly written memory; a read keeps its
// backup and, when the radio has a file, saves it there atomically. Each radio runs a
// CloneSession of its own on a worker thread of its own with its own serial line, so a failure
// or a slow radio never holds up the others; one cancel flag stops them all before their next
// block. Nothing here touches the program's shared state: the caller gets one outcome per radio.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "channels/backup_store.hpp"
#include "link/block_mover.hpp"
#include "link/clock.hpp"
#include "link/ident_reply.hpp"
#include "link/serial_link.hpp"
#include "model/memory_image.hpp"

namespace kestra {

enum class FleetAction { Write, Read };

// One radio of a run: where it is and what it gets.
struct FleetRadio {
    std::string port;    // as the user named it: "COM3", "/dev/pts/4", "demo"
    std::string device;  // the device the port opens
    // A write sends it; a read lands the radio's blocks on a copy of it.
    MemoryImage image;
    std::optional<std::string> ownId;  // when the run numbers the radios' Own IDs
    std::filesystem::path output;      // a read's document file; empty for none
};

struct FleetRequest {
    FleetAction action = FleetAction::Write;
    bool verify = false;       // a write reads the written ranges back and compares them
    bool serviceMode = false;  // skips the plausibility test, as in a single transfer
    std::vector<FleetRadio> radios;
    std::filesystem::path backupFolder;  // BackupDirectory() in the programs
};

enum class RadioResult { Failed, Written, Verified, Read };

// What happened to one radio.
struct RadioOutcome {
    std::string port;
    std::string device;
    std::optional<std::string> ownId;
    std::optional<IdentReply> ident;  // once the radio answered
    RadioResult result = RadioResult::Failed;
    double seconds = 0;
    std::string error;  // the failure message, every line of it
    // A write's first block went out: a failure after it may leave a partly written radio.
    bool sendingStarted = false;
    // The backup kept of what was written or read, once there was one to keep.
    std::optional<BackupResult> backup;
    std::filesystem::path output;  // a read's saved file
    MemoryImage image;             // what a read brought back

    bool ok() const { return result != RadioResult::Failed; }
};

// Hears of every radio while the run goes on. Called on the radio's own worker thread, so
// several calls can come at once: an observer takes care of its own locking or marshalling.
class FleetObserver {
public:
    virtual ~FleetObserver() = default;
    // After every block: position of total (a verified write counts its read-back too).
    virtual void RadioProgress(std::size_t radio, int position, int total) = 0;
    // The radio is done; outcome is final.
    virtual void RadioFinished(std::size_t radio, const RadioOutcome& outcome) = 0;
};

// Gives a radio's worker its serial line and clock: creates them on the calling thread (each
// worker's own), calls use with them, and lets them go when use returns.
using LineProvider = std::function<void(const std::string& device,
                                        const std::function<void(SerialLink&, Clock&)>& use)>;

// Runs every job at once, each on a thread of its own, and returns when all have ended.
using ParallelRunner = std::function<void(std::vector<std::function<void()>>& jobs)>;
// The standard library's threads; the programs pass threads their serial ports can live on.
void RunOnStdThreads(std::vector<std::function<void()>>& jobs);

// Runs every radio of the request at once; one outcome per radio, in the request's order.
std::vector<RadioOutcome> RunFleet(const FleetRequest& request, const LineProvider& lines,
                                   FleetObserver& observer, const CancelFlag* cancel = nullptr,
                                   const ParallelRunner& parallel = RunOnStdThreads);

}  // namespace kestra
