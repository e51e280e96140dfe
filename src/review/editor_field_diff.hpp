// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings and calibration part of a comparison: the fields of the "Optional Features",
// "DTMF" and "Radio" dialogs and the values of the three service editors, walked as the
// `settings` and `calibration` prints walk them, each compared by the bits it owns. A field whose
// bits differ is listed under its editor and caption and its bits count as explained.

#include <vector>

#include "model/memory_image.hpp"
#include "review/byte_comparison.hpp"
#include "review/image_diff.hpp"

namespace kestra {

void DiffSettingsFields(const MemoryImage& before, const MemoryImage& after,
                        ByteComparison& comparison, std::vector<EditorFieldChange>& changes);

void DiffCalibrationFields(const MemoryImage& before, const MemoryImage& after,
                           ByteComparison& comparison, std::vector<EditorFieldChange>& changes);

}  // namespace kestra
