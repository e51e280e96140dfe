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

ServiceTransfer::ServiceTransfer(AppState& state, SerialLink& link, Clock& clock,
                                 Messenger& messenger)
    : state_(state), link_(link), clock_(clock), messenger_(messenger) {}

bool ServiceTransfer::OpenLine(const ServiceLine& line) {
    const std::string device = ResolveDevice(state_.portName, state_.deviceOverride);
    if (!link_.Open(device)) {
        messenger_.ShowFailure(OpenPortFailText(device, link_.OpenErrorText()),
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
    Fail(CommunicationErrorText(ResolveDevice(state_.portName, state_.deviceOverride), {step}));
}

bool ServiceTransfer::Run(const ServiceTransferPlan& plan) {
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

    const bool reading = plan.direction == TransferDirection::Read;
    // A read fills a copy; the image changes only when every block has arrived.
    MemoryImage staged = reading ? state_.image : MemoryImage();
    MemoryImage& blocks = reading ? staged : state_.image;
    const BlockMoveResult moved = MoveBlocks(wire, plan.direction, plan.UsedRanges(), blocks);
    if (!moved.ok()) {
        Fail(TransferFailureText(plan.direction, moved,
                                 ResolveDevice(state_.portName, state_.deviceOverride),
                                 plan.BlockCount()));
        return false;
    }

    wire.SendEnd(reading ? kEndOfRead : kEndOfWrite);
    link_.Close();
    if (reading) {
        state_.image = staged;
    }
    messenger_.Show(std::string(reading ? kReadComplete : kWriteComplete));
    return true;
}

std::optional<IdentReply> ServiceTransfer::Identify(const ServiceLine& line) {
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
