#pragma once
// The data part of every transfer: the ranges of a plan moved between the radio and an image in
// blocks of at most 32 bytes that never cross a 32-byte boundary, each block confirmed by the
// radio's "A", with a report after every block. The clone transfer and the service transfers
// both move their blocks through here; they differ only in what comes before and after.

#include <functional>
#include <span>

#include "link/clone_range.hpp"
#include "link/wire_protocol.hpp"
#include "model/memory_image.hpp"

namespace kestra {

enum class TransferDirection { Read, Write };

struct BlockMoveResult {
    enum class End { Done, Failed };
    End end = End::Done;
    // Blocks whose header went out.
    int blocksStarted = 0;

    bool ok() const { return end == End::Done; }
};

// Called after every confirmed block with the number of blocks done so far.
using BlockReport = std::function<void(int blocksDone)>;

// Moves every block of ranges, in order. Read: the radio's bytes land in image at their own
// addresses; a short block or a missing acknowledge ends the move (the failed block may have
// landed in part, so readers move into a copy). Write: the blocks are taken from image.
BlockMoveResult MoveBlocks(WireProtocol& wire, TransferDirection direction,
                           std::span<const CloneRange> ranges, MemoryImage& image,
                           const BlockReport& report = {});

}  // namespace kestra
