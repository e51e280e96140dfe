// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a fleet run decides before anything is sent: the ports (the same device given twice is
// refused, whatever names lead to it), the DTMF Own ID of each radio when they are numbered, each
// radio's image (the one prepared image, with only what its Own ID changes) and, for a read, the
// file each radio's memory is saved to. The command-line tool and the desktop program's "Write
// to Several Radios..." share these rules.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/fleet_run.hpp"
#include "model/memory_image.hpp"

namespace kestra {

// A port as the user named it and the device it opens.
struct FleetPort {
    std::string name;    // "COM3", "/dev/pts/4", "demo"
    std::string device;  // "/dev/ttyUSB2"
};

// Why the ports cannot be used together: none given, or two of them open the same device
// (compared after following symbolic links). Empty when they can.
std::string FleetPortProblem(const std::vector<FleetPort>& ports);

// The Own IDs of count radios numbered from start: start, start + 1, ... as digit texts at
// least as wide as start, so "007" numbers 007, 008, ... Nothing, with the reason in error, when
// start is not 1 to 7 digits or the last radio's number would need more than 7.
std::optional<std::vector<std::string>> NumberOwnIds(std::string_view start, std::size_t count,
                                                     std::string& error);

// The image with the DTMF Own ID set as the Auto Dial page sets a typed one: the page opened on
// the image, the Own ID typed and left (the stored codes that end with the old identity follow
// the new one), the page closed. Nothing, with the page's reason in error, when the page refuses
// the text.
std::optional<MemoryImage> WithOwnId(const MemoryImage& image, std::string_view ownId,
                                     std::string& error);

// The radios of a write to ports: each gets the image, with its own Own ID when ownIdStart
// numbers them (NumberOwnIds, then WithOwnId). Nothing, with the reason in error, when the
// numbering is refused.
std::optional<std::vector<FleetRadio>> FleetWriteRadios(
    const std::vector<FleetPort>& ports, const MemoryImage& image,
    const std::optional<std::string>& ownIdStart, std::string& error);

// The file a fleet read saves each port's radio to: folder / a name made from the port that
// every file system takes ("/dev/ttyUSB0" -> "ttyUSB0.dat", "/dev/pts/4" -> "pts_4.dat",
// "COM3" -> "COM3.dat"); two ports that would share a name get "-2", "-3", ...
std::vector<std::filesystem::path> FleetReadFiles(const std::filesystem::path& folder,
                                                  const std::vector<FleetPort>& ports);

}  // namespace kestra
