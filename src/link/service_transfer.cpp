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

ServiceTransfer::ServiceTransfer(SerialLink& link, Clock& clock, Messenger& messenger)
    : link_(link), clock_(clock), messenger_(messenger) {}

bool ServiceTransfer::OpenLine(const ServiceLine& line) {
    if (!link_.Open(device_)) {
        messenger_.ShowFailure(OpenPortFailText(device_, link_.OpenErrorText()),
                               MessageIcon::Warning);
        return false;
    }
    link_.ApplySettings(line.readTotalConstantMs);
    link_.Purge();
    return true;
}

void ServiceTransfer::Fail(const std::string& text) {
    link_.Close();
    messenger_.ShowFailure(text, MessageIcon::Critical);
}

void ServiceTransfer::Fail(FailedStep step) {
    Fail(CommunicationErrorText(device_, {step}));
}

ServiceResult ServiceTransfer::Run(const ServiceRequest& request) {
    const ServiceTransferPlan& plan = request.plan;
    device_ = request.device;
    ServiceResult result;
    result.image = request.image;
    if (!OpenLine(plan.line)) {
        return result;
    }
    WireProtocol wire(link_, clock_);
    if (!wire.WakeUp(plan.line.wakeUpPauseMs)) {
        Fail(FailedStep::WakeUp);
        return result;
    }
    wire.RequestIdent();  // a read or write does not look at the reply
    if (!wire.Handshake()) {
        Fail(FailedStep::Handshake);
        return result;
    }

    const bool reading = plan.direction == TransferDirection::Read;
    // A read fills a copy; the result holds it only when every block has arrived.
    MemoryImage blocks = request.image;
    const BlockMoveResult moved = MoveBlocks(wire, plan.direction, plan.UsedRanges(), blocks);
    if (!moved.ok()) {
        Fail(TransferFailureText(plan.direction, moved, device_, plan.BlockCount()));
        return result;
    }

    wire.SendEnd(reading ? kEndOfRead : kEndOfWrite);
    link_.Close();
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
