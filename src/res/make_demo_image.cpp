// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the demo radio's memory (src/res/demo-radio.dat): a new document with a few dozen
// named channels on 2 m and 70 cm (calling frequencies, repeaters with their offsets and CTCSS
// or DCS tones, simplex and receive-only channels) and both VFOs, encoded through the channel
// table exactly as a save would, so that bitmaps, first channels and limits agree with the
// records. The output is committed; run this only to change the demo's contents:
//
//   cmake --build <build> --target make_demo_image && <build>/make_demo_image
//   src/res/demo-radio.dat

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "model/document_file.hpp"

namespace {

using kestra::Column;

struct DemoChannel {
    int record;  // 0..127 A, 128..255 B, 256/257 the VFOs
    std::string_view name;
    std::string_view rx;
    std::string_view tx;  // empty: receive only
    std::string_view decode;
    std::string_view encode;
    std::string_view power;
    std::string_view scan;
    std::string_view width;
    std::string_view bcl;
};

constexpr int A(int n) {
    return n - 1;
}
constexpr int B(int n) {
    return 127 + n;
}

constexpr DemoChannel kChannels[] = {
    {A(1), "CALL 2M", "146.52000", "146.52000", "None", "None", "High", "Add", "Wide", "Off"},
    {A(2), "RPT N", "146.94000", "146.34000", "None", "100.0", "High", "Add", "Wide", "Off"},
    {A(3), "RPT E", "147.18000", "147.78000", "103.5", "103.5", "High", "Add", "Wide", "QT/DQT"},
    {A(4), "RPT S", "145.37000", "144.77000", "None", "88.5", "High", "Add", "Wide", "Off"},
    {A(5), "RPT W", "146.76000", "146.16000", "127.3", "127.3", "High", "Add", "Wide", "QT/DQT"},
    {A(6), "RPT DCS", "145.23000", "144.63000", "D023N", "D023N", "High", "Add", "Wide", "Off"},
    {A(7), "SIMPLX1", "146.55000", "146.55000", "None", "None", "Low", "Add", "Wide", "Off"},
    {A(8), "SIMPLX2", "146.58000", "146.58000", "None", "None", "Low", "Add", "Wide", "Off"},
    {A(9), "EMCOMM", "147.42000", "147.42000", "None", "None", "High", "Add", "Wide", "Carrier"},
    {A(10), "APRS", "144.39000", "144.39000", "None", "None", "Low", "Del", "Wide", "Carrier"},
    {A(11), "ISS", "145.80000", "144.49000", "None", "67.0", "High", "Del", "Wide", "Off"},
    {A(12), "MURS 1", "151.82000", "151.82000", "None", "None", "Low", "Add", "Narrow", "Off"},
    {A(13), "MURS 2", "151.88000", "151.88000", "None", "None", "Low", "Add", "Narrow", "Off"},
    {A(14), "MARINE", "156.80000", "", "None", "None", "Low", "Add", "Wide", "Off"},
    {A(15), "WX 1", "162.40000", "", "None", "None", "Low", "Add", "Wide", "Off"},
    {A(16), "WX 2", "162.42500", "", "None", "None", "Low", "Add", "Wide", "Off"},
    {A(17), "WX 3", "162.55000", "", "None", "None", "Low", "Add", "Wide", "Off"},
    {A(20), "FIELD", "146.43500", "146.43500", "151.4", "151.4", "Low", "Add", "Narrow", "Off"},
    {A(21), "NET TUE", "147.06000", "147.66000", "D754I", "D754I", "High", "Add", "Wide", "Off"},
    {A(22), "SKYWARN", "145.49000", "144.89000", "None", "110.9", "High", "Add", "Wide", "Off"},
    {B(1), "CALL 70", "446.00000", "446.00000", "None", "None", "High", "Add", "Wide", "Off"},
    {B(2), "RPT 70A", "442.10000", "447.10000", "None", "100.0", "High", "Add", "Wide", "Off"},
    {B(3), "RPT 70B", "444.92500", "449.92500", "131.8", "131.8", "High", "Add", "Wide", "QT/DQT"},
    {B(4), "RPT DCS", "443.45000", "448.45000", "D125N", "D125N", "High", "Add", "Wide", "Off"},
    {B(5), "PMR 1", "446.00625", "446.00625", "None", "None", "Low", "Add", "Narrow", "Off"},
    {B(6), "PMR 2", "446.01875", "446.01875", "None", "None", "Low", "Add", "Narrow", "Off"},
    {B(7), "PMR 8", "446.09375", "446.09375", "None", "None", "Low", "Add", "Narrow", "Off"},
    {B(8), "SIMP 70", "446.50000", "446.50000", "None", "None", "Low", "Add", "Wide", "Off"},
    {B(9), "HOTSPOT", "438.80000", "438.80000", "None", "None", "Low", "Del", "Narrow", "Off"},
    {B(10), "GMRS R1", "462.55000", "467.55000", "141.3", "141.3", "High", "Add", "Wide", "Off"},
    {B(11), "FRS 1", "462.56250", "462.56250", "None", "None", "Low", "Add", "Narrow", "Off"},
    {B(20), "BEACON", "432.10000", "", "None", "None", "Low", "Del", "Narrow", "Off"},
    {kestra::kVfoARecordIndex, "", "145.50000", "145.50000", "None", "None", "High", "Add", "Wide",
     "Off"},
    {kestra::kVfoBRecordIndex, "", "433.50000", "433.50000", "None", "None", "High", "Add", "Wide",
     "Off"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_image OUTPUT.dat\n");
        return 2;
    }
    // The built-in defaults, never a Default.dat lying around.
    kestra::MemoryImage image = kestra::BuiltInDocumentImage();
    kestra::SectionLimits limits;
    kestra::ChannelTable table;
    table.FillGridFromImage(image, limits);

    for (const DemoChannel& channel : kChannels) {
        const std::string_view cells[] = {channel.rx,     channel.tx,    channel.decode,
                                          channel.encode, channel.power, channel.scan,
                                          channel.width,  channel.bcl};
        for (int c = 0; c < kestra::kColumnCount; ++c) {
            table.SetCell(channel.record, static_cast<Column>(c), std::string(cells[c]));
        }
    }
    table.StoreGridToImage(image, limits, kestra::kDefaultModelIndex);

    // Names are not grid columns: bytes 24-30 of the record, 0xFF after the name.
    for (const DemoChannel& channel : kChannels) {
        const std::size_t base = kestra::RecordOffset(channel.record);
        image.fill(base + 24, 7, 0xFF);
        for (std::size_t i = 0; i < channel.name.size() && i < 7; ++i) {
            image[base + 24 + i] = static_cast<std::uint8_t>(channel.name[i]);
        }
    }

    const kestra::FileResult saved = kestra::SaveDocumentFile(argv[1], image);
    if (!saved) {
        std::fprintf(stderr, "make_demo_image: %s\n", saved.error.c_str());
        return 1;
    }
    return 0;
}
