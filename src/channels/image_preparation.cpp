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
