#include "link/service_transfer.hpp"

#include <algorithm>

#include "link/port_names.hpp"
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

bool ServiceTransfer::OpenLine(const ServiceTransferPlan& plan) {
    if (!link_.Open(ResolveDevice(state_.portName, state_.deviceOverride))) {
        messenger_.Show(std::string(kOpenPortFail));
        return false;
    }
    link_.ApplySettings(plan.readTotalConstantMs);
    link_.Purge();
    return true;
}

bool ServiceTransfer::Run(const ServiceTransferPlan& plan) {
    if (plan.kind == ServiceKind::Identify) {
        return Identify(plan).has_value();
    }
    if (!OpenLine(plan)) {
        return false;
    }

    WireProtocol wire(link_, clock_);
    auto fail = [&] {
        link_.Close();
        messenger_.Show(std::string(kCommunicationError));
        return false;
    };
    if (!wire.WakeUp(plan.wakeUpPauseMs)) {
        return fail();
    }
    wire.RequestIdent();  // a read or write does not look at the reply
    if (!wire.Handshake()) {
        return fail();
    }

    const bool reading = plan.kind == ServiceKind::Read;
    // A read fills a copy; the image changes only when every block has arrived.
    MemoryImage staged = reading ? state_.image : MemoryImage();
    for (const CloneRange& range : plan.UsedRanges()) {
        const std::uint32_t end = std::min<std::uint32_t>(range.end, kImageSize);
        for (std::uint32_t a = range.start; a < end;) {
            const std::uint32_t length = BlockLengthAt(a, end);
            const auto address = static_cast<std::uint16_t>(a);
            const bool blockOk = reading ? wire.ReadBlock(address, staged.span(a, length))
                                         : wire.WriteBlock(address, state_.image.span(a, length));
            if (!blockOk) {
                return fail();
            }
            a += length;
        }
    }

    wire.SendEnd(reading ? kEndOfRead : kEndOfWrite);
    link_.Close();
    if (reading) {
        state_.image = staged;
    }
    messenger_.Show(std::string(reading ? kReadComplete : kWriteComplete));
    return true;
}

std::optional<IdentReply> ServiceTransfer::Identify(const ServiceTransferPlan& plan) {
    if (!OpenLine(plan)) {
        return std::nullopt;
    }

    WireProtocol wire(link_, clock_);
    if (!wire.WakeUp(plan.wakeUpPauseMs)) {
        link_.Close();
        messenger_.Show(std::string(kCommunicationError));
        return std::nullopt;
    }
    const IdentReply reply = wire.RequestIdent();
    wire.SendEnd(kEndOfRead);
    link_.Close();
    return reply;
}

}  // namespace kestra
