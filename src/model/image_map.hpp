#pragma once
// Where things live in the memory image. Offsets are at the same time radio addresses and file
// offsets; every editor, the channel view and the clone protocol name their areas through these
// constants instead of bare numbers. Field layouts inside the settings areas belong to the
// editors that own them.

#include <cstddef>

namespace kestra::map {

// ---- channel records ------------------------------------------------------------------------
inline constexpr std::size_t kRecordBase = 0x0000;  // A001-A128, then B001-B128
inline constexpr std::size_t kSectionBRecords = 0x1000;
inline constexpr std::size_t kVfoARecord = 0x2000;  // record 256, "A VFO"
inline constexpr std::size_t kVfoBRecord = 0x2020;  // record 257, "B VFO"

// Eight fixed bytes inside record 251 (B124) that the channel view rewrites on every encode;
// a new document sets only the last of them.
inline constexpr std::size_t kFixedGroup = 0x1F70;
inline constexpr std::size_t kFixedGroupSize = 8;

// ---- radio menu settings and DTMF -----------------------------------------------------------
inline constexpr std::size_t kMenuSettings = 0x2040;
inline constexpr std::size_t kMenuSettingsEnd = 0x2080;
inline constexpr std::size_t kCurrentChannelA = 0x204F;  // 0-based record index in section A
inline constexpr std::size_t kCurrentChannelB = 0x2050;  // 0-based record index in section B
inline constexpr std::size_t kPowerOnMessage = 0x2060;   // 7 bytes
inline constexpr std::size_t kDualWait = 0x2070;         // 2 bytes

inline constexpr std::size_t kDtmfSettings = 0x2080;
inline constexpr std::size_t kDtmfSettingsEnd = 0x2180;

// ---- calibration and summary areas ----------------------------------------------------------
inline constexpr std::size_t kSquelchTable = 0x2A00;
inline constexpr std::size_t kSquelchTableEnd = 0x2CE0;

inline constexpr std::size_t kEncodeFilled = 0x2E00;  // 16 bytes 0xFF after every encode
inline constexpr std::size_t kModelLimits = 0x2E10;   // ModelLimitsBlock, 16 bytes
inline constexpr std::size_t kModelLimitsSize = 16;
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

inline constexpr std::size_t kBroadcast = 0x2F80;  // broadcast receiver settings
inline constexpr std::size_t kBroadcastEnd = 0x2FD8;

inline constexpr std::size_t kDtmfInit = 0x3E00;  // DTMF decoder calibration
inline constexpr std::size_t kDtmfInitEnd = 0x3E30;

inline constexpr std::size_t kCalibration = 0x3ED0;
inline constexpr std::size_t kCalibrationEnd = 0x3F70;
inline constexpr std::size_t kBandPoints = 0x3F70;  // derived from the calibration block
inline constexpr std::size_t kBandPointsEnd = 0x3FAC;

// ---- what the clone transfers move ----------------------------------------------------------
// Read and Write move the channels and settings up to the squelch table, then the summary
// areas; a Write leaves out the model-limits block, which belongs to the radio. Initialization
// writes the whole image, its second range empty.
inline constexpr std::size_t kCloneMain = 0x0000;
inline constexpr std::size_t kCloneMainEnd = 0x2A00;
inline constexpr std::size_t kCloneReadSummary = 0x2E00;
inline constexpr std::size_t kCloneWriteSummary = 0x2E20;
inline constexpr std::size_t kCloneSummaryEnd = 0x3000;
inline constexpr std::size_t kWholeImage = 0x0000;
inline constexpr std::size_t kWholeImageEnd = 0x4000;
inline constexpr std::size_t kInitializationSecond = 0x2000;  // start and end: no blocks

}  // namespace kestra::map
