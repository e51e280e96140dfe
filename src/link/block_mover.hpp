// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data part of every transfer: the ranges of a plan moved between the radio and an image in
// blocks of at most 32 bytes that never cross a 32-byte boundary, each block confirmed by the
// radio's "A", with a report after every block. The clone transfer and the service transfers
// both move their blocks through here; they differ only in what comes before and after.
//
// A move can be cancelled between two blocks (Ctrl+C in the command-line tool): the block on
// the line is finished or fails first, so the radio never sees half a frame.

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "link/clone_range.hpp"
#include "link/wire_protocol.hpp"
#include "model/memory_image.hpp"

namespace kestra {

enum class TransferDirection { Read, Write };

// Set from anywhere (a signal handler included) to end a transfer before its next block.
using CancelFlag = std::atomic<bool>;

struct BlockMoveResult {
    enum class End { Done, Failed, Cancelled };
    End end = End::Done;
    // Blocks whose header went out: after a write that ended early with one or more, the
    // radio may hold some of the new bytes and some of the old.
    int blocksStarted = 0;
    // The image address of the last block whose header went out.
    std::uint32_t lastAddress = 0;
    // A read that failed because its last block arrived short: the data bytes that came of
    // the block's length. Zero length for every other end.
    std::size_t shortReceived = 0;
    std::size_t shortLength = 0;

    bool ok() const { return end == End::Done; }
};

// Called after every confirmed block with the number of blocks done so far.
using BlockReport = std::function<void(int blocksDone)>;

// Moves every block of ranges, in order. Read: the radio's bytes land in image at their own
// addresses; a short block or a missing acknowledge ends the move (the failed block may have
// landed in part, so readers move into a copy). Write: the blocks are taken from image.
BlockMoveResult MoveBlocks(WireProtocol& wire, TransferDirection direction,
                           std::span<const CloneRange> ranges, MemoryImage& image,
                           const BlockReport& report = {}, const CancelFlag* cancel = nullptr);

// What the user is told when the blocks of a transfer fail: "Communication error", a line
// naming the device and the block that arrived short or went unacknowledged (of blockCount),
// and after a write
// that may have changed the radio a line saying so and what to do.
std::string TransferFailureText(TransferDirection direction, const BlockMoveResult& result,
                                std::string_view device, int blockCount);

inline constexpr std::string_view kPartlyWrittenHint =
    "The radio may now hold a partly written memory. Check the cable, then write again.";

}  // namespace kestra
