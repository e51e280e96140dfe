// SPDX-License-Identifier: GPL-3.0-or-later
// Batch generation of a channel range.

#include "channels/batch_generation.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "model/channel_record.hpp"
#include "model/field_layout.hpp"
#include "model/image_map.hpp"

namespace kestra {

namespace {

constexpr int kSectionChannels = 128;
constexpr int kMemoryChannels = 256;

struct Limits {
    std::int64_t lower;
    std::int64_t upper;
};

// The limits of the section f lies in; section A's when it lies in none (a start frequency is
// normalised into a section, but a snapped value can fall just outside an odd limit).
Limits LimitsOf(const SectionLimits& limits, Frequency f) {
    const int section = std::max(limits.SectionOf(f), 0);
    const auto s = static_cast<std::size_t>(section);
    return {limits.lower[s], limits.upper[s]};
}

// One step of a stepping frequency: out of its limits it wraps to the lower limit when
// ascending, the upper when descending; otherwise it is snapped to the raster.
std::int64_t Advance(std::int64_t f, int direction, int step, const Limits& limits) {
    f += static_cast<std::int64_t>(direction) * step;
    if (f < limits.lower || f > limits.upper) {
        return direction > 0 ? limits.lower : limits.upper;
    }
    return SnapToNearestRaster(static_cast<Frequency>(f));
}

int NextToneIndex(int index, int direction, int interval) {
    return (index + direction * interval + kToneListSize) % kToneListSize;
}

int DrawTone(const RandomDraw& random) {
    return static_cast<int>(random() % kToneListSize);
}

// The option bytes 12 and 13 every generated channel gets.
std::array<std::uint8_t, 2> OptionBytes(const BatchPlan& plan) {
    MemoryImage scratch;
    for (std::size_t i = 0; i < kChannelListFields.size(); ++i) {
        const ListField& field = kChannelListFields[i];
        const int index = plan.lists[i];
        const bool inList = index >= 0 && static_cast<std::size_t>(index) < field.texts.size();
        WriteBits(scratch, field.where, inList ? static_cast<unsigned>(index) : 0U);
    }
    return {scratch[12], scratch[13]};
}

std::string ChannelName(const BatchPlan& plan, int channel) {
    if (!plan.byNumber) {
        return plan.name;
    }
    std::array<char, 8> number{};
    std::snprintf(number.data(), number.size(), "%03d", channel);
    return plan.name.substr(0, 4) + number.data();
}

std::string ToneText(int index) {
    return ToneChoiceList()[static_cast<std::size_t>(index)];
}

}  // namespace

Frequency SnapToNearestRaster(Frequency value) {
    const int r1 = value % 250;
    const int r2 = value % 625;
    if (r1 == 0 || r2 == 0) {
        return value;
    }
    const std::array<int, 4> moves{-r1, 250 - r1, -r2, 625 - r2};
    int best = moves[0];
    for (int move : moves) {
        if (std::abs(move) < std::abs(best)) {
            best = move;
        }
    }
    return value + best;
}

RandomDraw SeededRandomDraw(std::uint32_t seed) {
    return [engine = std::mt19937(seed)]() mutable { return static_cast<std::uint32_t>(engine()); };
}

void ApplyBatch(MemoryImage& image, const SectionLimits& limits, const BatchPlan& plan,
                const RandomDraw& random) {
    const int first = std::clamp(plan.first, 1, kMemoryChannels);
    const int last = std::clamp(plan.last, first, kMemoryChannels);
    const Limits rxLimits = LimitsOf(limits, plan.rxStart);
    // An offset Tx stays in the Rx's section: the Tx start box, disabled in Offset mode, keeps
    // the A section's lower limit, and its section would put every UHF Tx at 136 MHz.
    const Limits txLimits =
        plan.txMode == TxFrequencyMode::Offset ? rxLimits : LimitsOf(limits, plan.txStart);
    const std::array<std::uint8_t, 2> options = OptionBytes(plan);
    std::int64_t rx = plan.rxStart;
    std::int64_t txStart = plan.txStart;
    int v = std::clamp(plan.rxTone, 0, kToneListSize - 1);
    int w = std::clamp(plan.txTone, 0, kToneListSize - 1);

    for (int channel = first; channel <= last; ++channel) {
        const int record = channel - 1;
        ChannelRecord out(image, record);
        out.SetRxFrequency(static_cast<Frequency>(rx));
        std::int64_t tx = rx;
        if (plan.txMode == TxFrequencyMode::Offset) {
            tx = rx + static_cast<std::int64_t>(plan.offsetSign) * plan.offset;
            if (tx < txLimits.lower || tx > txLimits.upper) {
                tx = plan.offsetSign > 0 ? txLimits.lower : txLimits.upper;
            }
        } else if (plan.txMode == TxFrequencyMode::Start) {
            tx = txStart;
        }
        out.SetTxFrequency(static_cast<Frequency>(tx));

        if (plan.rxRandom) {
            v = DrawTone(random);
        }
        out.SetRxToneText(ToneText(v));
        if (plan.txToneStart && plan.txRandom) {
            w = DrawTone(random);
        }
        out.SetTxToneText(ToneText(plan.txToneStart ? w : v));
        out.SetByte(12, options[0]);
        out.SetByte(13, options[1]);
        out.SetName(ChannelName(plan, channel));
        const int section = record / kSectionChannels;
        SetChannelBit(image, map::PresentMapOf(section), record % kSectionChannels + 1, true);

        rx = Advance(rx, plan.rxDirection, plan.rxStep, rxLimits);
        if (plan.txMode == TxFrequencyMode::Start) {
            txStart = Advance(txStart, plan.txDirection, plan.txStep, txLimits);
        }
        if (!plan.rxRandom) {
            v = NextToneIndex(v, plan.rxToneDirection, plan.rxInterval);
        }
        if (plan.txToneStart && !plan.txRandom) {
            w = NextToneIndex(w, plan.txToneDirection, plan.txInterval);
        }
    }
}

}  // namespace kestra
