// SPDX-License-Identifier: GPL-3.0-or-later
// Image preparation before every save and write: model block, summary areas, section windows.

#include "channels/image_preparation.hpp"

#include <algorithm>

#include "model/calibration_tables.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

// The model blocks of the three radio models, written from the second byte of the block on.
constexpr std::array<std::uint8_t, 110> k6120HE{
    0xC0, 0x01, 0x00, 0x00, 0x04, 0x00, 0x86, 0xAD, 0x40, 0x00, 0x56, 0xC6, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x19,
    0x2A, 0x11, 0x00, 0x2E, 0x2A, 0x30, 0xB8, 0x3C, 0x90, 0x00, 0x2A, 0x91, 0x84, 0x12, 0x00, 0xA8,
    0xC4, 0x00, 0xE0, 0x00, 0x30, 0x1D, 0x81, 0x6A, 0x46, 0x08, 0x00, 0x86, 0x06, 0x61, 0x00, 0x00,
    0x10, 0x9E, 0x24, 0xC9, 0x04, 0x08, 0x06, 0x08, 0xE1, 0x05, 0x3B, 0x6C, 0x2B, 0xEC, 0x09, 0x0F,
    0x34, 0x14, 0x14, 0x50, 0x09, 0x6D, 0x2D, 0x96, 0x01, 0xDA, 0x2A, 0x7B, 0x08, 0x21, 0x13, 0xD5,
    0x48, 0x91, 0x00, 0xBC, 0x08, 0x96, 0x15, 0x3C, 0x0B, 0x80, 0x25, 0xC7, 0x00, 0x00};
constexpr std::array<std::uint8_t, 54> k6120N{
    0xC4, 0x05, 0x00, 0x00, 0x04, 0x00, 0x86, 0xAD, 0x60, 0x00, 0x42, 0xC6, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x19, 0x2A, 0x11, 0xB0, 0x42, 0x2A, 0x11, 0xB8, 0x31, 0xC0, 0x00,
    0x2A, 0x91, 0x94, 0x00, 0x00, 0xA8, 0xC4, 0x00, 0xF7, 0xCF, 0x2A, 0xDC};
constexpr std::array<std::uint8_t, 104> k6120E{
    0xB0, 0x01, 0x1B, 0x90, 0x02, 0x02, 0x88, 0xAD, 0x80, 0x00, 0x5F, 0x1A, 0x5E, 0xC6, 0x00,
    0x00, 0x40, 0x6E, 0x2D, 0x80, 0x58, 0x03, 0x58, 0x04, 0x58, 0x04, 0x58, 0x04, 0x00, 0x47,
    0x90, 0x00, 0xF5, 0x87, 0x7F, 0x0B, 0x04, 0xF1, 0x42, 0xC0, 0x41, 0xE0, 0x50, 0x6F, 0x55,
    0x92, 0x00, 0x7D, 0x10, 0xC0, 0x07, 0x80, 0x41, 0x1D, 0x40, 0x06, 0x1F, 0x9B, 0x4C, 0x2B,
    0x81, 0x10, 0x45, 0xA0, 0x19, 0x3F, 0xAF, 0x40, 0x06, 0x81, 0x1B, 0x2A, 0x0D, 0x04, 0x80,
    0x9F, 0x17, 0x8A, 0xD3, 0x49, 0x11, 0x42, 0xA0, 0xC4, 0x3E, 0xBB, 0x00, 0x00, 0x58, 0x04,
    0x58, 0x04, 0x58, 0x04, 0x00, 0x74, 0x3D, 0x00, 0x03, 0x0C, 0x2F, 0x68, 0x38, 0x77};

constexpr int kChannelsPerSection = 128;
constexpr std::uint8_t kNoChannel = 0xFF;

// The per-band section windows (same indexing as kSupportedBands).
constexpr std::array<Band, 3> kWindows{{
    {14400000, 14600000},
    {20000000, 26000000},
    {43000000, 44000000},
}};

// A frequency into four BCD bytes; an unset (negative) limit is written erased.
void WriteBcd(MemoryImage& image, std::size_t offset, Frequency value) {
    if (value < 0) {
        image.fill(offset, 4, 0xFF);
        return;
    }
    image.write(offset, Bcd8Encode(static_cast<std::uint32_t>(value)));
}

Frequency ClampLow(Frequency v, int band) {
    const Band& w = kWindows[static_cast<std::size_t>(band)];
    return (w.lower < v && v < w.upper) ? v : w.lower;
}

Frequency ClampHigh(Frequency v, int band) {
    const Band& w = kWindows[static_cast<std::size_t>(band)];
    return (w.lower < v && v < w.upper) ? v : w.upper;
}

// The window of one section from its limits and the band of its lower limit. Without a band
// there is no window to clamp into, so the section's own limits are used as they are.
Band WindowOf(Frequency lower, Frequency upper, int band) {
    if (band < 0) {
        return {lower, upper};
    }
    return {ClampLow(lower, band), ClampHigh(upper, band)};
}

// Steps 3 to 5: bitmaps, first channels, current channels.
void WriteChannelSummary(MemoryImage& image, const SectionLimits& limits) {
    image.fill(map::kPresentMapA, map::kBitmapsEnd - map::kPresentMapA, 0xFF);
    std::array<std::uint8_t, 2> first{kNoChannel, kNoChannel};
    for (int n = 1; n <= kChannelsPerSection; ++n) {
        for (int section = 0; section < 2; ++section) {
            const int record = section * kChannelsPerSection + n - 1;
            if (!RecordIsPresent(image, record, limits)) {
                SetChannelBit(image, map::PresentMapOf(section), n, false);
                SetChannelBit(image, map::ScanMapOf(section), n, false);
                continue;
            }
            if (!ConstChannelRecord(image, record).ScanAdd()) {
                SetChannelBit(image, map::ScanMapOf(section), n, false);
            }
            auto& f = first[static_cast<std::size_t>(section)];
            if (f == kNoChannel) {
                f = static_cast<std::uint8_t>(n);
            }
        }
    }
    image[map::kFirstChannelA] = first[0];
    image[map::kFirstChannelB] = first[1];
    image.fill(map::kFirstChannelFill, map::kFirstChannelFillSize, 0xFF);

    // A current channel that points at an absent record moves to the section's first present
    // channel (0xFE when there is none). An index beyond the section never names one of its
    // records, so it counts as absent rather than reading into the other section.
    const std::array<std::size_t, 2> current{map::kCurrentChannelA, map::kCurrentChannelB};
    for (int section = 0; section < 2; ++section) {
        const std::size_t at = current[static_cast<std::size_t>(section)];
        const int index = image[at];
        const bool present = index < kChannelsPerSection &&
                             RecordIsPresent(image, section * kChannelsPerSection + index, limits);
        if (!present) {
            image[at] = static_cast<std::uint8_t>(first[static_cast<std::size_t>(section)] - 1);
        }
    }
}

}  // namespace

std::span<const std::uint8_t> ModelBlock(int modelIndex) {
    switch (modelIndex) {
        case 1:
            return k6120N;
        case 2:
            return k6120E;
        default:
            return k6120HE;
    }
}

void WriteModelBlock(MemoryImage& image, int modelIndex) {
    image.fill(map::kModelBlock, map::kModelBlockSize, 0xFF);
    image.write(map::kModelBlock + 1, ModelBlock(modelIndex));
    image.write(map::kModelTail, map::kModelTailBytes);
}

int ModelIndexOfImage(const MemoryImage& image) {
    const auto isErased = [](std::span<const std::uint8_t> bytes) {
        return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
    };
    const auto tail = image.span(map::kModelTail, map::kModelTailSize);
    if (image[map::kModelBlock] != 0xFF ||
        !std::equal(tail.begin(), tail.end(), map::kModelTailBytes.begin())) {
        return -1;
    }
    for (int index = 0; index < static_cast<int>(kModelNames.size()); ++index) {
        const auto block = ModelBlock(index);
        const auto held = image.span(map::kModelBlock + 1, block.size());
        const std::size_t rest = map::kModelBlockSize - 1 - block.size();
        if (std::equal(block.begin(), block.end(), held.begin()) &&
            isErased(image.span(map::kModelBlock + 1 + block.size(), rest))) {
            return index;
        }
    }
    return -1;
}

int ModelIndexOfName(std::string_view name) {
    const auto found = std::find(kModelNames.begin(), kModelNames.end(), name);
    return found == kModelNames.end() ? -1 : static_cast<int>(found - kModelNames.begin());
}

void PrepareImageForWrite(MemoryImage& image, const SectionLimits& limits) {
    ComputeReferenceLevels(image);
    DeriveTuningTables(image);

    image.fill(map::kEncodeFilled, map::kEncodeFilledSize, 0xFF);
    WriteModelLimits(image, limits);
    image.write(map::kFixedGroup, map::kFixedGroupBytes);
    for (const auto& [offset, mask] : map::kPreparationClearedBits) {
        image[offset] &= static_cast<std::uint8_t>(~mask);
    }

    WriteChannelSummary(image, limits);
    ComputeSectionWindows(image, limits);
}

void ComputeSectionWindows(MemoryImage& image, const SectionLimits& limits) {
    const int ka = BandOf(limits.lower[0]);
    const int kb = BandOf(limits.lower[1]);
    Band a{};
    Band b{};
    if (ka == 1 && kb == 1) {
        a = b = kWindows[0];
    } else if (kb == 1) {
        a = b = WindowOf(limits.lower[0], limits.upper[0], ka);
    } else if (ka == 1) {
        a = b = WindowOf(limits.lower[1], limits.upper[1], kb);
    } else {
        a = WindowOf(limits.lower[0], limits.upper[0], ka);
        b = WindowOf(limits.lower[1], limits.upper[1], kb);
    }
    WriteBcd(image, map::kSectionWindows, a.lower);
    WriteBcd(image, map::kSectionWindows + 4, a.upper);
    WriteBcd(image, map::kSectionWindows + 8, b.lower);
    WriteBcd(image, map::kSectionWindows + 12, b.upper);
    image.fill(map::kSecondBitmaps, map::kSecondBitmapsSize, 0x00);
}

}  // namespace kestra
