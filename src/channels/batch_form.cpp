// SPDX-License-Identifier: GPL-3.0-or-later
// The batch dialog's boxes and their normalisation.

#include "channels/batch_form.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "channels/channel_table.hpp"
#include "model/codecs.hpp"
#include "model/text_numbers.hpp"

namespace kestra {

namespace {

constexpr int kLastChannel = 256;
constexpr int kMaxInterval = 20;
// The largest step in hundredths of a kHz (10 Hz units): 1000 kHz.
constexpr std::int64_t kMaxStep = 100000;

int BoxNumber(std::string_view text) {
    return SaturateToInt(ScaleDecimalText(text, 0));
}

std::int64_t StepValue(std::string_view text) {
    return std::clamp<std::int64_t>(ScaleDecimalText(text, 2), 0, kMaxStep);
}

Frequency FrequencyValue(std::string_view text) {
    return CellFrequency(text);
}

// A start box as an Apply reads it; an empty one counts as a frequency in no section.
Frequency StartValue(std::string_view text, const SectionLimits& limits) {
    return FrequencyValue(NormalizeStartText(text.empty() ? "0" : text, "", limits));
}

int Direction(bool descending) {
    return descending ? -1 : 1;
}

}  // namespace

bool TypingAccepts(const TypingRules& rules, std::string_view text) {
    if (rules.maxLength > 0 && text.size() > static_cast<std::size_t>(rules.maxLength)) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [&rules](char c) {
        const auto typed = TypedCharacter(rules, c);
        return typed && *typed == c;
    });
}

BatchForm DefaultBatchForm(const SectionLimits& limits) {
    BatchForm form;
    form.rxStart = FrequencyToMhzText(limits.lower[0]);
    form.txStart = form.rxStart;
    form.offset = FrequencyToMhzText(0);
    return form;
}

void ChooseRange(BatchForm& form, BatchRange range) {
    form.range = range;
    switch (range) {
        case BatchRange::All:
            form.from = "1";
            form.to = "256";
            break;
        case BatchRange::ASection:
            form.from = "1";
            form.to = "128";
            break;
        case BatchRange::BSection:
            form.from = "129";
            form.to = "256";
            break;
        case BatchRange::From:
            break;
    }
}

std::string NormalizeFromText(std::string_view from, std::string_view to) {
    int value = BoxNumber(from);
    if (value <= 0 || value > BoxNumber(to)) {
        value = 1;
    } else if (value > kLastChannel) {
        value = kLastChannel;
    }
    return std::to_string(value);
}

std::string NormalizeToText(std::string_view to, std::string_view from) {
    int value = BoxNumber(to);
    if (value <= 0 || value < BoxNumber(from) || value > kLastChannel) {
        value = kLastChannel;
    }
    return std::to_string(value);
}

std::string LimitIntervalText(std::string_view text) {
    if (text.empty()) {
        return "0";
    }
    return BoxNumber(text) > kMaxInterval ? std::to_string(kMaxInterval) : std::string(text);
}

std::string LimitStepText(std::string_view text) {
    return ScaleDecimalText(text, 2) > kMaxStep ? std::string("1000") : std::string(text);
}

std::string NormalizeStepText(std::string_view text) {
    const auto snapped = SnapToNearestRaster(static_cast<Frequency>(StepValue(text)));
    std::array<char, 32> shown{};
    std::snprintf(shown.data(), shown.size(), "%G", snapped / 100.0);
    return shown.data();
}

std::string NormalizeStartText(std::string_view text, std::string_view atFocus,
                               const SectionLimits& limits) {
    if (text.empty()) {
        return std::string(atFocus);
    }
    const std::int64_t typed = ScaleDecimalText(text, 5);
    Frequency f = limits.lower[0];
    if (typed > 0 && typed <= kMaxCellFrequency &&
        limits.SectionOf(static_cast<Frequency>(typed)) >= 0) {
        f = static_cast<Frequency>(typed);
    }
    return FrequencyToMhzText(SnapToNearestRaster(f));
}

BatchPlan PlanBatch(const BatchForm& form, const SectionLimits& limits) {
    BatchPlan plan;
    if (form.range != BatchRange::All) {
        const std::string from = NormalizeFromText(form.from, form.to);
        const std::string to = NormalizeToText(form.to, from);
        plan.first = BoxNumber(from);
        plan.last = BoxNumber(to);
    }
    plan.rxStart = StartValue(form.rxStart, limits);
    plan.rxStep = static_cast<int>(StepValue(NormalizeStepText(form.rxStep)));
    plan.rxDirection = Direction(form.rxDescending);

    plan.txMode = form.txMode;
    plan.offset = FrequencyValue(form.offset);
    plan.offsetSign = form.minus ? -1 : 1;
    plan.txStart = StartValue(form.txStart, limits);
    plan.txStep = static_cast<int>(StepValue(NormalizeStepText(form.txStep)));
    plan.txDirection = Direction(form.txDescending);

    plan.rxTone = std::clamp(form.rxTone, 0, kToneListSize - 1);
    plan.rxRandom = form.rxRandom;
    plan.rxInterval = std::clamp(BoxNumber(form.rxInterval), 0, kMaxInterval);
    plan.rxToneDirection = Direction(form.rxToneDescending);
    plan.txToneStart = form.txToneStart;
    plan.txTone = std::clamp(form.txTone, 0, kToneListSize - 1);
    plan.txRandom = form.txRandom;
    plan.txInterval = std::clamp(BoxNumber(form.txInterval), 0, kMaxInterval);
    plan.txToneDirection = Direction(form.txToneDescending);

    plan.lists = form.lists;
    plan.name = form.name;
    plan.byNumber = form.byNumber;
    return plan;
}

}  // namespace kestra
