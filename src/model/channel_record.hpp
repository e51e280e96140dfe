// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 32-byte channel record, the channel bitmaps and the model-limits block of the memory image.
// Records 0-127 are A001-A128, 128-255 are B001-B128, 256 is "A VFO" and 257 "B VFO".
//
// Record layout (byte offsets):
//   0-3   Rx frequency, Bcd8 in 10 Hz units; FF FF FF FF marks an empty record
//   4-7   Tx frequency, Bcd8; FF FF FF FF means no Tx frequency
//   8-9   Rx tone (ToneCode), 10-11 Tx tone
//   12    options: bits 0-1 signal type, 2-3 relay mode, 4-7 voice process
//   13    flags: bits 0-1 PTT ID, bit 2 Vox, bit 3 Scan Add, bit 4 high power, bit 5 wide,
//         bits 6-7 BCL (0 off, 1 carrier, 2 QT/DQT)
//   14    not interpreted
//   15    shift direction: 0 none, 1 Tx below Rx, 2 Tx above Rx
//   16-19 shift amount, Bcd8
//   20-21 reserved, 22-23 not interpreted
//   24-30 name: up to 7 printable characters, 0xFF after it
//   31    not interpreted

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/codecs.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

inline constexpr int kRecordCount = 258;
inline constexpr std::size_t kRecordSize = 32;
inline constexpr int kVfoARecordIndex = 256;
inline constexpr int kVfoBRecordIndex = 257;

constexpr std::size_t RecordOffset(int record) {
    return static_cast<std::size_t>(record) * kRecordSize;
}

// What an empty channel holds after any editor clears it, and every record of a new document.
inline constexpr std::array<std::uint8_t, kRecordSize> kClearedRecord{
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // freqs, tones
    0x00, 0x38, 0xFF, 0x00,                                                  // 12-15
    0x00, 0x00, 0x00, 0x01,                                                  // shift 10 MHz
    0x00, 0x00,                                                              // reserved
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

void WriteClearedRecord(MemoryImage& image, int record);

// The shift amount of a record without a shift, a cleared one's: 10.00000 MHz.
inline constexpr std::uint32_t kNoShiftMagnitude = 1000000;

// Whether a record's shift direction and amount are what storing its Rx and Tx derives: no shift
// (direction 0, kNoShiftMagnitude) or the direction and distance from Rx to Tx. Also false for a
// record without an Rx frequency.
bool ShiftFollowsFrequencies(const MemoryImage& image, int record);

inline constexpr std::size_t kChannelNameLength = 7;

// ---- frequency or erased --------------------------------------------------------------------
// The one rule for a 4-byte frequency field (a record's Rx or Tx): it holds no frequency when its
// top byte, the most significant digit pair, is 0xFF (erased memory) or 0x00 (a zeroed field,
// below 1 MHz); otherwise it holds its Bcd8 value.
std::optional<Frequency> StoredFrequency(std::span<const std::uint8_t> fourBytes);

// ---- a record is present --------------------------------------------------------------------
// The one rule for "this record is a channel", shared by the grid, the image preparation and
// the clone transfer: its Rx field holds a frequency that lies in a section. Records outside
// 0..257 are never present.
bool RecordIsPresent(const MemoryImage& image, int record, const SectionLimits& limits);

// Read access to one record. Bytes it does not name are left for the caller to copy as they are.
class ConstChannelRecord {
public:
    ConstChannelRecord(const MemoryImage& image, int record)
        : bytes_(image.span(RecordOffset(record), kRecordSize)) {}

    std::uint8_t Byte(std::size_t index) const { return bytes_[index]; }

    // The fields by the frequency-or-erased rule (StoredFrequency).
    std::optional<Frequency> RxFrequency() const { return StoredFrequency(bytes_.subspan(0, 4)); }
    std::optional<Frequency> TxFrequency() const { return StoredFrequency(bytes_.subspan(4, 4)); }

    std::string RxToneText() const { return ToneCodeDecode(bytes_[8], bytes_[9]); }
    std::string TxToneText() const { return ToneCodeDecode(bytes_[10], bytes_[11]); }

    int SignalType() const { return bytes_[12] & 0x03; }
    int RelayMode() const { return (bytes_[12] >> 2) & 0x03; }
    int VoiceProcess() const { return bytes_[12] >> 4; }

    int PttId() const { return bytes_[13] & 0x03; }
    bool Vox() const { return (bytes_[13] & 0x04) != 0; }
    bool ScanAdd() const { return (bytes_[13] & 0x08) != 0; }
    bool HighPower() const { return (bytes_[13] & 0x10) != 0; }
    bool Wide() const { return (bytes_[13] & 0x20) != 0; }
    int Bcl() const { return bytes_[13] >> 6; }

    int ShiftDirection() const { return bytes_[15]; }
    std::uint32_t ShiftAmount() const { return Bcd8Decode(bytes_.subspan(16, 4)); }

    // Up to 7 characters, ending at the first byte that is not printable ASCII.
    std::string Name() const;

protected:
    std::span<const std::uint8_t> bytes_;
};

// Read and write access to one record of an image.
class ChannelRecord : public ConstChannelRecord {
public:
    ChannelRecord(MemoryImage& image, int record)
        : ConstChannelRecord(image, record), out_(image.span(RecordOffset(record), kRecordSize)) {}

    void SetByte(std::size_t index, std::uint8_t value) { out_[index] = value; }

    // nullopt (and a negative value, which has no BCD form) writes FF FF FF FF; values are
    // stored as 8 BCD digits.
    void SetRxFrequency(std::optional<Frequency> f) { WriteFrequency(0, f); }
    void SetTxFrequency(std::optional<Frequency> f) { WriteFrequency(4, f); }

    void SetRxToneText(std::string_view text);
    void SetTxToneText(std::string_view text);

    void SetSignalType(int index) { SetBits(12, 0, 2, index); }
    void SetRelayMode(int index) { SetBits(12, 2, 2, index); }
    void SetVoiceProcess(int index) { SetBits(12, 4, 4, index); }

    void SetPttId(int index) { SetBits(13, 0, 2, index); }
    void SetVox(bool on) { SetBits(13, 2, 1, on ? 1 : 0); }
    void SetScanAdd(bool on) { SetBits(13, 3, 1, on ? 1 : 0); }
    void SetHighPower(bool on) { SetBits(13, 4, 1, on ? 1 : 0); }
    void SetWide(bool on) { SetBits(13, 5, 1, on ? 1 : 0); }
    void SetBcl(int index) { SetBits(13, 6, 2, index); }

    void SetShiftDirection(int direction) { out_[15] = static_cast<std::uint8_t>(direction); }
    void SetShiftAmount(std::uint32_t amount);

    // Bytes 24-30 become 0xFF, then the first up to 7 characters of the name are copied.
    void SetName(std::string_view name);

private:
    void WriteFrequency(std::size_t at, std::optional<Frequency> f);
    // Read-modify-write of a bit field: clears `width` bits at `shift`, then ors the value in.
    void SetBits(std::size_t index, int shift, int width, int value);

    std::span<std::uint8_t> out_;
};

// ---- channel bitmaps ------------------------------------------------------------------------
// Channel k (1..128) of a section is bit (k-1) % 8 of byte (k-1) / 8 of the map at mapOffset.
bool ChannelBit(const MemoryImage& image, std::size_t mapOffset, int k);
void SetChannelBit(MemoryImage& image, std::size_t mapOffset, int k, bool on);

// ---- model-limits block ---------------------------------------------------------------------
// Whether the block holds a pair for the section: its lower limit's top byte is not 0xFF.
bool ModelLimitsPairIsSet(const MemoryImage& image, int section);
// The lowest and highest limit a document may set for a section: 1 MHz and 999 MHz.
inline constexpr Frequency kLowestSectionLimit = 100000;
inline constexpr Frequency kHighestSectionLimit = 99900000;
// Copies every pair that is not plainly damaged into the limits: both limits set and valid BCD,
// lower below upper, both within 1-999 MHz. A pair need not lie in a supported band: a document
// made for 130-174 MHz keeps its 130-136 MHz channels. A section whose pair is unset or damaged
// keeps the limits the program has.
void ReadModelLimits(const MemoryImage& image, SectionLimits& limits);
// Writes all four limits; a negative limit (-1, unset) has no BCD form and is written as
// FF FF FF FF, so a block written with an unset A or B lower limit reads back as unset.
void WriteModelLimits(MemoryImage& image, const SectionLimits& limits);

}  // namespace kestra
