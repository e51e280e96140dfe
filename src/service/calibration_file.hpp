// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A radio's calibration as a readable, diffable text: the values the three service editors show
// after loading a document, in INI form with one section per dialog. Keys are the dialogs' own
// captions; a grid cell is "Row/Column" ("136-174 Sql 1/Mid") and a Sql Adjust cell
// "Band Point/Row/Column" ("136-174 141/RSSI1/N Low"). Check boxes are 1 (checked) or 0.
//
// Applying such a text sets each listed value as typing it into its box and leaving the box
// would, then commits every editor in a fixed order: Parameter Adjust (with its derived tables),
// DTMF Initialization, then the Sql Adjust points that were listed. A value equal to what the
// editor already shows leaves the box untouched, so a printed file applies back unchanged even
// where the image holds a value outside the box's range.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/field_layout.hpp"
#include "model/memory_image.hpp"

namespace kestra {

inline constexpr std::string_view kParameterAdjustSection = "Parameter Adjust";
inline constexpr std::string_view kDtmfInitializationSection = "DTMF Initialization";
inline constexpr std::string_view kSqlAdjustSection = "Sql Adjust";

// One value of the text: its section and key, what the editor shows for it, and the bits of the
// image its box, check box or cell is stored in.
struct CalibrationEntry {
    std::string_view section;
    std::string_view key;
    std::string value;
    std::vector<ImageBits> owned;
};

// Every value the editors show for this image, in the text's order. The text and the comparison
// of two images both walk it.
std::vector<CalibrationEntry> CalibrationEntries(const MemoryImage& image);

// The three sections with every value the editors show for this image.
std::string FormatCalibrationFile(const MemoryImage& image);

// Sets the text's values and commits the three editors into the image. Nothing, when it went
// through; otherwise one line naming the line of the text and the problem (an unknown section or
// key, a key given twice, a value the box would not hold), and the image is left as it was.
std::optional<std::string> ApplyCalibrationFile(std::string_view text, MemoryImage& image);

}  // namespace kestra
