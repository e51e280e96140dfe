// SPDX-License-Identifier: GPL-3.0-or-later
#include "fleet/fleet_plan.hpp"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "model/ascii.hpp"
#include "model/image_map.hpp"
#include "settings/dtmf_settings.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

// The device a name opens, with symbolic links followed where the device exists:
// /dev/serial/by-id/... and /dev/ttyUSB0 are one port.
std::string RealDevice(const std::string& device) {
    std::error_code ec;
    const fs::path real = fs::canonical(device, ec);
    return ec ? device : real.string();
}

bool IsSafeFileCharacter(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '_' || c == '.';
}

// "/dev/pts/4" -> "pts_4", "\\.\COM12" -> "COM12", "demo" -> "demo".
std::string SafeStem(std::string_view port) {
    for (std::string_view prefix : {std::string_view("/dev/"), std::string_view("\\\\.\\")}) {
        if (port.starts_with(prefix) && port.size() > prefix.size()) {
            port.remove_prefix(prefix.size());
        }
    }
    std::string stem;
    for (char c : port) {
        stem.push_back(IsSafeFileCharacter(c) ? c : '_');
    }
    // No hidden file, and never "." or "..".
    if (!stem.empty() && stem.front() == '.') {
        stem.front() = '_';
    }
    return stem.empty() ? "port" : stem;
}

}  // namespace

std::string FleetPortProblem(const std::vector<FleetPort>& ports) {
    if (ports.empty()) {
        return "no --port given: name every radio's port with --port P";
    }
    std::vector<std::string> devices;
    for (const FleetPort& port : ports) {
        devices.push_back(RealDevice(port.device));
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (devices[i] == devices[j]) {
                const std::string twice = ports[i].name == ports[j].name
                                              ? ports[i].name + " is given twice"
                                              : ports[j].name + " and " + ports[i].name +
                                                    " are the same port (" + devices[i] + ")";
                return twice + ": one cable can program only one radio at a time";
            }
        }
    }
    return {};
}

std::optional<std::vector<std::string>> NumberOwnIds(std::string_view start, std::size_t count,
                                                     std::string& error) {
    const std::size_t maxDigits = map::kOwnIdSize;
    if (start.empty() || start.size() > maxDigits ||
        !std::all_of(start.begin(), start.end(), IsAsciiDigit)) {
        error = "an Own ID is 1 to " + std::to_string(maxDigits) + " digits, not '" +
                std::string(start) + "'";
        return std::nullopt;
    }
    std::uint64_t first = 0;
    for (char c : start) {
        first = first * 10 + static_cast<std::uint64_t>(c - '0');
    }
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < count; ++i) {
        std::string id = std::to_string(first + i);
        if (id.size() < start.size()) {
            id.insert(0, start.size() - id.size(), '0');
        }
        if (id.size() > maxDigits) {
            error = "numbering " + std::to_string(count) + " radios from " + std::string(start) +
                    " would give radio " + std::to_string(i + 1) + " the Own ID " + id +
                    ", more than " + std::to_string(maxDigits) + " digits";
            return std::nullopt;
        }
        ids.push_back(std::move(id));
    }
    return ids;
}

std::optional<MemoryImage> WithOwnId(const MemoryImage& image, std::string_view ownId,
                                     std::string& error) {
    // The Call ID is held in memory only and never reaches the image.
    std::string callId;
    DtmfAutoDialPage page(callId);
    page.LoadFromImage(image);
    if (auto refused = page.Enter(DtmfAutoDialPage::kOwnId, ownId)) {
        error = std::move(*refused);
        return std::nullopt;
    }
    MemoryImage numbered = image;
    page.StoreToImage(numbered);
    return numbered;
}

std::optional<std::vector<FleetRadio>> FleetWriteRadios(
    const std::vector<FleetPort>& ports, const MemoryImage& image,
    const std::optional<std::string>& ownIdStart, std::string& error) {
    std::optional<std::vector<std::string>> ownIds;
    if (ownIdStart && !(ownIds = NumberOwnIds(*ownIdStart, ports.size(), error))) {
        return std::nullopt;
    }
    std::vector<FleetRadio> radios;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        FleetRadio radio{ports[i].name, ports[i].device, image, std::nullopt, {}};
        if (ownIds) {
            const auto numbered = WithOwnId(image, (*ownIds)[i], error);
            if (!numbered) {
                return std::nullopt;
            }
            radio.image = *numbered;
            radio.ownId = (*ownIds)[i];
        }
        radios.push_back(std::move(radio));
    }
    return radios;
}

std::vector<fs::path> FleetReadFiles(const fs::path& folder, const std::vector<FleetPort>& ports) {
    std::vector<std::string> names;
    std::vector<fs::path> files;
    for (const FleetPort& port : ports) {
        const std::string stem = SafeStem(port.name);
        std::string name = stem + ".dat";
        for (int n = 2; std::any_of(names.begin(), names.end(),
                                    [&name](const std::string& taken) {
                                        return EqualsIgnoringAsciiCase(taken, name);
                                    });
             ++n) {
            name = stem + "-" + std::to_string(n) + ".dat";
        }
        names.push_back(name);
        files.push_back(folder / name);
    }
    return files;
}

}  // namespace kestra
