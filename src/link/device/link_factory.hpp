// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a transfer gets its serial line. Each transfer creates its own link on the thread that
// runs it: the real serial port for a device path, or the in-process line to the built-in demo
// radio for the device name "demo". The demo radio lives as long as the program (DemoRadio), so
// what one transfer writes to it the next one reads back.

#include <QString>

#include <memory>
#include <string_view>

#include "link/serial_link.hpp"
#include "link/virtual_radio.hpp"

namespace kestra {

// The memory the demo radio starts with, shipped with the program.
inline constexpr const char* kDemoRadioResource = ":/demo/demo-radio.dat";
// The demo radio talks at the real radio's line speed, so a transfer looks like a real one.
inline constexpr int kDemoRadioBaud = 9600;

// The program's demo radio: a VirtualRadio whose memory comes from the shipped sample image,
// or from a new document's image when the program was built without it.
class DemoRadio {
public:
    explicit DemoRadio(const QString& resource = QString::fromLatin1(kDemoRadioResource),
                       int baud = kDemoRadioBaud);

    VirtualRadio& radio() { return radio_; }
    // Whether the memory came from the resource (false: the new-document image).
    bool loadedFromResource() const { return loadedFromResource_; }

private:
    VirtualRadio radio_;
    bool loadedFromResource_ = false;
};

class LinkFactory {
public:
    // demoRadio may be null: "demo" is then an ordinary device name that no port has.
    explicit LinkFactory(VirtualRadio* demoRadio = nullptr) : demoRadio_(demoRadio) {}

    // A new, closed link for one transfer, for use on the calling thread only.
    std::unique_ptr<SerialLink> Create(std::string_view device) const;

    VirtualRadio* demoRadio() const { return demoRadio_; }

private:
    VirtualRadio* demoRadio_;
};

}  // namespace kestra
