// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary radio replies to the clone transfer and the service transfers, and arbitrary
// program bytes to the virtual radio. Whatever the radio sends, a transfer must end without
// touching memory out of range, close the port, and return the image it was given unless a read
// succeeded, in which case only the read ranges may have changed.
//
// Input: byte 0 picks the transfer, byte 1 bit 0 sets service mode, the rest is the radio's side
// of the line. Every Read takes one control byte: 0x80 and above delivers the full count, below
// that count = control % (requested + 1); then that many bytes follow.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/clone_session.hpp"
#include "link/ident_reply.hpp"
#include "link/service_transfer.hpp"
#include "link/simulated_clock.hpp"
#include "link/virtual_radio.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

namespace kestra {
namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A serial line whose radio side is a script: reads take their bytes from the fuzz input and
// cost what a real port would wait.
class ScriptedLink final : public SerialLink {
public:
    ScriptedLink(std::span<const std::uint8_t> script, SimulatedClock& clock)
        : script_(script), clock_(clock) {}

    bool Open(const std::string&) override {
        Check(!open_);
        open_ = true;
        return true;
    }
    void ApplySettings(int readTotalConstantMs) override { constantMs_ = readTotalConstantMs; }
    void Purge() override { Check(open_); }
    std::size_t Write(std::span<const std::uint8_t> bytes) override {
        Check(open_);
        return bytes.size();
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override {
        Check(open_);
        const std::size_t wanted = buffer.size();
        std::size_t count = 0;
        if (!script_.empty()) {
            const std::uint8_t control = script_.front();
            script_ = script_.subspan(1);
            count = control >= 0x80 ? wanted : control % (wanted + 1);
            count = std::min(count, script_.size());
        }
        for (std::size_t i = 0; i < count; ++i) {
            buffer[i] = script_[i];
        }
        script_ = script_.subspan(count);
        // A full read costs a byte time each; a short one waits out the total timeout.
        const int waitMs =
            count == wanted ? static_cast<int>(count) : static_cast<int>(50 * wanted) + constantMs_;
        clock_.SleepMs(waitMs);
        return count;
    }
    void Close() override {
        Check(open_);
        open_ = false;
    }
    bool open() const { return open_; }

private:
    std::span<const std::uint8_t> script_;
    SimulatedClock& clock_;
    bool open_ = false;
    int constantMs_ = kReadTotalConstantMs;
};

class CountingObserver final : public TransferObserver {
public:
    void SetProgress(int position, int total, const std::string&) override {
        Check(position >= 0 && position <= total);
    }
    void ShowMessage(const std::string&) override { ++messages; }
    void RequestClose() override { ++closes; }
    int messages = 0;
    int closes = 0;
};

class CountingMessenger final : public Messenger {
public:
    bool Show(const std::string&, MessageButtons) override {
        ++messages;
        return true;
    }
    int messages = 0;
};

MemoryImage StartImage() {
    MemoryImage image;
    for (std::size_t i = 0; i < kImageSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    for (std::size_t r = 0; r < 258; ++r) {
        image.write(r * 32, std::array<std::uint8_t, 4>{0x00, 0x25, 0x65, 0x14});
    }
    return image;
}

bool InRanges(std::size_t a, std::span<const CloneRange> ranges) {
    for (const CloneRange& r : ranges) {
        if (a >= r.start && a < r.end) {
            return true;
        }
    }
    return false;
}

// Only the read ranges may differ after a successful read; nothing after anything else.
void CheckImage(const MemoryImage& before, const MemoryImage& after,
                std::span<const CloneRange> readRanges) {
    for (std::size_t a = 0; a < kImageSize; ++a) {
        Check(before[a] == after[a] || InRanges(a, readRanges));
    }
}

void RunClone(const ClonePlan& plan, AppState& state, std::span<const std::uint8_t> script) {
    SimulatedClock clock;
    ScriptedLink link(script, clock);
    CountingObserver observer;
    const MemoryImage before = state.image;
    const CloneResult result =
        CloneSession(link, clock, observer).Run({plan, "fuzz", state.serviceMode, state.image});
    const bool ok = result.ok;
    Check(!link.open());
    Check(ok || result.image == before);
    const bool read = plan.direction == TransferDirection::Read;
    CheckImage(
        before, result.image,
        ok && read ? std::span<const CloneRange>(plan.ranges) : std::span<const CloneRange>());
    Check(ok ? observer.messages == (plan.initialization ? 1 : 0) : observer.messages == 1);
    Check(observer.closes == (ok && plan.initialization ? 0 : 1));
}

void RunService(const ServiceTransferPlan& plan, AppState& state,
                std::span<const std::uint8_t> script) {
    SimulatedClock clock;
    ScriptedLink link(script, clock);
    CountingMessenger messenger;
    const MemoryImage before = state.image;
    const ServiceResult result =
        ServiceTransfer(link, clock, messenger).Run({plan, "fuzz", state.image, {}});
    const bool ok = result.ok;
    Check(!link.open());
    Check(messenger.messages == 1);
    const bool read = plan.direction == TransferDirection::Read;
    CheckImage(before, result.image,
               ok && read ? plan.UsedRanges() : std::span<const CloneRange>());
}

void RunIdentify(AppState& state, std::span<const std::uint8_t> script) {
    SimulatedClock clock;
    ScriptedLink link(script, clock);
    CountingMessenger messenger;
    const MemoryImage before = state.image;
    const std::optional<IdentReply> reply =
        ServiceTransfer(link, clock, messenger).Identify("fuzz");
    if (reply) {
        DecodeIdentReply(*reply);
    }
    Check(!link.open());
    Check(messenger.messages == (reply ? 0 : 1));
    Check(before == state.image);
}

// The radio side must survive whatever a program sends it.
void FeedRadio(std::span<const std::uint8_t> bytes, std::uint8_t faults) {
    VirtualRadio radio;
    radio.faults().answerWakeUpFromAttempt = faults & 3;
    if (faults & 4) {
        radio.faults().shortBlock = faults >> 4;
    }
    if (faults & 8) {
        radio.faults().disconnectAfterBlock = faults >> 4;
    }
    const MemoryImage& memory = radio.memory();
    radio.Receive(bytes);
    Check(memory.all().size() == kImageSize);
}

}  // namespace
}  // namespace kestra

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    if (size < 2) {
        return 0;
    }
    const std::span<const std::uint8_t> script(data + 2, size - 2);
    AppState state;
    state.image = StartImage();
    state.serviceMode = (data[1] & 1) != 0;

    switch (data[0] % 9) {
        case 0:
            RunClone(ClonePlan::Read(), state, script);
            break;
        case 1:
            RunClone(ClonePlan::Write(), state, script);
            break;
        case 2:
            RunClone(ClonePlan::Initialization(), state, script);
            break;
        case 3:
            RunService(kParameterAdjustRead, state, script);
            break;
        case 4:
            RunService(kParameterAdjustWrite, state, script);
            break;
        case 5:
            RunService(kSqlAdjustRead, state, script);
            break;
        case 6:
            RunService(kDtmfInitializationRead, state, script);
            break;
        case 7:
            RunIdentify(state, script);
            break;
        default:
            FeedRadio(script, data[1]);
            break;
    }
    return 0;
}
