// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boxes of the "Batch Gerenate CH" dialog as texts and choices, with the rules that
// normalise them while typing and when a box is left, and the plan an Apply carries out. The
// dialog shows a BatchForm; kestra-cli batch fills one from its options. Both go through
// PlanBatch, which normalises every box again, so an Apply never uses a box as typed.

#include <array>
#include <string>
#include <string_view>

#include "channels/batch_generation.hpp"
#include "model/field_layout.hpp"
#include "model/section_limits.hpp"

namespace kestra {

enum class BatchRange { All, ASection, BSection, From };

// What each box takes while typing.
inline constexpr TypingRules kRangeBoxTyping{kDigitsOnly, 3};
inline constexpr TypingRules kStartBoxTyping{kDecimalDigits, 9};
inline constexpr TypingRules kOffsetBoxTyping{kDecimalDigits, 8};
inline constexpr TypingRules kStepBoxTyping{kDecimalDigits, 6};
inline constexpr TypingRules kIntervalBoxTyping{kDigitsOnly, 2};
// Whether the whole text could be typed into a box with these rules (as it is, no case change).
bool TypingAccepts(const TypingRules& rules, std::string_view text);

struct BatchForm {
    BatchRange range = BatchRange::All;
    std::string from = "1";
    std::string to = "256";

    std::string rxStart;       // MHz
    std::string rxStep = "0";  // kHz
    bool rxDescending = false;

    TxFrequencyMode txMode = TxFrequencyMode::Default;
    std::string offset;  // MHz
    bool minus = false;
    std::string txStart;
    std::string txStep = "0";
    bool txDescending = false;

    int rxTone = 0;  // index into ToneChoiceList
    bool rxRandom = false;
    std::string rxInterval = "0";
    bool rxToneDescending = false;

    bool txToneStart = false;  // the Tx tone group's "Start Tone" (else "Default")
    int txTone = 0;
    bool txRandom = false;
    std::string txInterval = "0";
    bool txToneDescending = false;

    std::array<int, kChannelListFields.size()> lists{};  // first entry of each
    std::string name;
    bool byNumber = false;
};

// The form as the dialog opens: All 1-256, both start boxes at the A section's lower limit,
// offset 0.00000 Plus, steps and intervals 0, every list on its first entry.
BatchForm DefaultBatchForm(const SectionLimits& limits);

// The range radios: All 1-256, A Section 1-128, B Section 129-256 (From keeps the boxes).
void ChooseRange(BatchForm& form, BatchRange range);
// From left: 0 or above To becomes 1, above 256 becomes 256.
std::string NormalizeFromText(std::string_view from, std::string_view to);
// To left: 0, below From or above 256 becomes 256.
std::string NormalizeToText(std::string_view to, std::string_view from);
// While typing an interval: above 20 becomes 20, empty becomes 0.
std::string LimitIntervalText(std::string_view text);
// While typing a step: above 1000 kHz becomes 1000.
std::string LimitStepText(std::string_view text);
// A step box left: snapped to the nearest 2.5 or 6.25 kHz multiple, shown with "%G" (7 -> 7.5).
std::string NormalizeStepText(std::string_view text);
// A start box left: an emptied box gets atFocus back; a frequency in no section becomes the A
// section's lower limit; snapped to the nearest raster; shown with "%3.5f".
std::string NormalizeStartText(std::string_view text, std::string_view atFocus,
                               const SectionLimits& limits);

// The form with every box normalised as if each had been left, as the plan an Apply carries
// out.
BatchPlan PlanBatch(const BatchForm& form, const SectionLimits& limits);

}  // namespace kestra
