// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/editor_field_diff.hpp"

#include <array>
#include <string>

#include "model/image_map.hpp"
#include "service/calibration_file.hpp"
#include "settings/settings_text.hpp"

namespace kestra {

namespace {

// The image ranges the service editors keep their values in.
constexpr std::array<ImageSpan, 3> kCalibrationRanges{{
    {map::kSquelchTable, map::kSquelchTableEnd},
    {map::kDtmfInit, map::kDtmfInitEnd},
    {map::kCalibration, map::kBandPointsEnd},
}};

}  // namespace

void DiffSettingsFields(const MemoryImage& before, const MemoryImage& after,
                        ByteComparison& comparison, std::vector<EditorFieldChange>& changes) {
    // The Call ID the Auto Dial page holds in memory is no part of the image.
    std::string callIdBefore;
    std::string callIdAfter;
    SettingsForms old(callIdBefore);
    SettingsForms now(callIdAfter);
    old.LoadFromImage(before);
    now.LoadFromImage(after);
    const auto oldForms = old.Forms();
    const auto newForms = now.Forms();
    ForEachFileField(old, [&](std::size_t f, std::size_t i) {
        const SettingsForm& form = *oldForms[f];
        const std::vector<ImageBits> owned = form.Owned(i);
        if (!comparison.AnyUnexplained(owned)) {
            return;
        }
        changes.push_back({std::string(form.Section()),
                           {std::string(form.Caption(i)), form.Text(i), newForms[f]->Text(i)}});
        comparison.Explain(owned);
    });
}

void DiffCalibrationFields(const MemoryImage& before, const MemoryImage& after,
                           ByteComparison& comparison, std::vector<EditorFieldChange>& changes) {
    bool any = false;
    for (const ImageSpan& range : kCalibrationRanges) {
        any = any || comparison.AnyDiffers(range.begin, range.end);
    }
    if (!any) {
        return;  // a write, which does not send the calibration, never loads the editors
    }
    const std::vector<CalibrationEntry> old = CalibrationEntries(before);
    const std::vector<CalibrationEntry> now = CalibrationEntries(after);
    for (std::size_t k = 0; k < old.size() && k < now.size(); ++k) {
        if (!comparison.AnyUnexplained(old[k].owned)) {
            continue;
        }
        changes.push_back(
            {std::string(old[k].section), {std::string(old[k].key), old[k].value, now[k].value}});
        comparison.Explain(old[k].owned);
    }
}

}  // namespace kestra
