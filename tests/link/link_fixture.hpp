// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the transfer tests share: a virtual radio behind the in-process link on simulated time,
// the application state (whose image a run sends, and which takes a read's result as the
// desktop program's user-interface thread does), and recorders for the transfer observer and
// the messenger.

#include <functional>
#include <string>
#include <vector>

#include "link/clone_session.hpp"
#include "link/port_names.hpp"
#include "link/service_transfer.hpp"
#include "link/simulated_clock.hpp"
#include "link/virtual_radio.hpp"
#include "link/virtual_radio_link.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

namespace kestra::testing {

class RecordingObserver : public TransferObserver {
public:
    void SetProgress(int position, int total, const std::string& percentText) override {
        positions.push_back(position);
        totals.push_back(total);
        texts.push_back(percentText);
        if (onProgress) {
            onProgress(position);
        }
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RequestClose() override { ++closeRequests; }

    std::vector<int> positions;
    std::vector<int> totals;
    std::vector<std::string> texts;
    std::vector<std::string> messages;
    int closeRequests = 0;
    // Runs after every progress report (the transfer is still going).
    std::function<void(int position)> onProgress;
};

class RecordingMessenger : public Messenger {
public:
    bool Show(const std::string& text, MessageButtons) override {
        messages.push_back(text);
        return true;
    }
    std::vector<std::string> messages;
};

struct LinkFixture {
    VirtualRadio radio;
    SimulatedClock clock;
    VirtualRadioLink link{radio, clock};
    AppState state;
    RecordingObserver observer;
    RecordingMessenger messenger;

    // The request a transfer gets from the program state as it is now.
    CloneRequest Request(const ClonePlan& plan) const {
        return {plan, ResolveDevice(state.portName, state.deviceOverride), state.serviceMode,
                state.image};
    }
    // Runs the transfer on `through` (default: the fixture's link); a read that went through
    // lands in state.image.
    bool RunClone(const ClonePlan& plan, const CancelFlag* cancel = nullptr,
                  SerialLink* through = nullptr) {
        CloneSession session(through != nullptr ? *through : link, clock, observer, cancel);
        const CloneResult result = session.Run(Request(plan));
        if (result.ok && plan.direction == TransferDirection::Read) {
            state.image = result.image;
        }
        return result.ok;
    }
    // A service transfer of the plan; a read that went through puts its ranges into
    // state.image, as the service dialogs do. A write's backup goes to keep.
    bool RunService(const ServiceTransferPlan& plan, ServiceBackupKeeper keep = {}) {
        const std::string device = ResolveDevice(state.portName, state.deviceOverride);
        serviceResult =
            ServiceTransfer(link, clock, messenger).Run({plan, device, state.image, keep});
        if (serviceResult.ok && plan.direction == TransferDirection::Read) {
            CopyPlanRanges(plan, serviceResult.image, state.image);
        }
        return serviceResult.ok;
    }
    ServiceResult serviceResult;  // of the last RunService
    std::optional<IdentReply> Identify() {
        return ServiceTransfer(link, clock, messenger)
            .Identify(ResolveDevice(state.portName, state.deviceOverride));
    }
    // The log entries other than wake-up strings.
    std::vector<std::string> Frames() const {
        std::vector<std::string> frames;
        for (const std::string& entry : radio.log()) {
            if (entry != "PROGRAM") {
                frames.push_back(entry);
            }
        }
        return frames;
    }
};

// The first line of every message: the radio link's own text.
inline std::vector<std::string> FirstLines(const std::vector<std::string>& messages) {
    std::vector<std::string> lines;
    for (const std::string& message : messages) {
        lines.push_back(message.substr(0, message.find('\n')));
    }
    return lines;
}

// Whether a message says that a write may have left the radio partly written.
inline bool SaysPartlyWritten(const std::string& message) {
    return message.starts_with(std::string(kCommunicationError) + "\n") &&
           message.ends_with("\n" + std::string(kPartlyWrittenHint));
}

// A deterministic pattern of bytes, different for every seed.
inline void FillPattern(MemoryImage& image, unsigned seed) {
    for (std::size_t i = 0; i < kImageSize; ++i) {
        image[i] = static_cast<std::uint8_t>((i * 31 + seed * 17 + (i >> 8)) & 0xFF);
    }
}

// Gives every channel record a 146.52500 MHz Rx frequency so a write passes the band check.
inline void SetAllRx146(MemoryImage& image) {
    for (std::size_t r = 0; r < 258; ++r) {
        image.write(r * 32, std::array<std::uint8_t, 4>{0x00, 0x25, 0x65, 0x14});
    }
}

}  // namespace kestra::testing
