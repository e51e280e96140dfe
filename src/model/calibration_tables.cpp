// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/calibration_tables.hpp"

#include <cstdint>
#include <cstdlib>

#include "model/codecs.hpp"

namespace kestra {

static_assert(map::kBandPoints + kSupportedBands.size() * kBandPointGroupSize ==
              map::kBandPointsEnd);

namespace {

// A frequency rounded to whole MHz, halves up. Works in 64 bits so no band edge can overflow.
std::int64_t RoundToMhz(std::int64_t x) {
    return (x + 50000) / 100000 * 100000;
}

void PutLittleEndian(MemoryImage& image, std::size_t offset, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        image[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// One segment of a power curve: the number of 10 Hz units per power step from one point to the
// next, with bit 23 marking a falling curve. A flat segment is all zero.
void PutSlope(MemoryImage& image, std::size_t offset, std::int64_t halfBand, int from, int to) {
    if (from == to) {
        PutLittleEndian(image, offset, 0, 3);
        return;
    }
    auto q = static_cast<std::uint32_t>(halfBand / std::abs(to - from));
    if (from > to) {
        q |= 0x800000u;
    }
    PutLittleEndian(image, offset, q, 3);
}

}  // namespace

void ComputeReferenceLevels(MemoryImage& image) {
    // The levels step evenly from 1.3 down to 0.3 and one step beyond, scaled by 51 and
    // truncated, which is how the radio's firmware expects them.
    const double top = 1.3;
    const double bottom = 0.3;
    const double step = (top - bottom) * 0.125;
    double levels[kReferenceLevelTableSize];
    levels[0] = top;
    for (int k = 1; k <= 7; ++k) {
        levels[k] = top - k * step;
    }
    levels[8] = bottom;
    levels[9] = bottom - step;
    for (std::size_t k = 0; k < kReferenceLevelTableSize; ++k) {
        image[kReferenceLevelTableOffset + k] = static_cast<std::uint8_t>(levels[k] * 51);
    }
}

void ComputeBandPoints(MemoryImage& image) {
    for (std::size_t b = 0; b < kSupportedBands.size(); ++b) {
        const std::int64_t lower = kSupportedBands[b].lower;
        const std::int64_t upper = kSupportedBands[b].upper;
        const std::int64_t third = (upper - lower) / 3;
        const std::int64_t points[5] = {lower, upper, RoundToMhz((lower + upper) / 2),
                                        RoundToMhz(lower + third), RoundToMhz(upper - third)};
        const std::size_t group = map::kBandPoints + kBandPointGroupSize * b;
        for (std::size_t i = 0; i < 5; ++i) {
            PutLittleEndian(image, group + 4 * i, static_cast<std::uint32_t>(points[i]), 4);
        }
    }
}

void ComputePowerSlopes(MemoryImage& image) {
    for (std::size_t r = 0; r < kTransmitPowerRowCount; ++r) {
        const Band& band = kSupportedBands[r / 2];
        const std::int64_t halfBand =
            RoundToMhz((static_cast<std::int64_t>(band.upper) - band.lower) / 2);
        const std::size_t row = kTransmitPowerTableOffset + kTransmitPowerRowSize * r;
        const int low = image[row];
        const int mid = image[row + 1];
        const int high = image[row + 2];
        const std::size_t group = kPowerSlopeTableOffset + kPowerSlopeGroupSize * r;
        PutSlope(image, group, halfBand, low, mid);
        PutSlope(image, group + 3, halfBand, mid, high);
    }
}

void DeriveTuningTables(MemoryImage& image) {
    ComputeBandPoints(image);
    ComputePowerSlopes(image);
}

}  // namespace kestra
