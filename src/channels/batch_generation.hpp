// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Batch generation of channels: one range of memory channels (never the VFO slots) filled in
// one step with Rx frequencies stepping from a start, Tx equal to Rx, offset from it or stepping
// on its own, tones stepping through the tone list or drawn at random, and the same list
// settings and name for every channel. The "Batch Gerenate CH" dialog and kestra-cli batch
// build a BatchPlan from their boxes (batch_form.hpp) and hand it to ApplyBatch.
//
// Frequencies and steps are in 10 Hz units (a 12.5 kHz step is 1250).

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "channels/channel_fields.hpp"
#include "model/codecs.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

// The value moved to the nearest multiple of 2.5 kHz or 6.25 kHz (250 or 625 units). Of the
// moves down to a 250 multiple, up to one, down to a 625 multiple and up to one, the smallest
// wins, the earlier of equal ones. Unlike SnapToStep, this rounds up as well as down.
Frequency SnapToNearestRaster(Frequency value);

// The number of entries of the tone list the batch steps through (ToneChoiceList).
inline constexpr int kToneListSize = 265;

enum class TxFrequencyMode { Default, Offset, Start };

// Everything one Apply needs, already normalised.
struct BatchPlan {
    int first = 1;  // channel numbers 1..256 (A001 = 1, B001 = 129), first <= last
    int last = 256;

    Frequency rxStart = 0;  // lies in a section
    int rxStep = 0;
    int rxDirection = 1;  // +1 ascending, -1 descending

    TxFrequencyMode txMode = TxFrequencyMode::Default;
    Frequency offset = 0;
    int offsetSign = 1;  // +1 "Plus", -1 "Minus"
    // Lies in a section, whose limits bound the stepping Tx (an offset Tx keeps to the Rx
    // start's section).
    Frequency txStart = 0;
    int txStep = 0;
    int txDirection = 1;

    int rxTone = 0;  // index into ToneChoiceList
    bool rxRandom = false;
    int rxInterval = 0;  // 0..20
    int rxToneDirection = 1;

    bool txToneStart = false;  // false: every Tx tone is the channel's Rx tone
    int txTone = 0;
    bool txRandom = false;
    int txInterval = 0;
    int txToneDirection = 1;

    // Entries of the kChannelListFields lists; an index outside a list counts as 0.
    std::array<int, kChannelListFields.size()> lists{};
    std::string name;
    bool byNumber = false;  // the first 4 characters of name, then the channel number "%03d"
};

// Draws the next random number; the batch reduces each draw modulo the tone list's size.
using RandomDraw = std::function<std::uint32_t()>;
// A generator seeded with seed (the dialog seeds it from the clock at every Apply).
RandomDraw SeededRandomDraw(std::uint32_t seed);

// Writes the plan's channels into the image: for each channel of the range its frequencies,
// tones, option bytes 12 and 13 and name, and its bit in its section's present map. The shift
// fields and the other record bytes are left to the grid's next store.
void ApplyBatch(MemoryImage& image, const SectionLimits& limits, const BatchPlan& plan,
                const RandomDraw& random);

}  // namespace kestra
