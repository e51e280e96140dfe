// SPDX-License-Identifier: GPL-3.0-or-later
// Serial lines for the transfers: the real port or the demo radio.

#include "link/device/link_factory.hpp"

#include <QFile>

#include <algorithm>

#include "link/port_names.hpp"
#include "link/device/qt_serial_link.hpp"
#include "link/virtual_radio_link.hpp"
#include "model/document_file.hpp"

namespace kestra {

DemoRadio::DemoRadio(const QString& resource, int baud) {
    radio_.faults().baud = baud;
    QFile file(resource);
    if (file.open(QIODevice::ReadOnly)) {
        // Like Default.dat: up to one image of bytes, the rest stays erased.
        const QByteArray bytes = file.read(static_cast<qint64>(kImageSize));
        if (!bytes.isEmpty()) {
            MemoryImage& memory = radio_.memory();
            const auto count = static_cast<std::size_t>(bytes.size());
            std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.constData()), count,
                        memory.all().begin());
            loadedFromResource_ = true;
        }
    }
    if (!loadedFromResource_) {
        radio_.memory() = BuiltInDocumentImage();
    }
}

std::unique_ptr<SerialLink> LinkFactory::Create(std::string_view device) const {
    if (demoRadio_ != nullptr && device == kDemoDevice) {
        return std::make_unique<VirtualRadioLink>(*demoRadio_);
    }
    return std::make_unique<QtSerialLink>();
}

}  // namespace kestra
