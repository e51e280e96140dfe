// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The short synchronous exchanges of the service dialogs: a read or a write of one or two fixed
// image ranges, or an identify that only fetches the radio's 32-byte identification reply. They
// use the clone transfer's wire format and block mover without its progress dialog, busy flag or
// plausibility test, and report through a Messenger ("Read complete", "Write complete", or the
// failure). Like the clone session, a transfer works on what it is given (the device and the
// image whose ranges a write sends) and returns what a read brought; the caller puts the read
// ranges where they belong (CopyPlanRanges), and only when every block arrived.
//
// A write never replaces what the radio holds unseen: it first reads the radio's present
// contents of exactly the ranges it is about to write (a session of its own, without "Read
// complete"), hands them to the request's backup keeper, and writes only when that read went
// through and the keeper kept them.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/block_mover.hpp"
#include "link/clock.hpp"
#include "link/clone_range.hpp"
#include "link/ident_reply.hpp"
#include "link/serial_link.hpp"
#include "link/transfer_messages.hpp"
#include "model/image_map.hpp"
#include "model/messenger.hpp"

namespace kestra {

// How a service transfer drives the line: the read total constant of the port and the pause
// before each byte of the wake-up string.
struct ServiceLine {
    int readTotalConstantMs = kReadTotalConstantMs;
    int wakeUpPauseMs = 1;
};

// One press of a service dialog's "Read" or "Write": which way the blocks go, what they are
// and how the line is driven.
struct ServiceTransferPlan {
    TransferDirection direction = TransferDirection::Read;
    std::array<CloneRange, 2> ranges{};
    int rangeCount = 0;
    ServiceLine line;

    // The first rangeCount entries of ranges.
    std::span<const CloneRange> UsedRanges() const;
    int BlockCount() const;
};

inline constexpr CloneRange kCalibrationRange{map::kCalibration, map::kCalibrationEnd};
inline constexpr CloneRange kBandPointsRange{map::kBandPoints, map::kBandPointsEnd};
inline constexpr CloneRange kDtmfInitRange{map::kDtmfInit, map::kDtmfInitEnd};
inline constexpr CloneRange kSquelchRange{map::kSquelchTable, map::kSquelchTableEnd};
inline constexpr ServiceLine kSqlLine{kSqlReadTotalConstantMs, 1};

inline constexpr ServiceTransferPlan kParameterAdjustRead{
    TransferDirection::Read, {{kCalibrationRange, {}}}, 1, {}};
inline constexpr ServiceTransferPlan kParameterAdjustWrite{
    TransferDirection::Write, {{kCalibrationRange, kBandPointsRange}}, 2, {}};
inline constexpr ServiceTransferPlan kDtmfInitializationRead{
    TransferDirection::Read, {{kDtmfInitRange, {}}}, 1, {}};
inline constexpr ServiceTransferPlan kDtmfInitializationWrite{
    TransferDirection::Write, {{kDtmfInitRange, {}}}, 1, {}};
inline constexpr ServiceTransferPlan kSqlAdjustRead{
    TransferDirection::Read, {{kSquelchRange, {}}}, 1, kSqlLine};
inline constexpr ServiceTransferPlan kSqlAdjustWrite{
    TransferDirection::Write, {{kSquelchRange, kBandPointsRange}}, 2, kSqlLine};
// Radio Information's identify: a longer pause before each wake-up byte, no blocks.
inline constexpr ServiceLine kIdentifyLine{kReadTotalConstantMs, 2};

// Keeps the radio's values read before a write (an image holding them in the write's ranges and
// 0xFF everywhere else). Returns why they could not be kept, or an empty text. Runs on the thread
// that runs the transfer.
using ServiceBackupKeeper = std::function<std::string(const MemoryImage& previous)>;

// One service transfer's inputs: the plan, the device and, for a write, the image whose ranges
// are sent (a read lands its blocks on a copy of it) and what keeps the radio's old values.
struct ServiceRequest {
    ServiceTransferPlan plan;
    std::string device;
    MemoryImage image;
    ServiceBackupKeeper keepBackup;  // may be empty: the values are read and only returned
};

struct ServiceResult {
    bool ok = false;
    // After a read that went through: the request's image with the plan's ranges as the radio
    // holds them. Otherwise the request's image.
    MemoryImage image;
    // A write's backup read that went through: the radio's values before the write.
    std::optional<MemoryImage> previous;
};

// The backup read of a write plan: the same ranges and line, read.
ServiceTransferPlan BackupReadPlan(const ServiceTransferPlan& write);

// The line under every failure of a write's backup read.
inline constexpr std::string_view kNothingWrittenHint =
    "The radio's present values could not be read to keep a backup of them, so nothing was "
    "written.";

// The pause between a write's backup read and the write itself, so the radio has left the
// first session before it is woken again.
inline constexpr int kServiceSessionPauseMs = 500;

// Copies exactly the plan's ranges of from into to (a read's ranges into the document).
void CopyPlanRanges(const ServiceTransferPlan& plan, const MemoryImage& from, MemoryImage& to);

class ServiceTransfer {
public:
    ServiceTransfer(SerialLink& link, Clock& clock, Messenger& messenger);

    // Moves the plan's blocks the way the plan says. ok after "Read complete" / "Write
    // complete" was shown; after a failure the message was shown and nothing was read.
    ServiceResult Run(const ServiceRequest& request);

    // The radio's identification reply, or nothing after the failure message (a reply that
    // arrives short is a "Communication error" too). No message on success.
    std::optional<IdentReply> Identify(const std::string& device,
                                       const ServiceLine& line = kIdentifyLine);

private:
    // One session: wake-up, handshake, the plan's blocks to or from blocks, the end string. No
    // message on success; false after the failure message.
    bool Exchange(const ServiceTransferPlan& plan, MemoryImage& blocks);
    // The write's backup read and its keeping; false after the failure message (nothing was
    // written then).
    bool BackUp(const ServiceRequest& request, ServiceResult& result);
    // Opens the line with the plan's read timeout and empties its queues; false after "Open port
    // fail".
    bool OpenLine(const ServiceLine& line);
    // Closes the line and shows the failure.
    void Fail(const std::string& text);
    // "Communication error" naming the device and the step.
    void Fail(FailedStep step);
    // Shows a failure with the hint of the step under way.
    void ShowFailure(const std::string& text, MessageIcon icon);

    std::string device_;
    // Added under every failure of a write's backup read: nothing was written.
    std::string failureHint_;
    SerialLink& link_;
    Clock& clock_;
    Messenger& messenger_;
};

}  // namespace kestra
