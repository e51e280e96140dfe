// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/service_transfer.hpp"

#include <algorithm>

#include "link/port_names.hpp"
#include "link/transfer_messages.hpp"
#include "link/wire_protocol.hpp"

namespace kestra {
namespace {

constexpr std::string_view kReadComplete = "Read complete";
constexpr std::string_view kWriteComplete = "Write complete";

std::string NoServiceBackupText(const std::string& error) {
    return "No backup of the radio's present values could be kept, so nothing was written.\n" +
           error + "\nMake room in the backup folder (or allow writing there), then write again.";
}

}  // namespace

std::span<const CloneRange> ServiceTransferPlan::UsedRanges() const {
    const int count = std::clamp(rangeCount, 0, static_cast<int>(ranges.size()));
    return std::span<const CloneRange>(ranges).first(static_cast<std::size_t>(count));
}

int ServiceTransferPlan::BlockCount() const {
    int count = 0;
    for (const CloneRange& range : UsedRanges()) {
        count += range.BlockCount();
    }
    return count;
}

void CopyPlanRanges(const ServiceTransferPlan& plan, const MemoryImage& from, MemoryImage& to) {
    for (const CloneRange& range : plan.UsedRanges()) {
        const std::size_t end = std::min<std::size_t>(range.end, kImageSize);
        if (range.start < end) {
            to.write(range.start, from.span(range.start, end - range.start));
        }
    }
}

ServiceTransferPlan BackupReadPlan(const ServiceTransferPlan& write) {
    ServiceTransferPlan read = write;
    read.direction = TransferDirection::Read;
    return read;
}

ServiceTransfer::ServiceTransfer(SerialLink& link, Clock& clock, Messenger& messenger)
    : link_(link), clock_(clock), messenger_(messenger) {}

bool ServiceTransfer::OpenLine(const ServiceLine& line) {
    if (!link_.Open(device_)) {
        ShowFailure(OpenPortFailText(device_, link_.OpenErrorText()), MessageIcon::Warning);
        return false;
    }
    link_.ApplySettings(line.readTotalConstantMs);
    link_.Purge();
    return true;
}

void ServiceTransfer::ShowFailure(const std::string& text, MessageIcon icon) {
    messenger_.ShowFailure(failureHint_.empty() ? text : text + "\n" + failureHint_, icon);
}

void ServiceTransfer::Fail(const std::string& text) {
    link_.Close();
    ShowFailure(text, MessageIcon::Critical);
}

void ServiceTransfer::Fail(FailedStep step) {
    Fail(CommunicationErrorText(device_, {step}));
}

bool ServiceTransfer::Exchange(const ServiceTransferPlan& plan, MemoryImage& blocks) {
    if (!OpenLine(plan.line)) {
        return false;
    }
    WireProtocol wire(link_, clock_);
    if (!wire.WakeUp(plan.line.wakeUpPauseMs)) {
        Fail(FailedStep::WakeUp);
        return false;
    }
    wire.RequestIdent();  // a read or write does not look at the reply
    if (!wire.Handshake()) {
        Fail(FailedStep::Handshake);
        return false;
    }
    const BlockMoveResult moved = MoveBlocks(wire, plan.direction, plan.UsedRanges(), blocks);
    if (!moved.ok()) {
        Fail(TransferFailureText(plan.direction, moved, device_, plan.BlockCount()));
        return false;
    }
    wire.SendEnd(plan.direction == TransferDirection::Read ? kEndOfRead : kEndOfWrite);
    link_.Close();
    return true;
}

bool ServiceTransfer::BackUp(const ServiceRequest& request, ServiceResult& result) {
    // Only what came from the radio: every byte outside the ranges stays erased.
    MemoryImage previous;
    failureHint_ = std::string(kNothingWrittenHint);
    const bool read = Exchange(BackupReadPlan(request.plan), previous);
    failureHint_.clear();
    if (!read) {
        return false;
    }
    result.previous = previous;
    if (request.keepBackup) {
        if (const std::string error = request.keepBackup(previous); !error.empty()) {
            ShowFailure(NoServiceBackupText(error), MessageIcon::Warning);
            return false;
        }
    }
    clock_.SleepMs(kServiceSessionPauseMs);
    return true;
}

ServiceResult ServiceTransfer::Run(const ServiceRequest& request) {
    const ServiceTransferPlan& plan = request.plan;
    device_ = request.device;
    ServiceResult result;
    result.image = request.image;
    const bool reading = plan.direction == TransferDirection::Read;
    if (!reading && !BackUp(request, result)) {
        return result;
    }
    // A read fills a copy; the result holds it only when every block has arrived.
    MemoryImage blocks = request.image;
    if (!Exchange(plan, blocks)) {
        return result;
    }
    if (reading) {
        result.image = blocks;
    }
    messenger_.Show(std::string(reading ? kReadComplete : kWriteComplete));
    result.ok = true;
    return result;
}

std::optional<IdentReply> ServiceTransfer::Identify(const std::string& device,
                                                    const ServiceLine& line) {
    device_ = device;
    if (!OpenLine(line)) {
        return std::nullopt;
    }
    WireProtocol wire(link_, clock_);
    if (!wire.WakeUp(line.wakeUpPauseMs)) {
        Fail(FailedStep::WakeUp);
        return std::nullopt;
    }
    const std::optional<IdentReply> reply = wire.RequestIdent();
    if (!reply) {
        // Zeros in place of the missing bytes would read as a radio with 0 MHz limits.
        Fail(FailedStep::Identification);
        return std::nullopt;
    }
    wire.SendEnd(kEndOfRead);
    link_.Close();
    return reply;
}

}  // namespace kestra
