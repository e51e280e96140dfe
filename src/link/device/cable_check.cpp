// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device/cable_check.hpp"

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "link/clock.hpp"
#include "link/device/qt_serial_link.hpp"
#include "link/port_names.hpp"
#include "link/radio_probe.hpp"
#include "link/transfer_messages.hpp"
#include "model/radio_models.hpp"

namespace kestra {

namespace {

bool IsPseudoTerminal(const std::string& device) {
    std::error_code ec;
    return std::filesystem::canonical(device, ec).string().starts_with("/dev/pts/");
}

// Whether the driver took low-latency mode at the test's open; nothing to say for a
// pseudo-terminal, which has no latency to lower.
std::optional<Finding> LowLatencyFinding(const QtSerialLink& serial, const std::string& device) {
    if (IsPseudoTerminal(device)) {
        return std::nullopt;
    }
    if (serial.LowLatency()) {
        return Finding{FindingLevel::Good, "Low-latency mode is on for " + device + "."};
    }
    return Finding{FindingLevel::Note,
                   "The driver of " + device +
                       " does not offer low-latency mode: transfers work, but may take some "
                       "seconds longer."};
}

// What the demo radio said, with the model named as the "Radio" box names the model of the
// memory it holds.
Finding DemoAnswer(const IdentReply& reply, const VirtualRadio& radio) {
    const RadioInformation info = DecodeIdentReply(reply);
    const std::array<Band, 2> bands = IdentReplyBands(reply);
    return {FindingLevel::Good, "The demo radio answered. Model " +
                                    std::string(ModelNameOfImage(radio.memory())) + ", firmware " +
                                    info.mcuVersion.value_or("(none given)") + ", bands " +
                                    BandText(bands[0]) + " and " + BandText(bands[1]) + "."};
}

}  // namespace

DoctorReport CheckCable(const ChosenPort& port, const LinkFactory& links) {
    SteadyClock clock;
    const std::unique_ptr<SerialLink> link = links.Create(port.device);
    if (port.device == kDemoDevice && links.demoRadio() != nullptr) {
        // The built-in demo radio has no cable to examine; its answer still shows the test works.
        const ProbeResult probe = ProbeRadio(*link, clock, port.device);
        DoctorReport report;
        report.findings = {
            {FindingLevel::Note, "The chosen port is the built-in demo radio, not a cable."},
            probe.reply ? DemoAnswer(*probe.reply, *links.demoRadio()) : probe.finding};
        report.portOpened = probe.opened;
        report.radioAnswered = probe.answered;
        report.demoRadio = true;
        return report;
    }

    auto* serial = dynamic_cast<QtSerialLink*>(link.get());
    DoctorReport report = RunCableDoctor(
        DoctorEnvironment::ThisSystem(), port, *link, clock,
        [serial] { return serial != nullptr ? serial->ErrorText() : std::string(); });
    if (serial != nullptr && report.portOpened) {
        if (auto finding = LowLatencyFinding(*serial, port.device)) {
            // Before the radio's answer, which stays the last line.
            report.findings.insert(report.findings.end() - 1, std::move(*finding));
        }
    }
    return report;
}

}  // namespace kestra
