// SPDX-License-Identifier: GPL-3.0-or-later
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

// ---- settings editors: the fields of the menu, DTMF and broadcast receiver blocks ------------
// Bytes that hold several bit fields are named after the byte; the field tables in
// src/settings/ say which bits mean what.
inline constexpr std::size_t kTimeOutTimer = 0x2040;
inline constexpr std::size_t kSquelchLevel = 0x2042;
inline constexpr std::size_t kVoxGain = 0x2043;
inline constexpr std::size_t kTuningStep = 0x2044;
inline constexpr std::size_t kLampTime = 0x2046;
inline constexpr std::size_t kVoxDelay = 0x2048;
inline constexpr std::size_t kMenuByte49 = 0x2049;  // tones, scan mode, ANI; DTMF side tone
inline constexpr std::size_t kMenuByte4A = 0x204A;  // channel mode, auto lock, lamp
inline constexpr std::size_t kMenuByte4B = 0x204B;  // VFO/MR, dual wait, channel display
inline constexpr std::size_t kMenuByte4C = 0x204C;  // voice, key lock, radio monitor
inline constexpr std::size_t kMenuByte4D = 0x204D;  // lock mode, power-on display, battery
inline constexpr std::size_t kMenuByte4E = 0x204E;  // tail mode, work areas
inline constexpr std::size_t kPowerOnMessageSize = 7;
inline constexpr std::size_t kDualWaitResetTime = kDualWait;
inline constexpr std::size_t kDualWaitTime = kDualWait + 1;  // hundredths of a second

inline constexpr std::size_t kDtmfSpeed = 0x2080;            // tone length in ms
inline constexpr std::size_t kDtmfFirstDigitDelay = 0x2081;  // ms / 50
inline constexpr std::size_t kDtmfFirstDigitTime = 0x2082;   // ms / 50
inline constexpr std::size_t kDtmfStarHashTime = 0x2083;     // ms / 50
inline constexpr std::size_t kPttIdBot = 0x2088;             // 16 DTMF codes
inline constexpr std::size_t kPttIdEot = 0x2098;             // 16 DTMF codes
inline constexpr std::size_t kPttIdSize = 16;
inline constexpr std::size_t kGroupCode = 0x20A8;  // one DTMF code
// kOwnId (0x20B0): 7 DTMF codes, named with the DTMF block above.
inline constexpr std::size_t kOwnIdSize = 7;
inline constexpr std::size_t kKillCode = 0x20C0;  // 15 codes and an end mark
inline constexpr std::size_t kKillCodeSize = 16;
inline constexpr std::size_t kAlarmCode = 0x20D0;  // 8 DTMF codes
inline constexpr std::size_t kAlarmCodeSize = 8;
inline constexpr std::size_t kAutoResetTime = 0x20D8;  // seconds
inline constexpr std::size_t kDecodeFlags = 0x20D9;    // response, wait reply, kill
inline constexpr std::size_t kDecodeTime = 0x20DA;     // hundredths of a second
inline constexpr std::size_t kWaitReplyTime = 0x20DB;  // seconds
inline constexpr std::size_t kKillType = 0x20DC;
inline constexpr std::size_t kDelimiter = 0x20DD;  // one DTMF code
// kAutoDialCodes (0x20E0): ten rows of 16 DTMF codes, named with the DTMF block above.
inline constexpr std::size_t kAutoDialCodeSize = 16;
inline constexpr int kAutoDialRows = 10;

constexpr std::size_t AutoDialCodeOf(int row) {
    return kAutoDialCodes + kAutoDialCodeSize * static_cast<std::size_t>(row);
}

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
inline constexpr std::size_t kBroadcastFrequency = 0x2F80;  // kHz, 6 BCD digits
inline constexpr std::size_t kBroadcastFrequencySize = 3;
inline constexpr std::size_t kBroadcastChannel = 0x2F84;  // 1 to 20
inline constexpr std::size_t kBroadcastSlots = 0x2F88;    // 20 slots: kHz in 6 BCD digits, 0xFF
inline constexpr std::size_t kBroadcastSlotSize = 4;
inline constexpr int kBroadcastSlotCount = 20;

constexpr std::size_t BroadcastSlotOf(int channel) {  // channel 1 to 20
    return kBroadcastSlots + kBroadcastSlotSize * static_cast<std::size_t>(channel - 1);
}

inline constexpr std::size_t kDtmfInit = 0x3E00;  // DTMF decoder calibration
inline constexpr std::size_t kDtmfInitEnd = 0x3E30;

inline constexpr std::size_t kCalibration = 0x3ED0;
inline constexpr std::size_t kCalibrationEnd = 0x3F70;
inline constexpr std::size_t kBandPoints = 0x3F70;  // derived from the calibration block
inline constexpr std::size_t kBandPointsEnd = 0x3FAC;

// ---- service: the calibration fields the service dialogs edit --------------------------------
// Squelch calibration: one 16-byte record per 5 MHz point of each supported band, the bands one
// after another from kSquelchTable on.
inline constexpr std::size_t kSquelchRecordSize = 16;

// The DTMF decoder registers: 11 entries of a 2-byte tag and a big-endian 16-bit value.
inline constexpr std::size_t kDtmfDecoderTable = kDtmfInit;
inline constexpr std::size_t kDtmfDecoderEntrySize = 4;
inline constexpr std::size_t kDtmfDecoderEntryCount = 11;

// The calibration block; multi-byte numbers here are little-endian.
inline constexpr std::size_t kSquelchDetectionTable = 0x3ED0;  // 9 rows of 4 bytes
inline constexpr std::size_t kSquelchThresholdTable = 0x3F00;  // 6 rows of 3 bytes
inline constexpr std::size_t kSqlLowThresholdV = 0x3F12;
inline constexpr std::size_t kSqlLowThresholdVSecond = 0x3F13;  // passes through unchanged
inline constexpr std::size_t kSqlLowThresholdU = 0x3F14;
inline constexpr std::size_t kPaDrive = 0x3F20;  // U in bits 4-7, V in bits 0-3
inline constexpr std::size_t kVoiceTxGain = 0x3F21;
inline constexpr std::size_t kTransmitGain = 0x3F22;
inline constexpr std::size_t kNarrowXmitterDev = 0x3F23;  // 16 bits, value x 64
inline constexpr std::size_t kWideXmitterDev = 0x3F25;    // 16 bits, value x 64
inline constexpr std::size_t kNarrowAcDev = 0x3F27;
inline constexpr std::size_t kNarrowDcDev = 0x3F28;
inline constexpr std::size_t kWideAcDev = 0x3F29;
inline constexpr std::size_t kWideDcDev = 0x3F2A;
inline constexpr std::size_t kReceiveInput = 0x3F2B;
inline constexpr std::size_t kReceiveOutputVolume = 0x3F2C;  // output in bits 4-7, volume 0-3
inline constexpr std::size_t kVoiceOutput = 0x3F2D;
inline constexpr std::size_t kScramblerVoice = 0x3F2E;
inline constexpr std::size_t kAudioSwitches = 0x3F2F;  // filters, emphasis, test mode
inline constexpr std::size_t kSignalMod = 0x3F30;
inline constexpr std::size_t kMicGain = 0x3F31;
inline constexpr std::size_t kModGain = 0x3F32;  // 16 bits
inline constexpr std::size_t kVoiceInput = 0x3F34;
inline constexpr std::size_t kPressureThreshold = 0x3F35;  // 16 bits
inline constexpr std::size_t kExpandThreshold = 0x3F37;    // 16 bits
inline constexpr std::size_t kMcuAudio = 0x3F6F;           // emphasis bits 0-1, compander 2-7
// The tables of the calibration block that the program derives or Parameter Adjust edits as a
// grid; src/model/calibration_tables.hpp says what their rows hold.
inline constexpr std::size_t kReferenceLevels = 0x3F15;     // 10 bytes, derived
inline constexpr std::size_t kTransmitPowerTable = 0x3F39;  // 6 rows of 3 bytes
inline constexpr std::size_t kPowerSlopes = 0x3F4B;         // 6 groups of 6 bytes, derived
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
