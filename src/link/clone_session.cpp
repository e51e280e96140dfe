// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/clone_session.hpp"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "link/ident_reply.hpp"
#include "link/port_names.hpp"
#include "link/transfer_messages.hpp"
#include "link/wire_protocol.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

bool Encodable(Frequency f) {
    return f >= 0 && f <= 99999999;
}

// A radio whose own limits block is unset gets the limits it reported. A reported band that
// packed BCD cannot hold (only possible when service mode skipped the plausibility test) is not
// stored, so the block stays unset rather than holding a different number.
void FillModelLimits(MemoryImage& image, const std::array<Band, 2>& bands) {
    for (std::size_t band = 0; band < 2; ++band) {
        if (ModelLimitsPairIsSet(image, static_cast<int>(band)) || !Encodable(bands[band].lower) ||
            !Encodable(bands[band].upper)) {
            continue;
        }
        const std::size_t offset = map::kModelLimits + band * 8;
        image.write(offset, Bcd8Encode(static_cast<std::uint32_t>(bands[band].lower)));
        image.write(offset + 4, Bcd8Encode(static_cast<std::uint32_t>(bands[band].upper)));
    }
}

// Where two images differ, as a user names it: the channel label for bytes of a channel record,
// else the hexadecimal address where a run of differing bytes starts.
std::vector<std::string> DifferingPlaces(const MemoryImage& sent, const MemoryImage& radio) {
    std::vector<std::string> places;
    const std::size_t recordsEnd = RecordOffset(kRecordCount);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        if (sent[a] == radio[a]) {
            continue;
        }
        std::string place;
        if (a >= map::kRecordBase && a < recordsEnd) {
            place = ChannelLabel(static_cast<int>((a - map::kRecordBase) / kRecordSize) + 1);
        } else if (a == 0 || sent[a - 1] == radio[a - 1] || a == recordsEnd) {
            char text[16];
            std::snprintf(text, sizeof text, "0x%04zX", a);
            place = text;
        }
        if (!place.empty() && (places.empty() || places.back() != place)) {
            places.push_back(place);
        }
    }
    return places;
}

std::string VerifyMismatchText(const std::vector<std::string>& places) {
    constexpr std::size_t kNamed = 5;
    std::string list;
    for (std::size_t i = 0; i < places.size() && i < kNamed; ++i) {
        list += (i == 0 ? "" : ", ") + places[i];
    }
    if (places.size() > kNamed) {
        list += " and " + std::to_string(places.size() - kNamed) + " more";
    }
    return "Verify failed: the radio does not hold what was written.\nIt differs in " + list +
           ".\nWrite again; if the radio still differs, its memory may be faulty.";
}

std::string PercentText(int position, int total) {
    return std::to_string(total > 0 ? position * 100 / total : 0) + "%";
}

}  // namespace

ClonePlan ClonePlan::Read() {
    ClonePlan plan;
    plan.direction = TransferDirection::Read;
    plan.ranges = {
        {{map::kCloneMain, map::kCloneMainEnd}, {map::kCloneReadSummary, map::kCloneSummaryEnd}}};
    plan.caption = "Read";
    return plan;
}

ClonePlan ClonePlan::Write() {
    ClonePlan plan;
    plan.direction = TransferDirection::Write;
    plan.ranges = {
        {{map::kCloneMain, map::kCloneMainEnd}, {map::kCloneWriteSummary, map::kCloneSummaryEnd}}};
    plan.caption = "Write";
    return plan;
}

ClonePlan ClonePlan::Initialization() {
    ClonePlan plan;
    plan.direction = TransferDirection::Write;
    plan.ranges = {{{map::kWholeImage, map::kWholeImageEnd},
                    {map::kInitializationSecond, map::kInitializationSecond}}};
    plan.initialization = true;
    plan.caption = "Initialization";
    return plan;
}

int ClonePlan::BlockCount() const {
    return ranges[0].BlockCount() + ranges[1].BlockCount();
}

int ClonePlan::ProgressBlockCount() const {
    const bool verifying = verify && direction == TransferDirection::Write;
    return BlockCount() * (verifying ? 2 : 1);
}

CloneSession::CloneSession(SerialLink& link, Clock& clock, TransferObserver& observer,
                           const CancelFlag* cancel)
    : link_(link), clock_(clock), observer_(observer), cancel_(cancel) {}

CloneResult CloneSession::Run(const CloneRequest& request) {
    device_ = request.device;
    const ClonePlan& plan = request.plan;
    CloneResult result;
    result.image = request.image;

    if (!link_.Open(device_)) {
        Fail(OpenPortFailText(device_, link_.OpenErrorText()), MessageIcon::Warning);
        return result;
    }
    link_.ApplySettings(kReadTotalConstantMs);
    link_.Purge();

    const bool ok = Exchange(request, result);
    link_.Close();
    if (!ok) {
        return result;
    }
    if (plan.verify && plan.direction == TransferDirection::Write) {
        if (!VerifyWrite(request)) {
            return result;
        }
        result.verified = true;
    }
    if (plan.initialization) {
        // Initialization keeps the dialog open for the next radio.
        observer_.ShowMessage("Init");
        observer_.SetProgress(0, plan.BlockCount(), "0%");
    } else {
        observer_.RequestClose();
    }
    result.ok = true;
    return result;
}

bool CloneSession::Fail(const std::string& text, MessageIcon icon) {
    observer_.ShowFailure(text, icon);
    observer_.RequestClose();
    return false;
}

bool CloneSession::Exchange(const CloneRequest& request, CloneResult& result) {
    const ClonePlan& plan = request.plan;
    WireProtocol wire(link_, clock_);
    const auto lost = [this](FailedStep step) {
        return Fail(CommunicationErrorText(device_, {Cancelled() ? FailedStep::Stopped : step}));
    };
    if (Cancelled() || !wire.WakeUp(1)) {
        return lost(FailedStep::WakeUp);
    }
    // A reply that arrives short has no limits to check: its missing bytes would pass for
    // 0 MHz and, in service mode, end up in the image's model limits.
    const std::optional<IdentReply> reply = wire.RequestIdent();
    if (!reply) {
        return lost(FailedStep::Identification);
    }
    result.ident = reply;
    const std::array<Band, 2> bands = IdentReplyBands(*reply);

    const bool reading = plan.direction == TransferDirection::Read;
    if (!request.serviceMode) {
        if (reading && !(LimitsAreValid(bands[0].lower, bands[0].upper) &&
                         LimitsAreValid(bands[1].lower, bands[1].upper))) {
            return Fail(ImplausibleLimitsText(bands), MessageIcon::Warning);
        }
        if (const std::vector<int> outside = RecordsOutsideBands(request.image, bands);
            !reading && !outside.empty()) {
            return Fail(ChannelsOutsideBandsText(request.image, outside, bands),
                        MessageIcon::Warning);
        }
    }

    if (Cancelled() || !wire.Handshake()) {
        return lost(FailedStep::Handshake);
    }
    if (!reading) {
        result.sendingStarted = true;
        observer_.AboutToSend();
    }
    return MoveImage(wire, request, bands, result);
}

bool CloneSession::MoveImage(WireProtocol& wire, const CloneRequest& request,
                             const std::array<Band, 2>& bands, CloneResult& result) {
    const ClonePlan& plan = request.plan;
    const bool reading = plan.direction == TransferDirection::Read;
    // A read fills a copy; the result holds it only when every block has arrived.
    MemoryImage blocks = request.image;
    const int total = plan.ProgressBlockCount();
    const BlockMoveResult moved = MoveBlocks(
        wire, plan.direction, plan.ranges, blocks,
        [this, total](int done) { observer_.SetProgress(done, total, PercentText(done, total)); },
        cancel_);
    if (!moved.ok()) {
        return Fail(TransferFailureText(plan.direction, moved, device_, total));
    }

    if (reading) {
        wire.SendEnd(kEndOfRead);
        FillModelLimits(blocks, bands);
        result.image = blocks;
    } else {
        wire.SendEnd(kEndOfWrite);
    }
    return true;
}

bool CloneSession::VerifyWrite(const CloneRequest& request) {
    clock_.SleepMs(kVerifyPauseMs);
    if (Cancelled() || !link_.Open(device_)) {
        return Fail(std::string(Cancelled() ? kCommunicationError : kOpenPortFail) + "\n" +
                    std::string(kVerifyNotDoneHint));
    }
    link_.ApplySettings(kReadTotalConstantMs);
    link_.Purge();
    const bool ok = ReadBackAndCompare(request);
    link_.Close();
    return ok;
}

bool CloneSession::ReadBackAndCompare(const CloneRequest& request) {
    const ClonePlan& plan = request.plan;
    const std::string notVerified =
        std::string(kCommunicationError) + "\n" + std::string(kVerifyNotDoneHint);
    WireProtocol wire(link_, clock_);
    if (Cancelled() || !wire.WakeUp(1) || !wire.RequestIdent() || Cancelled() ||
        !wire.Handshake()) {
        return Fail(notVerified);
    }
    // Bytes outside the written ranges stay as sent, so only the ranges can differ.
    MemoryImage readBack = request.image;
    const int written = plan.BlockCount();
    const int total = plan.ProgressBlockCount();
    const BlockMoveResult moved = MoveBlocks(
        wire, TransferDirection::Read, plan.ranges, readBack,
        [this, written, total](int done) {
            observer_.SetProgress(written + done, total, PercentText(written + done, total));
        },
        cancel_);
    if (!moved.ok()) {
        return Fail(notVerified);
    }
    wire.SendEnd(kEndOfRead);
    const std::vector<std::string> places = DifferingPlaces(request.image, readBack);
    return places.empty() || Fail(VerifyMismatchText(places));
}

}  // namespace kestra
