// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cable doctor's live test of a port: open it as a transfer does, wake the radio with the
// clone protocol's wake-up, ask for its identification and end the session, then close the port.
// The answer is one finding: "Radio answered: model, firmware, bands", or what to check when the
// port does not open, nothing answers, the cable only echoes what was sent, or something else
// answers. Nothing is read from or written to the radio's memory.

#include <functional>
#include <optional>
#include <string>

#include "link/clock.hpp"
#include "link/doctor_finding.hpp"
#include "link/ident_reply.hpp"
#include "link/serial_link.hpp"

namespace kestra {

struct ProbeResult {
    Finding finding;
    bool opened = false;              // the port opened
    bool answered = false;            // the radio identified itself
    std::optional<IdentReply> reply;  // its identification, when it answered
};

// openErrorText, when given, says why an open failed ("Permission denied").
ProbeResult ProbeRadio(SerialLink& link, Clock& clock, const std::string& device,
                       const std::function<std::string()>& openErrorText = {});

}  // namespace kestra
