// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/parameter_adjust.hpp"

#include <cstdint>

#include "service/sql_adjust.hpp"

namespace kestra {

namespace {

// The Chinese row words, UTF-8: low power, high power, squelch detection.
constexpr std::string_view kLowPower = "\xE4\xBD\x8E\xE5\x8A\x9F\xE7\x8E\x87";
constexpr std::string_view kHighPower = "\xE9\xAB\x98\xE5\x8A\x9F\xE7\x8E\x87";
constexpr std::string_view kSquelchDetection = "\xE9\x9D\x99\xE5\x99\xAA\xE6\xA3\x80\xE6\xB5\x8B";

constexpr int kDeviationScale = 64;

unsigned ReadWord(const MemoryImage& image, std::size_t offset) {
    return image[offset] | static_cast<unsigned>(image[offset + 1]) << 8;
}

void WriteWord(MemoryImage& image, std::size_t offset, std::int64_t value) {
    image[offset] = static_cast<std::uint8_t>(value & 0xFF);
    image[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::int64_t LoadValue(const ScalarField& field, const MemoryImage& image) {
    switch (field.encoding) {
        case ScalarEncoding::Word:
            return ReadWord(image, field.where.offset);
        case ScalarEncoding::Deviation:
            return ReadWord(image, field.where.offset) / kDeviationScale;
        case ScalarEncoding::Bits:
            break;
    }
    return ReadBits(image, field.where);
}

void StoreValue(const ScalarField& field, std::int64_t value, MemoryImage& image) {
    switch (field.encoding) {
        case ScalarEncoding::Word:
            WriteWord(image, field.where.offset, value);
            return;
        case ScalarEncoding::Deviation:
            WriteWord(image, field.where.offset, value * kDeviationScale);
            return;
        case ScalarEncoding::Bits:
            WriteBits(image, field.where, static_cast<unsigned>(value & 0xFF));
            return;
    }
}

void LoadGrid(const CalibrationGrid& grid, const MemoryImage& image,
              std::vector<std::string>& cells) {
    cells.clear();
    for (int r = 0; r < grid.rowCount; ++r) {
        for (int c = 0; c < grid.columnCount; ++c) {
            const int byte = image[grid.CellOffset(r, c)];
            const bool inRange = byte >= grid.editor.low && byte <= grid.editor.high;
            cells.push_back(std::to_string(inRange ? byte : grid.replacement));
        }
    }
}

void StoreGrid(const CalibrationGrid& grid, const std::vector<std::string>& cells,
               MemoryImage& image) {
    for (int r = 0; r < grid.rowCount; ++r) {
        for (int c = 0; c < grid.columnCount; ++c) {
            const std::size_t k = static_cast<std::size_t>(r * grid.columnCount + c);
            const std::string_view text = k < cells.size() ? cells[k] : std::string_view();
            image[grid.CellOffset(r, c)] =
                static_cast<std::uint8_t>(SpinTextValue(text, SpinFormat::Decimal) & 0xFF);
        }
    }
}

}  // namespace

int GridRowBand(const CalibrationGrid& grid, int row) {
    return grid.rows == GridRows::SquelchDetection ? row / 3 : row / 2;
}

std::string GridRowLabel(const CalibrationGrid& grid, int row) {
    const std::string band = BandText(GridRowBand(grid, row));
    switch (grid.rows) {
        case GridRows::SqlLevels:
            return band + (row % 2 == 0 ? " Sql 1" : " Sql 9");
        case GridRows::PowerLevels:
            return band + " " + std::string(row % 2 == 0 ? kLowPower : kHighPower);
        case GridRows::SquelchDetection:
            break;
    }
    return band + " " + std::string(kSquelchDetection) + std::to_string(row % 3 + 1);
}

ParameterAdjustForm LoadParameterAdjust(const MemoryImage& image) {
    ParameterAdjustForm form;
    for (std::size_t g = 0; g < kGridCount; ++g) {
        LoadGrid(kCalibrationGrids[g], image, form.cells[g]);
    }
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        form.fields[i] = ShowSpinValue(kScalarFields[i].rule, LoadValue(kScalarFields[i], image));
    }
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        const bool bit = ReadBits(image, kCheckFields[i].where) != 0;
        form.checks[i] = bit != kCheckFields[i].inverted;
    }
    ClampParameterAdjust(form);
    return form;
}

void ClampParameterAdjust(ParameterAdjustForm& form) {
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        if (kScalarFields[i].clampedWithForm) {
            form.fields[i] = LeaveSpinField(kScalarFields[i].rule, form.fields[i]);
        }
    }
}

void CommitParameterAdjust(ParameterAdjustForm& form, MemoryImage& image) {
    ClampParameterAdjust(form);
    ComputeReferenceLevels(image);
    StoreGrid(GridOf(GridId::Sql), form.cells[static_cast<std::size_t>(GridId::Sql)], image);
    StoreGrid(GridOf(GridId::Power), form.cells[static_cast<std::size_t>(GridId::Power)], image);
    // The slopes follow the power values just stored.
    DeriveTuningTables(image);
    StoreGrid(GridOf(GridId::SquelchDetection),
              form.cells[static_cast<std::size_t>(GridId::SquelchDetection)], image);
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        StoreValue(kScalarFields[i], SpinFieldValue(kScalarFields[i].rule, form.fields[i]), image);
    }
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        WriteBits(image, kCheckFields[i].where, form.checks[i] != kCheckFields[i].inverted);
    }
}

}  // namespace kestra
