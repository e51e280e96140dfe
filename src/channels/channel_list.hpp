// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Managing the channel list: sort, move, insert, remove and find, on the channel records of a
// memory image. The desktop program and kestra-cli run the same functions, each inside one
// edit of the image (the grid stored into the records before, decoded again after).
//
// A channel is its whole 32-byte record, and the operations only move records from slot to
// slot: no byte inside a record changes, and the record's bits in its section's present and
// scan maps travel with it, so the grid shows the moved channels before the next save derives
// the maps again. Everything stays within a section (A001-A128 and B001-B128 hold different
// bands); the two VFO records never move. A slot is empty when it holds no channel the grid
// shows (ChannelIsShown); slots freed at a section's end hold cleared records.
//
// Two things follow a channel besides its record. The radio's current channel of a section
// follows its channel to the new slot. And the eight fixed bytes the image preparation writes
// into B124's record belong to that slot, not to its channel: a channel that leaves B124 takes
// the cleared record's bytes there instead of the preparation's, so its shift and reserved bytes
// do not carry the fixed group (whose magnitude would read as erased and cost a cross-band Tx).
//
// An operation that cannot be done is refused with a message and leaves the image untouched.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

inline constexpr int kListSectionSize = 128;

// Channels first..last as record indices (0-127 A001-A128, 128-255 B001-B128), first <= last.
struct ChannelRange {
    int first = 0;
    int last = 0;
    int Count() const { return last - first + 1; }
    bool operator==(const ChannelRange&) const = default;
};

// Why an operation was not done; the image is as it was before.
struct ListRefusal {
    std::string message;
};

enum class SortKey { RxFrequency, TxFrequency, Name };
enum class SortSections { A, B, Both };

struct SortOptions {
    SortKey key = SortKey::RxFrequency;
    bool descending = false;
    SortSections sections = SortSections::Both;
};

// Nothing when range names channels of one section in order; else why it cannot be moved or
// removed (a VFO in it, backwards, across both sections).
std::optional<ListRefusal> CheckChannelRange(ChannelRange range);

// Sorts the channels of each chosen section by the key, stable (equal keys keep their order).
// Names compare without regard to ASCII case. Channels without the key (no name, or only
// blanks; no Tx frequency) come after those with one, in either order, and empty slots come
// last of all, in their own order. Never refused.
void SortChannels(MemoryImage& image, const SectionLimits& limits, const SortOptions& options);

// Moves the channels of range to start at slot at (same section); the channels in between
// shift to make room, as rows in a list do. Refused when the range spans both sections,
// names a VFO, at lies in the other section or the moved block would run past its end.
std::optional<ListRefusal> MoveChannels(MemoryImage& image, const SectionLimits& limits,
                                        ChannelRange range, int at);

// Inserts count empty slots (cleared records) at slot at; the channels from at on shift down.
// Refused, naming them, when channels would be pushed past the section's end, and when the
// count does not fit between at and that end.
std::optional<ListRefusal> InsertEmptyChannels(MemoryImage& image, const SectionLimits& limits,
                                               int at, int count);

// Deletes the channels of range; the following ones shift up and the freed slots at the end of
// the section become cleared records. Refused for a range across sections or with a VFO.
std::optional<ListRefusal> RemoveChannels(MemoryImage& image, const SectionLimits& limits,
                                          ChannelRange range);

// Whether record (0..257) holds a channel the grid shows whose name contains text (ASCII case
// ignored) or whose Rx or Tx frequency, as the grid writes it ("146.52500"), starts with text.
bool ChannelMatches(const MemoryImage& image, const SectionLimits& limits, int record,
                    std::string_view text);
// The records (0..257, VFOs included, in row order) that ChannelMatches.
std::vector<int> FindChannels(const MemoryImage& image, const SectionLimits& limits,
                              std::string_view text);

// ---- channel labels on the command line -------------------------------------------------------
// "A005", "a5", "B128": a section letter in either case and 1 to 3 digits naming 1-128. The
// record index; nothing, with a sentence saying why, for anything else (a VFO, A129, "130").
std::optional<int> ParseListChannel(std::string_view text, std::string& problem);
// "FROM" or "FROM-TO" of such labels, in one section and in order.
std::optional<ChannelRange> ParseListRange(std::string_view text, std::string& problem);
// "A005-A007", or "A005" for a range of one.
std::string RangeLabel(ChannelRange range);

}  // namespace kestra
