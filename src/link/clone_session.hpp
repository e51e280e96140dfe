// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One clone transfer of the memory image to or from the radio: wake-up, identification, the
// plausibility test, the handshake acknowledge, then the blocks of two address ranges, each
// block confirmed by "A", and the end string. A write can be verified: a second session reads
// the written ranges back and compares them with what was sent. Synchronous: the transfer dialog
// runs it on a worker thread, the command-line tool and the tests call it directly. A read lands in
// the image only when the whole transfer succeeded.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "link/block_mover.hpp"
#include "link/clock.hpp"
#include "link/clone_range.hpp"
#include "link/serial_link.hpp"
#include "link/wire_protocol.hpp"
#include "model/app_state.hpp"
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

// What the transfer tells the dialog (or the CLI, or a test). The dialog marshals these calls
// to its user-interface thread and blocks the worker until they are done.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void SetButtonsEnabled(bool enabled) = 0;
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
    CloneSession(AppState& state, SerialLink& link, Clock& clock, TransferObserver& observer,
                 const CancelFlag* cancel = nullptr);
    // Runs one transfer to its end; returns the success flag. Sets and clears state.busy.
    bool Run(const ClonePlan& plan);

private:
    // Everything between a successful open and the close; false after the failure message.
    bool Exchange(const ClonePlan& plan);
    // The blocks, after the handshake; false after the failure message.
    bool MoveImage(WireProtocol& wire, const ClonePlan& plan, const std::array<Band, 2>& bands);
    // After a write that went through: the port opened again, the written ranges read back and
    // compared; false after the failure message.
    bool VerifyWrite(const ClonePlan& plan);
    bool ReadBackAndCompare(const ClonePlan& plan);
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }
    bool Fail(const std::string& text, MessageIcon icon = MessageIcon::Critical);
    // The device this transfer opens.
    std::string Device() const;

    AppState& state_;
    SerialLink& link_;
    Clock& clock_;
    TransferObserver& observer_;
    const CancelFlag* cancel_;
};

}  // namespace kestra
