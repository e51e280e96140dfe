// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process-wide values of a running program, held in one place next to the one memory image:
// the image itself, the section limits, the serial port choice, the service-mode and busy flags
// and the Auto Dial Call ID. The application object owns one; everything else gets a reference.

#include <atomic>
#include <string>

#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

struct AppState {
    MemoryImage image;
    SectionLimits limits;
    // "COM%d" below 10, "\\.\COM%d" from 10 on; built from [Setup] COM at start-up.
    std::string portName = "COM1";
    // An explicit device path ([Setup] Device or --port) that overrides portName when not empty.
    std::string deviceOverride;
    // Set by the password gate, never cleared while the program runs.
    bool serviceMode = false;
    // Set while a clone transfer's worker runs.
    std::atomic<bool> busy{false};
    // The Auto Dial page's Call ID: held in memory only, "100" at start-up.
    std::string autoDialCallId = "100";
};

}  // namespace kestra
