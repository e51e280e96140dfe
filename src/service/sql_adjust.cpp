// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/sql_adjust.hpp"

#include "model/codecs.hpp"

namespace kestra {

namespace {

constexpr int kTensOfHzPerMhz = 100000;

constexpr int PointCount(const Band& band) {
    return (band.upper / kTensOfHzPerMhz - band.lower / kTensOfHzPerMhz) / kSqlPointStepMhz + 1;
}

static_assert((PointCount(kSupportedBands[0]) + PointCount(kSupportedBands[1]) +
               PointCount(kSupportedBands[2])) *
                  map::kSquelchRecordSize ==
              map::kSquelchTableEnd - map::kSquelchTable);

}  // namespace

std::string BandText(int band) {
    const Band& b = kSupportedBands[static_cast<std::size_t>(band)];
    return std::to_string(b.lower / kTensOfHzPerMhz) + "-" +
           std::to_string(b.upper / kTensOfHzPerMhz);
}

std::vector<SqlPoint> SqlPointsOfBand(int band) {
    std::size_t first = map::kSquelchTable;
    for (int b = 0; b < band; ++b) {
        first += map::kSquelchRecordSize *
                 static_cast<std::size_t>(PointCount(kSupportedBands[static_cast<std::size_t>(b)]));
    }
    const Band& limits = kSupportedBands[static_cast<std::size_t>(band)];
    std::vector<SqlPoint> points;
    for (int n = 0; n < PointCount(limits); ++n) {
        points.push_back({band, limits.lower / kTensOfHzPerMhz + kSqlPointStepMhz * n,
                          first + map::kSquelchRecordSize * static_cast<std::size_t>(n)});
    }
    return points;
}

std::vector<SqlPoint> AllSqlPoints() {
    std::vector<SqlPoint> points;
    for (int band = 0; band < static_cast<int>(kSupportedBands.size()); ++band) {
        const std::vector<SqlPoint> ofBand = SqlPointsOfBand(band);
        points.insert(points.end(), ofBand.begin(), ofBand.end());
    }
    return points;
}

SqlRecordTexts LoadSqlRecord(const MemoryImage& image, std::size_t recordOffset) {
    SqlRecordTexts cells;
    for (std::size_t k = 0; k < kSqlCellCount; ++k) {
        cells[k] = std::to_string(image[recordOffset + kCellOffset[k]]);
    }
    return cells;
}

void StoreSqlRecord(const SqlRecordTexts& cells, MemoryImage& image, std::size_t recordOffset) {
    for (std::size_t k = 0; k < kSqlCellCount; ++k) {
        image[recordOffset + kCellOffset[k]] =
            static_cast<std::uint8_t>(SpinTextValue(cells[k], SpinFormat::Decimal) & 0xFF);
    }
}

}  // namespace kestra
