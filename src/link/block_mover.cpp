#include "link/block_mover.hpp"

#include <algorithm>

namespace kestra {

BlockMoveResult MoveBlocks(WireProtocol& wire, TransferDirection direction,
                           std::span<const CloneRange> ranges, MemoryImage& image,
                           const BlockReport& report) {
    BlockMoveResult result;
    const bool reading = direction == TransferDirection::Read;
    int done = 0;
    for (const CloneRange& range : ranges) {
        const std::uint32_t end = std::min<std::uint32_t>(range.end, kImageSize);
        for (std::uint32_t a = range.start; a < end;) {
            const std::uint32_t length = BlockLengthAt(a, end);
            const auto address = static_cast<std::uint16_t>(a);
            ++result.blocksStarted;
            const bool blockOk = reading ? wire.ReadBlock(address, image.span(a, length))
                                         : wire.WriteBlock(address, image.span(a, length));
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

}  // namespace kestra
