// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the end-to-end tests with kestra-virtual-radio share: memories a radio could hold, the
// document a write sends, and kestra-cli interrupted with Ctrl+C once its radios are busy.

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "e2e/processes.hpp"
#include "link/block_mover.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/section_limits.hpp"

namespace kestra::test {

inline bool InRange(std::size_t a, std::size_t start, std::size_t end) {
    return a >= start && a < end;
}
// The bytes a Read brings back and the bytes a Write sends.
inline bool InReadRanges(std::size_t a) {
    return InRange(a, 0, 0x2A00) || InRange(a, 0x2E00, 0x3000);
}
inline bool InWriteRanges(std::size_t a) {
    return InRange(a, 0, 0x2A00) || InRange(a, 0x2E20, 0x3000);
}

// Memory a radio could hold: no two neighbouring bytes alike, so a shifted or misplaced block
// shows. Its model-limits block holds limits of its own (0x2E13 is not 0xFF).
inline MemoryImage PatternImage(int seed) {
    MemoryImage image;
    for (std::size_t a = 0; a < kImageSize; ++a) {
        image[a] = static_cast<std::uint8_t>((a * 7 + a / 256 + static_cast<std::size_t>(seed)));
    }
    image[0x2E13] = 0x13;
    return image;
}

inline MemoryImage Load(const std::filesystem::path& path) {
    MemoryImage image;
    EXPECT_TRUE(LoadDocumentFile(path, image).ok) << path;
    return image;
}

// A new document with one channel at 146.52 MHz in A001.
inline MemoryImage DocumentWithChannel() {
    MemoryImage image = BuiltInDocumentImage();
    ChannelRecord record(image, 0);
    record.SetRxFrequency(14652000);
    record.SetTxFrequency(14652000);
    return image;
}

// What Program, Write sends for a document: the grid's encode with the default model.
inline MemoryImage PreparedForWrite(MemoryImage image) {
    SectionLimits limits;
    ChannelTable table;
    table.FillGridFromImage(image, limits);
    table.StoreGridToImage(image, limits, kDefaultModelIndex);
    return image;
}

// "Communication error", the line naming the device and the step, then the partly-written hint.
inline bool SaysPartlyWritten(const std::string& err) {
    const std::size_t first = err.find(std::string(kCommunicationError) + "\n");
    return first != std::string::npos &&
           err.find("\n" + std::string(kPartlyWrittenHint) + "\n", first) != std::string::npos;
}

// Waits (a bounded number of short sleeps) until the text shows up in the file.
inline bool WaitForText(const std::filesystem::path& path, const std::string& text) {
    for (int i = 0; i < 2000; ++i) {
        if (ReadText(path).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Runs kestra-cli with the options and presses Ctrl+C once every radio has seen frame (each
// radio's --verbose output in one of frames). Output goes beside the first frames file.
inline ProgramResult Interrupted(std::vector<std::string> options,
                                 const std::vector<std::filesystem::path>& frames,
                                 const std::string& frame) {
    const std::filesystem::path base = frames.front().parent_path() / "cli";
    SpawnOutput output;
    output.stdoutPath = base.string() + ".out";
    output.stderrPath = base.string() + ".err";
    options.insert(options.begin(), BinaryPath("kestra-cli"));
    const pid_t pid = SpawnProgram(std::move(options), output);
    ProgramResult result;
    for (const std::filesystem::path& radio : frames) {
        EXPECT_TRUE(WaitForText(radio, frame)) << ReadText(radio);
    }
    ::kill(pid, SIGINT);
    result.exitCode = WaitForExit(pid);
    result.out = ReadText(output.stdoutPath);
    result.err = ReadText(output.stderrPath);
    return result;
}

}  // namespace kestra::test
