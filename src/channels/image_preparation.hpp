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
#include "model/section_limits.hpp"

namespace kestra {

// The "Radio" combo's entries, in this order; the third is selected at start-up.
inline constexpr std::array<std::string_view, 3> kModelNames{"6120HE", "6120N", "6120E"};
inline constexpr int kDefaultModelIndex = 2;

// The bytes written from 0x2F01 on for a model (an index outside the list means model 0).
std::span<const std::uint8_t> ModelBlock(int modelIndex);

// 0x2F00-0x2F6F = 0xFF, the model's bytes from 0x2F01, then the fixed nine bytes at 0x2F70.
void WriteModelBlock(MemoryImage& image, int modelIndex);

// The model whose block an image holds exactly as WriteModelBlock leaves it, or -1 (a radio or
// file that never went through a save, or a block of some other model).
int ModelIndexOfImage(const MemoryImage& image);
// The index of a model's name in kModelNames ("6120HE" -> 0), or -1 for any other text.
int ModelIndexOfName(std::string_view name);

// The six preparation steps in order: derived calibration tables; fixed fills, the limits
// block, the fixed group at 0x1F70 and the menu bits the radio must not see set; the channel
// bitmaps; the first channels; valid current channels; the section windows.
void PrepareImageForWrite(MemoryImage& image, const SectionLimits& limits);

// The four window limits at 0x2E80 and the cleared second bitmaps at 0x2E90-0x2ECF. A section
// whose lower limit lies in no supported band keeps its own limits as its window.
void ComputeSectionWindows(MemoryImage& image, const SectionLimits& limits);

}  // namespace kestra
