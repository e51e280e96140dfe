// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Channel Edit dialog's controls as lines of text, and typing "Caption=value" into them:
// how kestra-cli shows and edits one channel with the same rules as the dialog. A value goes
// through what its control lets a user type and is then committed as leaving the control
// would, so a frequency is pulled into a section and onto the raster and a tone is normalised
// (a number that is no tone of the lists is refused); a list value must be one of its list's
// texts.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "channels/channel_edit.hpp"

namespace kestra {

// Every control as (caption, text) in the dialog's order: "CH", "Rx Freq", "Tx Freq",
// "Rx Tone", "Tx Tone", "Tx Power", "W/N", "BCL", "Vox", "Voice Process", "CH. Name",
// "Scan Add", "Signal Type", "PTT ID", "Relay Mode". A list without a selection shows "".
std::vector<std::pair<std::string_view, std::string>> ChannelEditTexts(
    const ChannelEditFields& fields);

// The same as "Caption: value" lines ("Caption:" alone for an empty value).
std::string PrintChannelEdit(const ChannelEditFields& fields);

// Types "Caption=value" into the control of that caption (any letter case) and leaves it.
// Nothing when it went in; otherwise why not, and the editor is unchanged.
std::optional<std::string> TypeIntoChannelEditor(ChannelEditor& editor,
                                                 std::string_view assignment);

}  // namespace kestra
