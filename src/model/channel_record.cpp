// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/channel_record.hpp"

#include <algorithm>

#include "model/image_map.hpp"

namespace kestra {

namespace {

bool IsPrintable(std::uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

// Every digit of the field is a decimal digit.
bool IsBcd(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; });
}

// Bcd8 bytes of a frequency; a negative value has no BCD form and becomes the erased marker.
std::array<std::uint8_t, 4> FrequencyBytes(Frequency f) {
    if (f < 0) {
        return {0xFF, 0xFF, 0xFF, 0xFF};
    }
    return Bcd8Encode(static_cast<std::uint32_t>(f));
}

}  // namespace

void WriteClearedRecord(MemoryImage& image, int record) {
    image.write(RecordOffset(record), kClearedRecord);
}

bool ShiftFollowsFrequencies(const MemoryImage& image, int record) {
    const ConstChannelRecord channel(image, record);
    const std::optional<Frequency> rx = channel.RxFrequency();
    if (!rx) {
        return false;
    }
    const int direction = channel.ShiftDirection();
    const std::uint32_t amount = channel.ShiftAmount();
    if (direction == 0 && amount == kNoShiftMagnitude) {
        return true;
    }
    const std::optional<Frequency> tx = channel.TxFrequency();
    if (!tx || *tx == *rx) {
        return false;
    }
    return direction == (*rx > *tx ? 1 : 2) &&
           amount == static_cast<std::uint32_t>(*rx > *tx ? *rx - *tx : *tx - *rx);
}

std::optional<Frequency> StoredFrequency(std::span<const std::uint8_t> fourBytes) {
    const std::uint8_t top = fourBytes[3];
    if (top == 0xFF || top == 0x00) {
        return std::nullopt;
    }
    return static_cast<Frequency>(Bcd8Decode(fourBytes));
}

bool RecordIsPresent(const MemoryImage& image, int record, const SectionLimits& limits) {
    if (record < 0 || record >= kRecordCount) {
        return false;
    }
    const auto rx = ConstChannelRecord(image, record).RxFrequency();
    return rx.has_value() && limits.SectionOf(*rx) >= 0;
}

std::string ConstChannelRecord::Name() const {
    std::string name;
    for (std::size_t i = 0; i < kChannelNameLength && IsPrintable(bytes_[24 + i]); ++i) {
        name.push_back(static_cast<char>(bytes_[24 + i]));
    }
    return name;
}

void ChannelRecord::SetRxToneText(std::string_view text) {
    const auto code = ToneCodeEncode(text);
    out_[8] = code[0];
    out_[9] = code[1];
}

void ChannelRecord::SetTxToneText(std::string_view text) {
    const auto code = ToneCodeEncode(text);
    out_[10] = code[0];
    out_[11] = code[1];
}

void ChannelRecord::SetShiftAmount(std::uint32_t amount) {
    const auto bytes = Bcd8Encode(amount);
    std::copy(bytes.begin(), bytes.end(), out_.begin() + 16);
}

void ChannelRecord::SetName(std::string_view name) {
    std::fill_n(out_.begin() + 24, kChannelNameLength, std::uint8_t{0xFF});
    const std::size_t length = std::min(name.size(), kChannelNameLength);
    for (std::size_t i = 0; i < length; ++i) {
        out_[24 + i] = static_cast<std::uint8_t>(name[i]);
    }
}

void ChannelRecord::WriteFrequency(std::size_t at, std::optional<Frequency> f) {
    const auto bytes = f ? FrequencyBytes(*f) : std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(bytes.begin(), bytes.end(), out_.begin() + static_cast<std::ptrdiff_t>(at));
}

void ChannelRecord::SetBits(std::size_t index, int shift, int width, int value) {
    const int mask = ((1 << width) - 1) << shift;
    out_[index] = static_cast<std::uint8_t>((out_[index] & ~mask) | ((value << shift) & mask));
}

// ---- channel bitmaps ------------------------------------------------------------------------

bool ChannelBit(const MemoryImage& image, std::size_t mapOffset, int k) {
    const auto index = static_cast<std::size_t>(k - 1);
    return (image[mapOffset + index / 8] >> (index % 8) & 1) != 0;
}

void SetChannelBit(MemoryImage& image, std::size_t mapOffset, int k, bool on) {
    const auto index = static_cast<std::size_t>(k - 1);
    const auto bit = static_cast<std::uint8_t>(1u << (index % 8));
    std::uint8_t& byte = image[mapOffset + index / 8];
    byte = on ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
}

// ---- model-limits block ---------------------------------------------------------------------

bool ModelLimitsPairIsSet(const MemoryImage& image, int section) {
    return image[map::ModelLimitsOf(section) + 3] != 0xFF;
}

void ReadModelLimits(const MemoryImage& image, SectionLimits& limits) {
    for (int s = 0; s < 2; ++s) {
        const auto pair = image.span(map::ModelLimitsOf(s), 8);
        // A damaged pair (half erased, not BCD, zeros, reversed) would hide every channel of
        // the section, and the next save would clear them: keep the limits the program has.
        if (!ModelLimitsPairIsSet(image, s) || !IsBcd(pair)) {
            continue;
        }
        const auto lower = static_cast<Frequency>(Bcd8Decode(pair.subspan(0, 4)));
        const auto upper = static_cast<Frequency>(Bcd8Decode(pair.subspan(4, 4)));
        if (kLowestSectionLimit <= lower && lower < upper && upper <= kHighestSectionLimit) {
            limits.lower[static_cast<std::size_t>(s)] = lower;
            limits.upper[static_cast<std::size_t>(s)] = upper;
        }
    }
}

void WriteModelLimits(MemoryImage& image, const SectionLimits& limits) {
    for (int s = 0; s < 2; ++s) {
        const std::size_t at = map::ModelLimitsOf(s);
        image.write(at, FrequencyBytes(limits.lower[static_cast<std::size_t>(s)]));
        image.write(at + 4, FrequencyBytes(limits.upper[static_cast<std::size_t>(s)]));
    }
}

}  // namespace kestra
