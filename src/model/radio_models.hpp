// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio models the program knows and the model block every save and write carries: which
// model an image's block names, and the block each model gets. The "Radio" box offers the
// models; the image preparation writes the chosen one's block; the backups, the cable check of
// the demo radio and the command line name an image's model through the same rule.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/memory_image.hpp"

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

// The model the "Radio" box shows for an image opened in a freshly started program: the one its
// model block names, else the start-up model.
std::string_view ModelNameOfImage(const MemoryImage& image);

}  // namespace kestra
