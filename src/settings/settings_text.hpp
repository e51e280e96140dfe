// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Radio settings as a text file a user can keep, compare and apply to other radios: every field
// of the "Optional Features", "DTMF" and "Radio" dialogs as the dialogs show it, one
// "Caption=value" line per field in INI sections named after the forms. Applying a file sets
// each listed field as if the user had typed or chosen that text and left the control, so the
// forms' normalisation applies; printing an image and applying the print back to it changes
// nothing.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/broadcast_settings.hpp"
#include "settings/dtmf_settings.hpp"
#include "settings/optional_features.hpp"

namespace kestra {

// The forms of all settings dialogs at once, opened on one image.
class SettingsForms {
public:
    // callId: the Auto Dial page's Call ID held in memory.
    explicit SettingsForms(std::string& callId);

    // Opens every dialog: each form decodes the image.
    void LoadFromImage(const MemoryImage& image);
    // Closes every dialog in the order the program closes them: each form encodes.
    void StoreToImage(MemoryImage& image);

    // "Optional Features", "DTMF Encode", "DTMF Decode", "DTMF Auto Dial", "Radio".
    std::array<SettingsForm*, 5> Forms();
    std::array<const SettingsForm*, 5> Forms() const;

private:
    OptionalFeaturesForm optionalFeatures_;
    DtmfEncodePage encode_;
    DtmfDecodePage decode_;
    DtmfAutoDialPage autoDial_;
    RadioForm radio_;
};

// Every field a settings file holds, in the file's order: the form's position in Forms() and
// the field's index in that form. The print and the comparison of two images both walk it.
void ForEachFileField(const SettingsForms& forms,
                      const std::function<void(std::size_t form, std::size_t field)>& visit);

// Every field the image holds, as the forms now show them.
std::string PrintSettings(const SettingsForms& forms);

struct SettingsTextError {
    int line = 0;
    std::string message;
};

// Applies the file's lines in order. Stops at the first line that names no section or field,
// names a section or a field given before (which of the two would win is anybody's guess), gives
// a list a text it does not have, or an edit characters it does not take.
std::optional<SettingsTextError> ApplySettingsText(std::string_view text, SettingsForms& forms);

}  // namespace kestra
