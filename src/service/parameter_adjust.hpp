// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Parameter Adjust's fields: where every scalar box, check box and grid cell of the calibration
// block lives, with its range, base, typed characters and clamp timing, and the load and commit
// of the whole form. The dialog builds its controls from these tables and only moves texts in
// and out; kestra-cli's calibration file goes through the same form, so a value set from a file
// lands in the image exactly as one typed into the dialog.
//
// Commit runs in a fixed order because the derived tables depend on what was stored before
// them: clamp, reference levels, Sql and power grids, band points and power slopes (which read
// the power values just stored), squelch-detection grid, scalar boxes, check boxes.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/calibration_tables.hpp"
#include "model/field_layout.hpp"
#include "model/image_map.hpp"
#include "model/memory_image.hpp"
#include "model/spin_field.hpp"

namespace kestra {

// How a scalar box's value sits in the image.
enum class ScalarEncoding {
    Bits,       // the bit field; a commit keeps the byte's other bits
    Word,       // a 16-bit little-endian number at where.offset
    Deviation,  // a 16-bit little-endian number = value x 64 (the value in the upper 10 bits)
};

struct ScalarField {
    std::string_view caption;
    ScalarEncoding encoding = ScalarEncoding::Bits;
    BitField where;
    SpinFieldRule rule;
    // Clamped right after a load and right before a commit, not only when the box is left.
    bool clampedWithForm = false;
    // Never shown: holds its byte from load to commit.
    bool hidden = false;
};

namespace calibration_rules {
constexpr SpinFieldRule Digits(int high, int chars) {
    return {0, high, SpinFormat::Decimal, {kDigitsOnly, chars, false}};
}
inline constexpr SpinFieldRule kThreshold{0, 0xFFFF, SpinFormat::Hex, {kHexDigits, 4, true}};
inline constexpr SpinFieldRule kSqlLow{0, 127, SpinFormat::Decimal, {{}, 3, true}};
constexpr auto kBits = ScalarEncoding::Bits;
constexpr auto kWord = ScalarEncoding::Word;
constexpr auto kDeviation = ScalarEncoding::Deviation;
}  // namespace calibration_rules

// The boxes in the order of the dialog: caption, encoding, bits, rule, clamped with the form,
// hidden.
// clang-format off
inline constexpr std::array<ScalarField, 25> kScalarFields = [] {
    using namespace calibration_rules;
    using namespace map;
    return std::array<ScalarField, 25>{{
        {"V PA Drive",          kBits,      {kPaDrive, 0, 4},             Digits(15, 2)},
        {"U PA Drive",          kBits,      {kPaDrive, 4, 4},             Digits(15, 2), true},
        {"Voice Tx Gain",       kBits,      {kVoiceTxGain},               Digits(63, 2), true},
        {"Transmit Gain",       kBits,      {kTransmitGain},              Digits(15, 2), true},
        {"Narrow XMITTER Dev",  kDeviation, {kNarrowXmitterDev},          Digits(1023, 4), true},
        {"Wide XMITTER Dev",    kDeviation, {kWideXmitterDev},            Digits(1023, 4), true},
        {"Narrow AC Dev",       kBits,      {kNarrowAcDev},               Digits(63, 2), true},
        {"Narrow DC Dev",       kBits,      {kNarrowDcDev},               Digits(63, 2), true},
        {"Wide AC Dev",         kBits,      {kWideAcDev},                 Digits(63, 2), true},
        {"Wide DC Dev",         kBits,      {kWideDcDev},                 Digits(63, 2), true},
        {"Receive Input",       kBits,      {kReceiveInput},              Digits(31, 2), true},
        {"Recieve Output",      kBits,      {kReceiveOutputVolume, 4, 4}, Digits(15, 2), true},
        {"Volume",              kBits,      {kReceiveOutputVolume, 0, 4}, Digits(15, 2), true},
        {"Signal MOD",          kBits,      {kSignalMod},                 Digits(255, 3), true},
        {"MIC Gain",            kBits,      {kMicGain},                   Digits(31, 2), true},
        {"MOD Gain",            kWord,      {kModGain},                   Digits(1023, 4), true},
        {"Voice Input",         kBits,      {kVoiceInput},                Digits(31, 2), true},
        {"Voice Output",        kBits,      {kVoiceOutput},               Digits(255, 3), true},
        {"Scrambler Voice",     kBits,      {kScramblerVoice},            Digits(255, 3)},
        {"Compander Voice",     kBits,      {kMcuAudio, 2, 6},            Digits(63, 2), true},
        {"Pressure Threshold",  kWord,      {kPressureThreshold},         kThreshold},
        {"Expand Threshold",    kWord,      {kExpandThreshold},           kThreshold},
        {"V sql low threshold", kBits,      {kSqlLowThresholdV},          kSqlLow},
        {"U sql low threshold", kBits,      {kSqlLowThresholdU},          kSqlLow},
        {"V sql low Threshold", kBits,      {kSqlLowThresholdVSecond},    kSqlLow, false, true},
    }};
}();
// clang-format on

struct CheckField {
    std::string_view caption;
    BitField where;
    bool inverted = false;  // checked when the bit is clear
};

inline constexpr std::array<CheckField, 10> kCheckFields{{
    {"Test Mode", {map::kAudioSwitches, 7, 1}, true},
    {"MCU LPF", {map::kAudioSwitches, 6, 1}},
    {"MCU HPF", {map::kAudioSwitches, 5, 1}},
    {"RDA1846S LPF", {map::kAudioSwitches, 3, 1}},
    {"RDA1846S HPF", {map::kAudioSwitches, 2, 1}},
    {"RDA1846S RSSI", {map::kAudioSwitches, 4, 1}},
    {"Pre emphasis", {map::kAudioSwitches, 0, 1}},
    {"De emphasis", {map::kAudioSwitches, 1, 1}},
    {"MCU Pre emphasis", {map::kMcuAudio, 0, 1}},
    {"MCU De emphasis", {map::kMcuAudio, 1, 1}},
}};

// What a grid's row labels say after the band text.
enum class GridRows { SqlLevels, PowerLevels, SquelchDetection };

// One grid: a table of bytes, row by row, behind a fixed header row and label column.
struct CalibrationGrid {
    GridRows rows;
    std::size_t offset = 0;
    int rowCount = 0;     // value rows
    int columnCount = 0;  // value columns
    std::array<std::string_view, 4> headers;
    int labelWidthTwips = 1800;
    int cellWidthTwips = 0;
    int replacement = 0;   // shown for a byte outside the editor's range
    SpinFieldRule editor;  // the in-place editor: the cell range, three characters

    std::size_t CellCount() const { return static_cast<std::size_t>(rowCount * columnCount); }
    std::size_t CellOffset(int row, int column) const {
        return offset + static_cast<std::size_t>(columnCount * row + column);
    }
};

enum class GridId { Sql, Power, SquelchDetection };
inline constexpr std::size_t kGridCount = 3;
// Row labels, table, rows x columns, headers, label and cell widths in twips, replacement, editor.
// clang-format off
inline constexpr std::array<CalibrationGrid, kGridCount> kCalibrationGrids{{
    {GridRows::SqlLevels, map::kSquelchThresholdTable, 6, 3, {"Low", "Mid", "High"},
     1800, 1100, 0, {0, 127, SpinFormat::Decimal, {kSignedDigits, 3, false}}},
    {GridRows::PowerLevels, kTransmitPowerTableOffset, 6, 3, {"Low", "Mid", "High"},
     1800, 1100, 1, {1, 255, SpinFormat::Decimal, {{}, 3, false}}},
    {GridRows::SquelchDetection, map::kSquelchDetectionTable, 9, 4,
     {"W High", "W Low", "N High", "N Low"},
     1800, 800, 0, {0, 137, SpinFormat::Decimal, {{}, 3, false}}},
}};
// clang-format on

inline const CalibrationGrid& GridOf(GridId id) {
    return kCalibrationGrids[static_cast<std::size_t>(id)];
}

// The label of value row `row` (from 0), UTF-8: "136-174 Sql 1", "136-174 " + the Chinese words
// for low power, "400-520 " + the words for squelch detection + "3".
std::string GridRowLabel(const CalibrationGrid& grid, int row);
// The band a value row belongs to.
int GridRowBand(const CalibrationGrid& grid, int row);

// Everything the dialog shows, as texts: the boxes in kScalarFields order, the check boxes in
// kCheckFields order, and every grid's cells row by row.
struct ParameterAdjustForm {
    std::array<std::string, kScalarFields.size()> fields;
    std::array<bool, kCheckFields.size()> checks{};
    std::array<std::vector<std::string>, kGridCount> cells;
};

// Fills the form from the image and clamps the boxes marked clampedWithForm.
ParameterAdjustForm LoadParameterAdjust(const MemoryImage& image);
// Clamps the boxes marked clampedWithForm (after a load, before a commit).
void ClampParameterAdjust(ParameterAdjustForm& form);
// Clamps, then stores the form into the image in the fixed order, deriving the computed tables.
void CommitParameterAdjust(ParameterAdjustForm& form, MemoryImage& image);

}  // namespace kestra
