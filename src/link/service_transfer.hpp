#pragma once
// The short synchronous exchanges of the service dialogs: a read or a write of one or two fixed
// image ranges, or an identify that only fetches the radio's 32-byte identification reply. They
// use the clone transfer's wire format without its progress dialog, busy flag or plausibility
// test, and report through a Messenger ("Read complete", "Write complete", or the failure). A
// read lands in the image only when every block arrived.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "model/app_state.hpp"
#include "model/messenger.hpp"
#include "link/clock.hpp"
#include "link/clone_range.hpp"
#include "link/ident_reply.hpp"
#include "link/serial_link.hpp"
#include "model/image_map.hpp"

namespace kestra {

enum class ServiceKind { Read, Write, Identify };

// Where the service transfers differ: what they move, the read total constant of the port and
// the pause before each byte of the wake-up string.
struct ServiceTransferPlan {
    ServiceKind kind = ServiceKind::Read;
    std::array<CloneRange, 2> ranges{};
    int rangeCount = 0;
    int readTotalConstantMs = kReadTotalConstantMs;
    int wakeUpPauseMs = 1;

    // The first rangeCount entries of ranges.
    std::span<const CloneRange> UsedRanges() const;
    int BlockCount() const;
};

inline constexpr ServiceTransferPlan kParameterAdjustRead{
    ServiceKind::Read,
    {{{map::kCalibration, map::kCalibrationEnd}, {}}},
    1,
    kReadTotalConstantMs,
    1};
inline constexpr ServiceTransferPlan kParameterAdjustWrite{
    ServiceKind::Write,
    {{{map::kCalibration, map::kCalibrationEnd}, {map::kBandPoints, map::kBandPointsEnd}}},
    2,
    kReadTotalConstantMs,
    1};
inline constexpr ServiceTransferPlan kDtmfInitializationRead{
    ServiceKind::Read, {{{map::kDtmfInit, map::kDtmfInitEnd}, {}}}, 1, kReadTotalConstantMs, 1};
inline constexpr ServiceTransferPlan kDtmfInitializationWrite{
    ServiceKind::Write, {{{map::kDtmfInit, map::kDtmfInitEnd}, {}}}, 1, kReadTotalConstantMs, 1};
inline constexpr ServiceTransferPlan kSqlAdjustRead{
    ServiceKind::Read,
    {{{map::kSquelchTable, map::kSquelchTableEnd}, {}}},
    1,
    kSqlReadTotalConstantMs,
    1};
inline constexpr ServiceTransferPlan kSqlAdjustWrite{
    ServiceKind::Write,
    {{{map::kSquelchTable, map::kSquelchTableEnd}, {map::kBandPoints, map::kBandPointsEnd}}},
    2,
    kSqlReadTotalConstantMs,
    1};
inline constexpr ServiceTransferPlan kRadioInformationIdentify{
    ServiceKind::Identify, {}, 0, kReadTotalConstantMs, 2};

class ServiceTransfer {
public:
    // Opens ResolveDevice(state.portName, state.deviceOverride); reads and writes state.image.
    ServiceTransfer(AppState& state, SerialLink& link, Clock& clock, Messenger& messenger);

    // A read or write plan; true on success after "Read complete" / "Write complete" was shown,
    // false after the failure message. A failed read leaves the image exactly as it was.
    bool Run(const ServiceTransferPlan& plan);
    bool Read(const ServiceTransferPlan& plan) { return Run(plan); }
    bool Write(const ServiceTransferPlan& plan) { return Run(plan); }

    // The identify transfer: the radio's reply, or nothing after the failure message. No message
    // on success.
    std::optional<IdentReply> Identify(const ServiceTransferPlan& plan = kRadioInformationIdentify);

private:
    // Opens the line with the plan's read timeout and empties its queues; false after "Open port
    // fail".
    bool OpenLine(const ServiceTransferPlan& plan);

    AppState& state_;
    SerialLink& link_;
    Clock& clock_;
    Messenger& messenger_;
};

}  // namespace kestra
