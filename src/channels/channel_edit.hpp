// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Channel Edit dialog without its widgets: the texts and selections of its controls, and
// every rule that turns them into a channel record and back. The dialog (and kestra-cli
// channel) copy what the user typed into fields(), call the operation the user's action stands
// for (leaving a box, a spin click, closing) and show fields() again afterwards.
//
// The editor works on the memory image directly, one record at a time: loading fills the
// fields from the record of the current channel, and every way of leaving a channel (another
// number, a spin step, closing) saves the fields into its record first. Channels are numbered
// 1..258 as the "CH" box counts them: 1-128 A001-A128, 129-256 B001-B128, 257 "A VFO", 258
// "B VFO" (record = number - 1).

#include <array>
#include <string>
#include <string_view>

#include "channels/channel_fields.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

inline constexpr int kChannelSlotCount = 258;
// The "CH" box's characters and length.
inline constexpr int kChannelTextLength = 4;
// The "CH. Name" box takes printable ASCII characters only: a name byte outside 0x20-0x7E ends
// the name when the record is read back, so anything else would be lost.
bool NameCharacterAccepted(char c);

// The channel number a "CH" text names: "A5"/"B5" (either letter case), a plain number, "A VFO"
// or "B VFO"; 0 for anything else. Not range-tested.
int ParseChannelText(std::string_view text);
// The number clamped into 1..258.
int ClampChannelNumber(int number);

// What the controls hold. A list's entry is an index into its kChannelListFields list, -1 when
// it has no selection (an empty channel).
struct ChannelEditFields {
    std::string ch;
    std::string rxFreq;
    std::string txFreq;
    std::string rxTone;
    std::string txTone;
    std::array<int, kChannelListFields.size()> lists{};
    std::string name;
    // Whether the controls other than "CH" and "Rx Freq" take input.
    bool enabled = false;
};

class ChannelEditor {
public:
    // Opens on channel number (1..258; clamped): "CH" shows its label and the channel is
    // loaded. image and limits must outlive the editor.
    ChannelEditor(MemoryImage& image, const SectionLimits& limits, int number);

    ChannelEditFields& fields() { return fields_; }
    const ChannelEditFields& fields() const { return fields_; }
    // The channel the fields belong to (1..258).
    int number() const { return number_; }
    // "Rx Freq" as last committed; empty for an empty channel.
    const std::string& committedRx() const { return committedRx_; }

    // Fills the fields from the record of the channel "CH" names.
    void LoadChannel();
    // Writes the fields into the record of the current channel (the default record when the
    // committed Rx is empty) and marks the channel present.
    void SaveChannel();

    // "Rx Freq" left (or Enter in it): pulled into a section and onto the raster; the first Rx
    // of an empty channel also sets Tx and presets the lists.
    void CommitRxFrequency();
    // "Tx Freq" left; textAtFocus is what the box held when it took the focus (an emptied box
    // gets it back).
    void CommitTxFrequency(std::string_view textAtFocus);
    // A tone box left: its text read as TypedToneText reads it (while the channel has an Rx).
    // False when it was refused; the box then shows the tone it had before.
    bool CommitRxTone();
    bool CommitTxTone();
    // "CH" left: a different number saves this channel and loads that one (clamped).
    void CommitChannelNumber();
    // The spin: saves this channel and loads the next (+1) or previous (-1), wrapping around.
    void StepChannel(int step);

    void SetChannelControlsEnabled(bool enabled);

private:
    // A typed frequency pulled into a section (the A lower limit when it lies in none) and
    // onto the step raster, as the box shows it.
    std::string CommittedFrequencyText(std::string_view typed) const;
    void PresetNewChannel();

    // The tone box's text read, or its last committed tone when refused.
    bool CommitTone(std::string& box, std::string& committed);

    MemoryImage& image_;
    const SectionLimits& limits_;
    ChannelEditFields fields_;
    int number_ = 1;
    std::string committedRx_;
    // The tones the boxes held after the last load or accepted commit.
    std::string committedRxTone_;
    std::string committedTxTone_;
};

}  // namespace kestra
