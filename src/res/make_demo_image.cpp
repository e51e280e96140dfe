// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the demo radio's memory (src/res/demo-radio.dat): a new document with a few dozen
// named channels on 2 m and 70 cm (calling frequencies, repeaters with their offsets and CTCSS
// or DCS tones, simplex and receive-only channels) and both VFOs, encoded through the channel
// table exactly as a save would, so that bitmaps, first channels and limits agree with the
// records. It also holds what a calibrated unit from the factory holds: transmit power, squelch
// thresholds and detection points, deviations and audio gains, DTMF decoder registers and the
// squelch table, rising smoothly over each band, set through the service editors' own file
// (every value as typing it into its box would set it), and a few broadcast stations. Every
// settings and service editor opened on it shows what it holds and changes nothing when closed.
// The output is committed; run this only to change the demo's contents:
//
//   cmake --build <build> --target make_demo_image && <build>/make_demo_image
//   src/res/demo-radio.dat

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "model/document_file.hpp"
#include "service/calibration_file.hpp"
#include "service/parameter_adjust.hpp"
#include "service/sql_adjust.hpp"
#include "settings/settings_text.hpp"

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

// The service editors' boxes, as a technician leaves them after aligning a unit.
constexpr std::string_view kParameterBoxes =
    "V PA Drive=10\nU PA Drive=12\nVoice Tx Gain=32\nTransmit Gain=8\n"
    "Narrow XMITTER Dev=380\nWide XMITTER Dev=760\nNarrow AC Dev=20\nNarrow DC Dev=24\n"
    "Wide AC Dev=40\nWide DC Dev=46\nReceive Input=16\nRecieve Output=10\nVolume=8\n"
    "Signal MOD=120\nMIC Gain=18\nMOD Gain=512\nVoice Input=14\nVoice Output=160\n"
    "Scrambler Voice=100\nCompander Voice=30\nPressure Threshold=1A00\n"
    "Expand Threshold=0C00\nV sql low threshold=40\nU sql low threshold=44\n"
    "Test Mode=0\nMCU LPF=1\nMCU HPF=1\nRDA1846S LPF=1\nRDA1846S HPF=1\nRDA1846S RSSI=1\n"
    "Pre emphasis=1\nDe emphasis=1\nMCU Pre emphasis=0\nMCU De emphasis=0\n";

constexpr std::string_view kDtmfRegisters =
    "[DTMF Initialization]\nL_group high threshold=0E00\nL_group low threshold=0600\n"
    "H_group high threshold=0F00\nH_group low threshold=0700\nPower clipper level=2400\n"
    "Power clipper time=0010\nTotal_P diff DTMF_P threshold=0180\nNon-power clipper=1800\n"
    "Non-power hold time 1=0020\nNon-power hold time 2=0030\nTwist=0006\n";

// Grid values per band at the band's low, middle and high point: more drive and higher
// thresholds towards the top of each band, as a real transmitter and receiver need.
// clang-format off
constexpr int kPower[6][3] = {{38, 42, 47}, {112, 121, 133}, {44, 49, 55},
                              {124, 134, 147}, {52, 58, 66}, {138, 151, 168}};
constexpr int kSqlLevels[6][3] = {{34, 36, 39}, {88, 92, 97}, {37, 39, 43},
                                  {93, 97, 103}, {40, 43, 47}, {98, 104, 111}};
// clang-format on
// Squelch detection: W High, W Low, N High, N Low of detection point 1 of the first band.
constexpr int kDetection[4] = {62, 56, 68, 60};

// Sql Adjust's measurements per row (Noise1, RSSI1, Noise2, RSSI3) and column (W High, W Low,
// N High, N Low) at the bottom of a band; each rises a little towards its top. A narrow noise
// threshold lies above the wide one and each Low 10 below its High, so the four curves keep a
// few pixels apart. The signal strength does not depend on the bandwidth, so its wide and
// narrow columns are equal.
constexpr int kSqlBase[4][4] = {
    {80, 70, 85, 75}, {46, 40, 46, 40}, {94, 84, 99, 89}, {58, 52, 58, 52}};
constexpr int kSqlRise[4] = {10, 8, 10, 8};

std::string Line(const std::string& key, int value) {
    return key + "=" + std::to_string(value) + "\n";
}

std::string DemoCalibration() {
    using namespace kestra;
    std::string text = "[Parameter Adjust]\n" + std::string(kParameterBoxes);
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 3; ++c) {
            const std::string column(GridOf(GridId::Power).headers[static_cast<std::size_t>(c)]);
            text += Line(GridRowLabel(GridOf(GridId::Power), r) + "/" + column, kPower[r][c]);
            text += Line(GridRowLabel(GridOf(GridId::Sql), r) + "/" + column, kSqlLevels[r][c]);
        }
    }
    const CalibrationGrid& detection = GridOf(GridId::SquelchDetection);
    for (int r = 0; r < detection.rowCount; ++r) {
        for (int c = 0; c < detection.columnCount; ++c) {
            text += Line(GridRowLabel(detection, r) + "/" +
                             std::string(detection.headers[static_cast<std::size_t>(c)]),
                         kDetection[c] + 4 * GridRowBand(detection, r) + 3 * (r % 3));
        }
    }
    text += kDtmfRegisters;
    text += "[Sql Adjust]\n";
    for (const SqlPoint& point : AllSqlPoints()) {
        const std::vector<SqlPoint> band = SqlPointsOfBand(point.band);
        const double share = static_cast<double>(point.mhz - band.front().mhz) /
                             static_cast<double>(band.back().mhz - band.front().mhz);
        for (std::size_t k = 0; k < kSqlCellCount; ++k) {
            const std::size_t row = k / kSqlGridSize;
            const std::size_t column = k % kSqlGridSize;
            const int value = kSqlBase[row][column] + 2 * point.band +
                              static_cast<int>(std::lround(kSqlRise[row] * share));
            text += Line(BandText(point.band) + " " + std::to_string(point.mhz) + "/" +
                             std::string(kSqlRowLabels[row]) + "/" +
                             std::string(kSqlColumnHeaders[column]),
                         value);
        }
    }
    return text;
}

constexpr std::string_view kDemoSettings =
    "[Radio]\nCurrent Freq=94.300\nCurrent CH=2\nCH 1=88.100\nCH 2=94.300\nCH 3=101.500\n"
    "CH 4=104.800\n";

// The settings and service editors' contents; false when one of them refuses a value.
bool SetEditors(kestra::MemoryImage& image) {
    std::string callId;
    kestra::SettingsForms forms(callId);
    forms.LoadFromImage(image);
    if (const auto error = kestra::ApplySettingsText(kDemoSettings, forms)) {
        std::fprintf(stderr, "make_demo_image: settings line %d: %s\n", error->line,
                     error->message.c_str());
        return false;
    }
    forms.StoreToImage(image);
    if (const auto error = kestra::ApplyCalibrationFile(DemoCalibration(), image)) {
        std::fprintf(stderr, "make_demo_image: calibration %s\n", error->c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_image OUTPUT.dat\n");
        return 2;
    }
    // The built-in defaults, never a Default.dat lying around.
    kestra::MemoryImage image = kestra::BuiltInDocumentImage();
    if (!SetEditors(image)) {
        return 1;
    }
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
