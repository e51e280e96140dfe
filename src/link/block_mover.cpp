// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/block_mover.hpp"

#include <algorithm>

#include "link/transfer_messages.hpp"

namespace kestra {

BlockMoveResult MoveBlocks(WireProtocol& wire, TransferDirection direction,
                           std::span<const CloneRange> ranges, MemoryImage& image,
                           const BlockReport& report, const CancelFlag* cancel) {
    BlockMoveResult result;
    const bool reading = direction == TransferDirection::Read;
    int done = 0;
    for (const CloneRange& range : ranges) {
        const std::uint32_t end = std::min<std::uint32_t>(range.end, kImageSize);
        for (std::uint32_t a = range.start; a < end;) {
            if (cancel != nullptr && cancel->load()) {
                result.end = BlockMoveResult::End::Cancelled;
                return result;
            }
            const std::uint32_t length = BlockLengthAt(a, end);
            const auto address = static_cast<std::uint16_t>(a);
            ++result.blocksStarted;
            result.lastAddress = a;
            bool blockOk = false;
            if (reading) {
                const ReadBlockReply reply = wire.ReadBlock(address, image.span(a, length));
                blockOk = reply.ok;
                if (reply.received < length) {
                    result.shortReceived = reply.received;
                    result.shortLength = length;
                }
            } else {
                blockOk = wire.WriteBlock(address, image.span(a, length));
            }
            if (!blockOk) {
                result.end = BlockMoveResult::End::Failed;
                return result;
            }
            ++done;
            if (report) {
                report(done);
            }
            a += length;
        }
    }
    return result;
}

std::string TransferFailureText(TransferDirection direction, const BlockMoveResult& result,
                                std::string_view device, int blockCount) {
    StepFailure failure{FailedStep::Stopped};
    if (result.end != BlockMoveResult::End::Cancelled) {
        failure = {FailedStep::Block, result.blocksStarted, blockCount, result.lastAddress};
        if (result.shortLength > 0) {
            failure.step = FailedStep::ShortBlock;
            failure.received = result.shortReceived;
            failure.length = result.shortLength;
        }
    }
    std::string text = CommunicationErrorText(device, failure);
    if (direction == TransferDirection::Write && !result.ok() && result.blocksStarted > 0) {
        text += '\n';
        text += kPartlyWrittenHint;
    }
    return text;
}

}  // namespace kestra
