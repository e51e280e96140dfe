// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the channel view writes into the memory image besides the channel records, before every
// save and every write to the radio: the model block of the chosen radio model, the section
// limits, the channel bitmaps and first channels, valid current channels, the section windows and
// the derived calibration tables. Nothing reaches a file or the radio without passing through
// PrepareImageForWrite.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/memory_image.hpp"
#include "model/radio_models.hpp"
#include "model/section_limits.hpp"

namespace kestra {

// The six preparation steps in order: derived calibration tables; fixed fills, the limits
// block, the fixed group at 0x1F70 and the menu bits the radio must not see set; the channel
// bitmaps; the first channels; valid current channels; the section windows.
void PrepareImageForWrite(MemoryImage& image, const SectionLimits& limits);

// The four window limits at 0x2E80 and the cleared second bitmaps at 0x2E90-0x2ECF. A section
// whose lower limit lies in no supported band keeps its own limits as its window.
void ComputeSectionWindows(MemoryImage& image, const SectionLimits& limits);

}  // namespace kestra
