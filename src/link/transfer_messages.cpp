// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/transfer_messages.hpp"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "link/port_names.hpp"
#include "link/wire_protocol.hpp"
#include "model/ascii.hpp"
#include "model/channel_record.hpp"

namespace kestra {
namespace {

constexpr std::string_view kReadDataInvalid = "Data is invalid, please write data";
constexpr std::string_view kWriteDataInvalid = "Data is invalid, please verify data";
// How many channels a message names before it only counts the rest.
constexpr std::size_t kNamedChannels = 5;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return ToLowerAscii(c); });
    return lower;
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::string MhzText(Frequency f) {
    if (f % 100000 == 0) {
        return std::to_string(f / 100000);
    }
    return FrequencyToMhzText(f);
}

std::string StepText(const StepFailure& failure) {
    switch (failure.step) {
        case FailedStep::WakeUp:
            return "no answer to the wake-up (" + std::to_string(kWakeUpAttempts) +
                   " attempts). Check that the radio is switched on, the cable's plug is pushed "
                   "fully into it and this is the cable's port; kestra-cli doctor tests the "
                   "cable.";
        case FailedStep::Identification:
            return "the radio's identification reply arrived incomplete. Check the cable and "
                   "try again.";
        case FailedStep::Handshake:
            return "no acknowledge to the start of the transfer. Switch the radio off and on "
                   "and try again.";
        case FailedStep::Block:
        case FailedStep::ShortBlock: {
            char address[8];
            std::snprintf(address, sizeof address, "%04X", static_cast<unsigned>(failure.address));
            const std::string what = failure.step == FailedStep::Block
                                         ? std::string("missing acknowledge at block ")
                                         : "the radio sent " + std::to_string(failure.received) +
                                               " of " + std::to_string(failure.length) +
                                               " bytes of block ";
            return what + std::to_string(failure.block) + " of " +
                   std::to_string(failure.blockCount) + " (address 0x" + address +
                   "). Check the cable and try again.";
        }
        case FailedStep::Stopped:
            break;
    }
    return "the transfer was stopped.";
}

// A single-band radio reports the same band twice: it is named once.
std::string BandsText(const std::array<Band, 2>& bands) {
    if (bands[0].lower == bands[1].lower && bands[0].upper == bands[1].upper) {
        return BandText(bands[0]);
    }
    return BandText(bands[0]) + " and " + BandText(bands[1]);
}

std::string SupportedBandsText() {
    std::string text;
    for (std::size_t i = 0; i < kSupportedBands.size(); ++i) {
        text += i == 0 ? "" : (i + 1 == kSupportedBands.size() ? " or " : ", ");
        text += MhzText(kSupportedBands[i].lower) + "-" + MhzText(kSupportedBands[i].upper);
    }
    return text + " MHz";
}

}  // namespace

std::string PortForMessages(std::string_view device) {
    return device == kDemoDevice ? std::string("the demo radio") : std::string(device);
}

std::string OpenFailureReason(std::string_view systemText) {
    const std::string text = Lower(systemText);
    if (Contains(text, "lock") || Contains(text, "busy")) {
        return "busy: another program has it open";
    }
    if (Contains(text, "permission") || Contains(text, "access")) {
        return "permission denied";
    }
    if (Contains(text, "no such") || Contains(text, "not found") || Contains(text, "not exist")) {
        return "no such device";
    }
    return text;
}

std::string OpenPortFailText(std::string_view device, std::string_view systemText) {
    if (device.starts_with(kNoPortDevicePrefix)) {
        device.remove_prefix(kNoPortDevicePrefix.size());
        return std::string(kOpenPortFail) + "\nNo port is chosen (" + std::string(device) +
               " is none of COM1-COM" + std::to_string(kPortCount) +
               "). Choose the radio's port in Setup, Com Setup.";
    }
    const std::string reason = OpenFailureReason(systemText);
    return std::string(kOpenPortFail) + "\nCould not open " + PortForMessages(device) +
           (reason.empty() ? "" : " (" + reason + ")") +
           ". Run kestra-cli doctor to see what stands in the way and what to do.";
}

std::string CommunicationErrorText(std::string_view device, const StepFailure& failure) {
    return std::string(kCommunicationError) + "\n" + PortForMessages(device) + ": " +
           StepText(failure);
}

std::string TransferCompleteText(bool reading, int channels, std::string_view portLabel,
                                 bool verified) {
    const char* what = reading    ? "Read complete: "
                       : verified ? "Write complete and verified: "
                                  : "Write complete: ";
    return std::string(what) + std::to_string(channels) +
           (channels == 1 ? " channel " : " channels ") + (reading ? "from " : "to ") +
           std::string(portLabel);
}

std::string BandText(const Band& band) {
    return MhzText(band.lower) + "-" + MhzText(band.upper) + " MHz";
}

std::vector<int> RecordsOutsideBands(const MemoryImage& image, const std::array<Band, 2>& bands) {
    std::vector<int> outside;
    // A record counts when it holds an Rx frequency by the same frequency-or-erased rule as the
    // grid and the image preparation.
    for (int r = 0; r < kRecordCount; ++r) {
        const std::optional<Frequency> rx = ConstChannelRecord(image, r).RxFrequency();
        if (!rx) {
            continue;
        }
        const auto in = [f = *rx](const Band& band) { return f >= band.lower && f <= band.upper; };
        if (!in(bands[0]) && !in(bands[1])) {
            outside.push_back(r);
        }
    }
    return outside;
}

std::string ChannelsOutsideBandsText(const MemoryImage& image, const std::vector<int>& records,
                                     const std::array<Band, 2>& bands) {
    std::string names;
    const std::size_t named = std::min(records.size(), kNamedChannels);
    for (std::size_t i = 0; i < named; ++i) {
        const int r = records[i];
        names += i == 0 ? "" : ", ";
        names += ChannelLabel(r + 1) + " (" +
                 FrequencyToMhzText(Bcd8Decode(image.span(RecordOffset(r), 4))) + " MHz)";
    }
    if (records.size() > named) {
        names += " and " + std::to_string(records.size() - named) + " more";
    }
    const bool one = records.size() == 1;
    return std::string(kWriteDataInvalid) + "\n" + names + (one ? " is" : " are") +
           " outside the bands the radio reported, " + BandsText(bands) + ". Correct or delete " +
           (one ? "it" : "them") + ", then write again.";
}

std::string ImplausibleLimitsText(const std::array<Band, 2>& bands) {
    return std::string(kReadDataInvalid) + "\nThe radio reported the band limits " +
           BandsText(bands) + "; each band must lie within one of " + SupportedBandsText() +
           ", its lower limit below its upper. Switch the radio off and on and read again.";
}

}  // namespace kestra
