// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One clone transfer of the memory image to or from the radio: wake-up, identification, the
// plausibility test, the handshake acknowledge, then the blocks of two address ranges, each
// block confirmed by "A", and the end string. A write can be verified: a second session reads
// the written ranges back and compares them with what was sent. Synchronous: the desktop program
// runs it on a worker thread, the command-line tool and the tests call it directly.
//
// A session works only on what it is given (the device, the image to send or to read onto, the
// service-mode flag) and returns what it read; it never touches the program's shared state, so
// several sessions can run at once, one per port. A read's image is in the result only when the
// whole transfer succeeded; the caller decides where it goes.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "link/block_mover.hpp"
#include "link/clock.hpp"
#include "link/clone_range.hpp"
#include "link/ident_reply.hpp"
#include "link/serial_link.hpp"
#include "link/wire_protocol.hpp"
#include "model/codecs.hpp"
#include "model/memory_image.hpp"
#include "model/messenger.hpp"

namespace kestra {

struct ClonePlan {
    TransferDirection direction = TransferDirection::Read;
    std::array<CloneRange, 2> ranges{};
    bool initialization = false;
    // After a write: wake the radio again, read the written ranges back and compare them with
    // the image; a difference fails the transfer, naming where the radio differs.
    bool verify = false;
    std::string caption;  // "Read", "Write" or "Initialization"

    static ClonePlan Read();            // channels and settings, then the summary: 352 blocks
    static ClonePlan Write();           // the same without the model limits: 351 blocks
    static ClonePlan Initialization();  // the whole image: 512 blocks
    int BlockCount() const;
    // The blocks the progress counts: twice the write's when it is read back to verify.
    int ProgressBlockCount() const;
};

// What a verify that could not read the radio back adds to its failure message.
inline constexpr std::string_view kVerifyNotDoneHint =
    "The write went through, but reading it back to verify it failed, so it is not known "
    "whether the radio holds the new data. Check the cable, then write again.";

// After a write the radio restarts; the read-back to verify waits this long before waking it.
inline constexpr int kVerifyPauseMs = 500;

// One transfer's inputs: what to do, through which device, with which image.
struct CloneRequest {
    ClonePlan plan;
    std::string device;
    // Service mode skips the plausibility test of the radio's limits and bands.
    bool serviceMode = false;
    // A write sends this image's ranges; a read lands its blocks on a copy of it, so bytes
    // outside the read ranges keep these values.
    MemoryImage image;
};

struct CloneResult {
    bool ok = false;
    // After a read that went through: the image with the radio's ranges (and, where the image's
    // own limits block was unset, the limits the radio reported). Otherwise the request's image.
    MemoryImage image;
    // The radio's identification, once it answered.
    std::optional<IdentReply> ident;
    // A write's first block went out: a failure after this may leave a partly written radio.
    bool sendingStarted = false;
    // The written ranges were read back and the radio holds what was sent.
    bool verified = false;
};

// What the transfer tells the dialog (or the CLI, or a test). The desktop program marshals these
// calls to its user-interface thread and blocks the worker until they are done.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // Progress after a block: position of total, and the percent text "%d%%".
    virtual void SetProgress(int position, int total, const std::string& percentText) = 0;
    // A message box with one "OK"; returns when the user dismissed it.
    virtual void ShowMessage(const std::string& text) = 0;
    // The same for a failure, with the warning or critical icon where icons are drawn.
    virtual void ShowFailure(const std::string& text, MessageIcon icon) {
        static_cast<void>(icon);
        ShowMessage(text);
    }
    // The transfer is over and the dialog should close (the posted cancel command).
    virtual void RequestClose() = 0;
    // A write's radio answered and its first block is about to go out.
    virtual void AboutToSend() {}
};

class CloneSession {
public:
    // cancel, when given, ends the transfer at its next step once set (the command-line tool's
    // Ctrl+C); the transfer then fails as a broken line does, port closed, message shown.
    CloneSession(SerialLink& link, Clock& clock, TransferObserver& observer,
                 const CancelFlag* cancel = nullptr);
    // Runs one transfer to its end (the failure message shown on every failing path).
    CloneResult Run(const CloneRequest& request);

private:
    // Everything between a successful open and the close; false after the failure message.
    bool Exchange(const CloneRequest& request, CloneResult& result);
    // The blocks, after the handshake; false after the failure message.
    bool MoveImage(WireProtocol& wire, const CloneRequest& request,
                   const std::array<Band, 2>& bands, CloneResult& result);
    // After a write that went through: the port opened again, the written ranges read back and
    // compared; false after the failure message.
    bool VerifyWrite(const CloneRequest& request);
    bool ReadBackAndCompare(const CloneRequest& request);
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }
    bool Fail(const std::string& text, MessageIcon icon = MessageIcon::Critical);

    std::string device_;
    SerialLink& link_;
    Clock& clock_;
    TransferObserver& observer_;
    const CancelFlag* cancel_;
};

}  // namespace kestra
