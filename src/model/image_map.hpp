#pragma once
// Where things live in the memory image. Offsets are at the same time radio addresses and file
// offsets; every editor, the channel view and the clone protocol name their areas through these
// constants instead of bare numbers. Field layouts inside the settings areas belong to the
// editors that own them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestra::map {

// ---- channel records ------------------------------------------------------------------------
inline constexpr std::size_t kRecordBase = 0x0000;  // A001-A128, then B001-B128
inline constexpr std::size_t kSectionBRecords = 0x1000;
inline constexpr std::size_t kVfoARecord = 0x2000;  // record 256, "A VFO"
inline constexpr std::size_t kVfoBRecord = 0x2020;  // record 257, "B VFO"

// Eight fixed bytes inside record 251 (B124), on its bytes 16-23 (shift amount, reserved bytes),
// that the image preparation rewrites before every save and write; a new document sets only the
// last of them.
inline constexpr std::size_t kFixedGroup = 0x1F70;
inline constexpr std::size_t kFixedGroupSize = 8;
inline constexpr std::array<std::uint8_t, kFixedGroupSize> kFixedGroupBytes{0xB0, 0x01, 0x04, 0x0A,
                                                                            0x08, 0x02, 0x88, 0xAA};

// ---- radio menu settings and DTMF -----------------------------------------------------------
inline constexpr std::size_t kMenuSettings = 0x2040;
inline constexpr std::size_t kMenuSettingsEnd = 0x2080;
inline constexpr std::size_t kCurrentChannelA = 0x204F;  // 0-based record index in section A
inline constexpr std::size_t kCurrentChannelB = 0x2050;  // 0-based record index in section B
inline constexpr std::size_t kPowerOnMessage = 0x2060;   // 7 bytes
inline constexpr std::size_t kDualWait = 0x2070;         // 2 bytes

inline constexpr std::size_t kDtmfSettings = 0x2080;
inline constexpr std::size_t kDtmfSettingsEnd = 0x2180;
inline constexpr std::size_t kOwnId = 0x20B0;          // Auto Dial "Own ID", 7 codes
inline constexpr std::size_t kAutoDialCodes = 0x20E0;  // ten rows of 16 codes

// Menu bits the radio must not find set: the image preparation clears them before every save
// and write ("Tail Mode" among them, so it always reaches the radio as "Frequency").
struct ClearedBits {
    std::size_t offset;
    std::uint8_t mask;
};
inline constexpr std::array<ClearedBits, 3> kPreparationClearedBits{{
    {0x204C, 0x60},  // bits 5 and 6
    {0x204D, 0xC0},  // bits 6 and 7
    {0x204E, 0x31},  // bits 0, 4 and 5
}};

// ---- a new document -------------------------------------------------------------------------
// Besides 258 cleared records, the built-in new document holds these menu and DTMF defaults of
// a factory-fresh radio, and the DTMF texts below as codes; every other byte is 0xFF.
struct ByteValue {
    std::size_t offset;
    std::uint8_t value;
};
inline constexpr std::array<ByteValue, 23> kNewDocumentBytes{{
    {0x1F77, 0x0A}, {0x2040, 0x1E}, {0x2042, 0x04}, {0x2043, 0x04}, {0x2044, 0x04}, {0x2046, 0x05},
    {0x2047, 0x01}, {0x2048, 0x03}, {0x2049, 0x0E}, {0x204A, 0x90}, {0x204B, 0x28}, {0x204C, 0x8A},
    {0x204D, 0x0D}, {0x2080, 0x32}, {0x2081, 0x04}, {0x2082, 0x02}, {0x2083, 0x02}, {0x20A8, 0x0E},
    {0x20D8, 0x0A}, {0x20D9, 0x45}, {0x20DA, 0xFA}, {0x20DB, 0x0A}, {0x20DD, 0x0E},
}};
struct DtmfText {
    std::size_t offset;
    std::string_view text;
};
inline constexpr std::array<DtmfText, 2> kNewDocumentDtmfTexts{{
    {kOwnId, "100"}, {kAutoDialCodes, "100*100"},  // the first code row
}};

// ---- calibration and summary areas ----------------------------------------------------------
inline constexpr std::size_t kSquelchTable = 0x2A00;
inline constexpr std::size_t kSquelchTableEnd = 0x2CE0;

inline constexpr std::size_t kEncodeFilled = 0x2E00;  // 16 bytes 0xFF after every encode
inline constexpr std::size_t kEncodeFilledSize = 16;
inline constexpr std::size_t kModelLimits = 0x2E10;  // ModelLimitsBlock, 16 bytes
inline constexpr std::size_t kModelLimitsSize = 16;
// A section's pair in the block: its lower limit, then its upper limit, each a Bcd8.
constexpr std::size_t ModelLimitsOf(int section) {
    return kModelLimits + static_cast<std::size_t>(section) * 8;
}
inline constexpr std::size_t kFirstChannelA = 0x2E20;  // 1-based, 0xFF when none
inline constexpr std::size_t kFirstChannelB = 0x2E21;
inline constexpr std::size_t kFirstChannelFill = 0x2E28;  // 16 bytes 0xFF after every encode
inline constexpr std::size_t kFirstChannelFillSize = 16;

// Channel bitmaps: 16 bytes each, channel k of a section is bit (k-1) % 8 of byte (k-1) / 8.
inline constexpr std::size_t kBitmapSize = 16;
inline constexpr std::size_t kPresentMapA = 0x2E40;
inline constexpr std::size_t kScanMapA = 0x2E50;
inline constexpr std::size_t kPresentMapB = 0x2E60;
inline constexpr std::size_t kScanMapB = 0x2E70;
inline constexpr std::size_t kBitmapsEnd = 0x2E80;

constexpr std::size_t PresentMapOf(int section) {
    return section == 0 ? kPresentMapA : kPresentMapB;
}
constexpr std::size_t ScanMapOf(int section) {
    return section == 0 ? kScanMapA : kScanMapB;
}

inline constexpr std::size_t kSectionWindows = 0x2E80;  // four Bcd8 values
inline constexpr std::size_t kSecondBitmaps = 0x2E90;   // four 16-byte bitmaps, all clear
inline constexpr std::size_t kSecondBitmapsSize = 64;

inline constexpr std::size_t kModelBlock = 0x2F00;  // 0xFF, then the model's bytes
inline constexpr std::size_t kModelBlockSize = 0x70;
inline constexpr std::size_t kModelTail = 0x2F70;  // 9 fixed bytes
inline constexpr std::size_t kModelTailSize = 9;
inline constexpr std::array<std::uint8_t, kModelTailSize> kModelTailBytes{
    0xB0, 0x01, 0x00, 0x0A, 0x01, 0x00, 0x88, 0xAA, 0x10};

inline constexpr std::size_t kBroadcast = 0x2F80;  // broadcast receiver settings
inline constexpr std::size_t kBroadcastEnd = 0x2FD8;

inline constexpr std::size_t kDtmfInit = 0x3E00;  // DTMF decoder calibration
inline constexpr std::size_t kDtmfInitEnd = 0x3E30;

inline constexpr std::size_t kCalibration = 0x3ED0;
inline constexpr std::size_t kCalibrationEnd = 0x3F70;
inline constexpr std::size_t kBandPoints = 0x3F70;  // derived from the calibration block
inline constexpr std::size_t kBandPointsEnd = 0x3FAC;

}  // namespace kestra::map
