// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/radio_probe.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>

#include "link/ident_reply.hpp"
#include "link/transfer_messages.hpp"
#include "link/wire_protocol.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

// The clone transfer's pause before each byte of the wake-up string.
constexpr int kCloneWakeUpPauseMs = 1;

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(byte));
        text += (text.empty() ? "" : " ") + std::string(hex);
    }
    return text;
}

Finding Problem(std::string text) {
    return {FindingLevel::Problem, std::move(text)};
}

// After a wake-up nobody answered: a second, plain wake-up string shows whether the line hands
// back what was sent (a cable whose plug is not in the radio often does) or whether something
// other than the radio answers.
Finding ExplainSilence(SerialLink& link, const std::string& device) {
    link.Purge();
    link.Write(kWakeUpString);
    std::array<std::uint8_t, kWakeUpString.size()> heard{};
    const std::size_t count = link.Read(heard);
    if (count == heard.size() && std::equal(heard.begin(), heard.end(), kWakeUpString.begin())) {
        return Problem("The cable on " + device +
                       " hands back what the program sends, and the radio does not answer: the "
                       "plug is not in the radio's socket, or not pushed in fully. Push it in "
                       "firmly until it seats (many radios need more force than expected), then "
                       "run the check again.");
    }
    if (count > 0) {
        return Problem("Something on " + device + " answered, but not as the radio does (" +
                       HexBytes(std::span(heard).first(count)) +
                       "): check that this port is the radio's programming cable and not another "
                       "device, and that no other program is using it.");
    }
    return Problem("No answer from the radio on " + device +
                   " to the wake-up. Check that the radio is switched on (the volume knob is "
                   "usually its switch) with the volume turned up, that the cable's plug is "
                   "pushed fully into the radio's socket, and that this is the cable's port: "
                   "unplug the cable and the device that disappears is the right one.");
}

Finding Identified(const IdentReply& reply, const std::string& device) {
    const RadioInformation info = DecodeIdentReply(reply);
    const std::array<Band, 2> bands = IdentReplyBands(reply);
    const std::string model = info.model.empty() ? "(no name)" : info.model;
    const std::string what = "model " + model + ", firmware " +
                             info.mcuVersion.value_or("(none given)") + ", bands " +
                             BandText(bands[0]) + " and " + BandText(bands[1]);
    const bool plausible = std::all_of(bands.begin(), bands.end(), [](const Band& band) {
        return LimitsAreValid(band.lower, band.upper);
    });
    if (!plausible) {
        return Problem("Radio answered on " + device + ": " + what +
                       ". These band limits are not plausible, so Program, Read refuses this "
                       "radio (\"Data is invalid, please write data\"); switch it off and on and "
                       "check again.");
    }
    return {FindingLevel::Good, "Radio answered on " + device + ": " + what + "."};
}

}  // namespace

ProbeResult ProbeRadio(SerialLink& link, Clock& clock, const std::string& device,
                       const std::function<std::string()>& openErrorText) {
    ProbeResult result;
    if (!link.Open(device)) {
        const std::string why = openErrorText ? openErrorText() : std::string();
        result.finding =
            Problem("Could not open " + device + (why.empty() ? "" : " (" + why + ")") +
                    ": the lines above say why where the system tells; close other "
                    "programs that use the port, or unplug the cable and plug it in "
                    "again.");
        return result;
    }
    result.opened = true;
    link.ApplySettings(kReadTotalConstantMs);
    link.Purge();

    WireProtocol wire(link, clock);
    if (!wire.WakeUp(kCloneWakeUpPauseMs)) {
        result.finding = ExplainSilence(link, device);
        link.Close();
        return result;
    }
    const std::optional<IdentReply> reply = wire.RequestIdent();
    wire.SendEnd(kEndOfRead);
    link.Close();
    if (!reply ||
        std::all_of(reply->begin(), reply->end(), [](std::uint8_t byte) { return byte == 0; })) {
        result.finding = Problem("The radio on " + device +
                                 " answered the wake-up but sent no complete identification: "
                                 "switch it off and on again and run the check again.");
        return result;
    }
    result.answered = true;
    result.reply = reply;
    result.finding = Identified(*reply, device);
    return result;
}

}  // namespace kestra
