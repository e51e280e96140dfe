// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a failed transfer tells the user. Each message keeps the radio link's own text as its
// first line ("Open port fail", "Communication error", "Data is invalid, ...") and adds what the
// user needs to act on a second line: the device and the system's reason, the step that failed,
// the channels that do not fit the radio, the limits the radio reported. The desktop program
// shows them in message boxes, kestra-cli on stderr, so both say the same.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/codecs.hpp"
#include "model/memory_image.hpp"

namespace kestra {

// How a message names the device a transfer uses: its path, or "the demo radio".
std::string PortForMessages(std::string_view device);

// The system's text for a failed open ("Permission denied", "Device or resource busy") in a
// user's words: "permission denied", "no such device", "busy: ..."; other texts in lower case,
// nothing for an empty text.
std::string OpenFailureReason(std::string_view systemText);

// "Open port fail" and a line naming the device, the reason and kestra-cli doctor.
std::string OpenPortFailText(std::string_view device, std::string_view systemText);

// The step of the exchange that went unanswered.
// Block: a block went unacknowledged; ShortBlock: a read block came with fewer bytes than asked.
enum class FailedStep { WakeUp, Identification, Handshake, Block, ShortBlock, Stopped };

struct StepFailure {
    FailedStep step = FailedStep::WakeUp;
    int block = 0;              // Block, ShortBlock: the failed block, counted from 1
    int blockCount = 0;         // Block, ShortBlock: the blocks of the whole transfer
    std::uint32_t address = 0;  // Block, ShortBlock: its image address
    std::size_t received = 0;   // ShortBlock: the data bytes that came
    std::size_t length = 0;     // ShortBlock: the data bytes asked for
};

// "Communication error" and a line naming the device and the step.
std::string CommunicationErrorText(std::string_view device, const StepFailure& failure);

// The status line after a read or write that went through: "Read complete: 42 channels from
// COM3 (/dev/ttyUSB2)", "Write complete: 1 channel to the demo radio", and after a write that
// was read back and compared "Write complete and verified: 53 channels to ...".
std::string TransferCompleteText(bool reading, int channels, std::string_view portLabel,
                                 bool verified = false);

// "136-174 MHz" (whole MHz without decimals).
std::string BandText(const Band& band);

// The records (0-257) whose Rx frequency lies in neither of the radio's bands; records with an
// Rx of all 00 or all FF bytes are empty and fit any radio.
std::vector<int> RecordsOutsideBands(const MemoryImage& image, const std::array<Band, 2>& bands);

// "Data is invalid, please verify data" and a line naming the channels (a few, then how many
// more) and the radio's bands.
std::string ChannelsOutsideBandsText(const MemoryImage& image, const std::vector<int>& records,
                                     const std::array<Band, 2>& bands);

// "Data is invalid, please write data" and a line naming the implausible limits.
std::string ImplausibleLimitsText(const std::array<Band, 2>& bands);

}  // namespace kestra
