// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sql Adjust's view of the squelch table: one 16-byte record per 5 MHz point of each supported
// band (8, 13 and 25 points), shown as a 4 x 4 grid of measurements ("Noise1", "RSSI1",
// "Noise2", "RSSI3") by bandwidth and level ("W High", "W Low", "N High", "N Low"). The grid
// counts its cells row by row; kCellOffset says which record byte each cell is, so the two wide
// columns of every row land in bytes 0-7 and the narrow ones in bytes 8-15.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/image_map.hpp"
#include "model/memory_image.hpp"
#include "model/spin_field.hpp"

namespace kestra {

inline constexpr int kSqlGridSize = 4;  // rows and columns of values
inline constexpr std::size_t kSqlCellCount = 16;
inline constexpr std::array<std::uint8_t, kSqlCellCount> kCellOffset{
    0x00, 0x01, 0x08, 0x09, 0x02, 0x03, 0x0A, 0x0B, 0x04, 0x05, 0x0C, 0x0D, 0x06, 0x07, 0x0E, 0x0F};
inline constexpr std::array<std::string_view, kSqlGridSize> kSqlRowLabels{"Noise1", "RSSI1",
                                                                          "Noise2", "RSSI3"};
inline constexpr std::array<std::string_view, kSqlGridSize> kSqlColumnHeaders{"W High", "W Low",
                                                                              "N High", "N Low"};
inline constexpr int kSqlLabelWidthTwips = 1650;
inline constexpr int kSqlCellWidthTwips = 800;
inline constexpr int kSqlPointStepMhz = 5;

// The in-place cell editor: 0 to 137, at most three characters of any kind.
inline constexpr SpinFieldRule kSqlCellRule{0, 137, SpinFormat::Decimal, {{}, 3, false}};

// "%d-%d" of a supported band's limits in whole MHz: "136-174".
std::string BandText(int band);

// One frequency point of a band and where its record starts.
struct SqlPoint {
    int band = 0;
    int mhz = 0;
    std::size_t offset = 0;
};
// The points of a band in order, from its lower limit in 5 MHz steps up to its upper limit.
std::vector<SqlPoint> SqlPointsOfBand(int band);
// All 46 points, band after band.
std::vector<SqlPoint> AllSqlPoints();

using SqlRecordTexts = std::array<std::string, kSqlCellCount>;

// Cell k shows "%d" of the record's byte kCellOffset[k]; no range test.
SqlRecordTexts LoadSqlRecord(const MemoryImage& image, std::size_t recordOffset);
// Every cell's leading decimal number (0 when it has none), low 8 bits, into its byte.
void StoreSqlRecord(const SqlRecordTexts& cells, MemoryImage& image, std::size_t recordOffset);

}  // namespace kestra
