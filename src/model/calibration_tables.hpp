// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three tables of the calibration block that nobody edits by hand: the reference levels, the
// band points and the transmit power slopes. The program computes them from constants, from
// kSupportedBands and from the transmit power table, and writes them into the image before every
// clone write, when Parameter Adjust commits and before the Sql Adjust write. Each function reads
// and writes image bytes only; multi-byte numbers here are little-endian two's complement, not BCD.

#include <cstddef>

#include "model/image_map.hpp"
#include "model/memory_image.hpp"

namespace kestra {

// Ten level bytes, always 42 3B 35 2F 28 22 1C 15 0F 08.
inline constexpr std::size_t kReferenceLevelTableOffset = map::kReferenceLevels;
inline constexpr std::size_t kReferenceLevelTableSize = 10;

// Six rows of three bytes (low, middle, high point of the band); row r belongs to band r / 2,
// even rows are low power, odd rows high power. Input only: Parameter Adjust edits it.
inline constexpr std::size_t kTransmitPowerTableOffset = map::kTransmitPowerTable;
inline constexpr std::size_t kTransmitPowerRowSize = 3;
inline constexpr std::size_t kTransmitPowerRowCount = 6;

// One 6-byte group per power row: two 24-bit slopes, bit 7 of each third byte marks a fall.
inline constexpr std::size_t kPowerSlopeTableOffset = map::kPowerSlopes;
inline constexpr std::size_t kPowerSlopeGroupSize = 6;

// The band point table at map::kBandPoints holds one 20-byte group per supported band: lower,
// upper, middle, one third and two thirds points, each a 32-bit frequency in 10 Hz units.
inline constexpr std::size_t kBandPointGroupSize = 20;

void ComputeReferenceLevels(MemoryImage& image);
void ComputeBandPoints(MemoryImage& image);
// Uses the transmit power table the image holds at the moment of the call.
void ComputePowerSlopes(MemoryImage& image);
// ComputeBandPoints, then ComputePowerSlopes.
void DeriveTuningTables(MemoryImage& image);

}  // namespace kestra
