// SPDX-License-Identifier: GPL-3.0-or-later
// Sort, move, insert, remove and find on the channel records: each operation computes the new
// order of a section's slots and then applies it in one place.

#include "channels/channel_list.hpp"

#include <algorithm>
#include <array>
#include <compare>

#include "channels/channel_fields.hpp"
#include "model/ascii.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

// Slot i of a section receives the record that stood in slot order[i] of the same section, or a
// cleared record for kClearedSlot.
constexpr int kClearedSlot = -1;
using SectionOrder = std::array<int, kListSectionSize>;

// The record whose bytes 16-23 the image preparation overwrites with the fixed group (B124).
constexpr int kFixedGroupRecord = static_cast<int>(map::kFixedGroup / kRecordSize);
constexpr std::size_t kFixedGroupInRecord = map::kFixedGroup % kRecordSize;

constexpr int SectionOfRecord(int record) {
    return record / kListSectionSize;
}

constexpr bool IsMemoryRecord(int record) {
    return record >= 0 && record < 2 * kListSectionSize;
}

std::string LabelOf(int record) {
    return ChannelLabel(record + 1);
}

std::string SectionName(int section) {
    return section == 0 ? "A" : "B";
}

// "the end of section A (A128)"
std::string SectionEnd(int section) {
    return "the end of section " + SectionName(section) + " (" +
           LabelOf((section + 1) * kListSectionSize - 1) + ")";
}

SectionOrder IdentityOrder() {
    SectionOrder order{};
    for (int i = 0; i < kListSectionSize; ++i) {
        order[static_cast<std::size_t>(i)] = i;
    }
    return order;
}

// A channel leaving B124 carries the fixed group only when a preparation put it there; then its
// bytes 16-23 become the cleared record's, as a channel made in any other slot holds them.
void DropFixedGroup(MemoryImage& image, int record) {
    const auto held = image.span(RecordOffset(record) + kFixedGroupInRecord, map::kFixedGroupSize);
    if (std::equal(held.begin(), held.end(), map::kFixedGroupBytes.begin())) {
        const auto cleared =
            std::span(kClearedRecord).subspan(kFixedGroupInRecord, map::kFixedGroupSize);
        std::copy(cleared.begin(), cleared.end(), held.begin());
    }
}

// Puts the section's records into their new slots, with their present and scan bits; the
// section's current channel follows its record.
void ApplySectionOrder(MemoryImage& image, int section, const SectionOrder& order) {
    const MemoryImage before = image;
    const int base = section * kListSectionSize;
    const std::size_t presentMap = map::PresentMapOf(section);
    const std::size_t scanMap = map::ScanMapOf(section);
    for (int slot = 0; slot < kListSectionSize; ++slot) {
        const int from = order[static_cast<std::size_t>(slot)];
        const int record = base + slot;
        if (from == kClearedSlot) {
            WriteClearedRecord(image, record);
            SetChannelBit(image, presentMap, slot + 1, false);
            SetChannelBit(image, scanMap, slot + 1, false);
            continue;
        }
        image.write(RecordOffset(record), before.span(RecordOffset(base + from), kRecordSize));
        SetChannelBit(image, presentMap, slot + 1, ChannelBit(before, presentMap, from + 1));
        SetChannelBit(image, scanMap, slot + 1, ChannelBit(before, scanMap, from + 1));
        if (base + from == kFixedGroupRecord && record != kFixedGroupRecord) {
            DropFixedGroup(image, record);
        }
    }
    const std::size_t current = section == 0 ? map::kCurrentChannelA : map::kCurrentChannelB;
    const auto found = std::find(order.begin(), order.end(), static_cast<int>(before[current]));
    if (before[current] < kListSectionSize && found != order.end()) {
        image[current] = static_cast<std::uint8_t>(found - order.begin());
    }
}

// ---- sort -----------------------------------------------------------------------------------

struct SortItem {
    int slot = 0;
    bool hasKey = true;
    Frequency frequency = 0;
    std::string name{};  // upper-cased for comparing
};

SortItem SortItemOf(const MemoryImage& image, int record, int slot, SortKey key) {
    const ConstChannelRecord channel(image, record);
    SortItem item{.slot = slot};
    if (key == SortKey::Name) {
        item.name = ToUpperAscii(channel.Name());
        item.hasKey = std::any_of(item.name.begin(), item.name.end(),
                                  [](char c) { return !IsAsciiBlank(c); });
    } else {
        const auto frequency =
            key == SortKey::RxFrequency ? channel.RxFrequency() : channel.TxFrequency();
        item.hasKey = frequency.has_value();
        item.frequency = frequency.value_or(0);
    }
    return item;
}

SectionOrder SortedOrder(const MemoryImage& image, const SectionLimits& limits, int section,
                         const SortOptions& options) {
    std::vector<SortItem> channels;
    std::vector<int> empty;
    for (int slot = 0; slot < kListSectionSize; ++slot) {
        const int record = section * kListSectionSize + slot;
        if (ChannelIsShown(image, record, limits)) {
            channels.push_back(SortItemOf(image, record, slot, options.key));
        } else {
            empty.push_back(slot);
        }
    }
    const bool byName = options.key == SortKey::Name;
    std::stable_sort(channels.begin(), channels.end(), [&](const SortItem& a, const SortItem& b) {
        if (a.hasKey != b.hasKey || !a.hasKey) {
            return a.hasKey && !b.hasKey;
        }
        const auto order = byName ? a.name <=> b.name : a.frequency <=> b.frequency;
        return options.descending ? order > 0 : order < 0;
    });
    SectionOrder order{};
    std::size_t next = 0;
    for (const SortItem& item : channels) {
        order[next++] = item.slot;
    }
    for (const int slot : empty) {
        order[next++] = slot;
    }
    return order;
}

}  // namespace

std::optional<ListRefusal> CheckChannelRange(ChannelRange range) {
    if (!IsMemoryRecord(range.first) || !IsMemoryRecord(range.last)) {
        return ListRefusal{
            "The VFO channels never move: choose channels of A001-A128 or B001-B128."};
    }
    if (range.first > range.last) {
        return ListRefusal{LabelOf(range.first) + "-" + LabelOf(range.last) +
                           " runs backwards: name the first channel first (" +
                           RangeLabel({range.last, range.first}) + ")."};
    }
    if (SectionOfRecord(range.first) != SectionOfRecord(range.last)) {
        return ListRefusal{RangeLabel(range) +
                           " spans both sections, and channels never move between A and B: "
                           "choose channels of one section."};
    }
    return std::nullopt;
}

std::string RangeLabel(ChannelRange range) {
    return range.first == range.last ? LabelOf(range.first)
                                     : LabelOf(range.first) + "-" + LabelOf(range.last);
}

void SortChannels(MemoryImage& image, const SectionLimits& limits, const SortOptions& options) {
    for (int section = 0; section < 2; ++section) {
        if ((section == 0 && options.sections == SortSections::B) ||
            (section == 1 && options.sections == SortSections::A)) {
            continue;
        }
        ApplySectionOrder(image, section, SortedOrder(image, limits, section, options));
    }
}

std::optional<ListRefusal> MoveChannels(MemoryImage& image, const SectionLimits&,
                                        ChannelRange range, int at) {
    if (auto refused = CheckChannelRange(range)) {
        return refused;
    }
    const int section = SectionOfRecord(range.first);
    const std::string what = "Cannot move " + RangeLabel(range);
    if (!IsMemoryRecord(at) || SectionOfRecord(at) != section) {
        return ListRefusal{what + " to " + (IsMemoryRecord(at) ? LabelOf(at) : "a VFO") +
                           ": channels never move between sections A and B or onto a VFO."};
    }
    const int base = section * kListSectionSize;
    const int start = at - base;
    if (start + range.Count() > kListSectionSize) {
        return ListRefusal{what + " to " + LabelOf(at) + ": the " + std::to_string(range.Count()) +
                           " channels would run past " + SectionEnd(section) +
                           "; the last place where they fit starts at " +
                           LabelOf(base + kListSectionSize - range.Count()) + "."};
    }
    const SectionOrder identity = IdentityOrder();
    const auto blockBegin = identity.begin() + (range.first - base);
    const auto blockEnd = identity.begin() + (range.last - base + 1);
    std::vector<int> rest(identity.begin(), blockBegin);
    rest.insert(rest.end(), blockEnd, identity.end());
    rest.insert(rest.begin() + start, blockBegin, blockEnd);
    SectionOrder order{};
    std::copy(rest.begin(), rest.end(), order.begin());
    ApplySectionOrder(image, section, order);
    return std::nullopt;
}

std::optional<ListRefusal> InsertEmptyChannels(MemoryImage& image, const SectionLimits& limits,
                                               int at, int count) {
    const std::string what = "Cannot insert " + std::to_string(count) + " empty channel" +
                             (count == 1 ? "" : "s") + " at " +
                             (IsMemoryRecord(at) ? LabelOf(at) : "a VFO");
    if (!IsMemoryRecord(at)) {
        return ListRefusal{what + ": the VFO channels never move."};
    }
    const int section = SectionOfRecord(at);
    const int base = section * kListSectionSize;
    const int start = at - base;
    const int room = kListSectionSize - start;
    if (count < 1 || count > room) {
        return ListRefusal{what + ": from " + LabelOf(at) + " to " + SectionEnd(section) +
                           " there is room for 1 to " + std::to_string(room) + "."};
    }
    std::vector<std::string> pushedOut;
    for (int slot = kListSectionSize - count; slot < kListSectionSize; ++slot) {
        if (ChannelIsShown(image, base + slot, limits)) {
            pushedOut.push_back(LabelOf(base + slot));
        }
    }
    if (!pushedOut.empty()) {
        std::string names = pushedOut.front();
        for (std::size_t i = 1; i < pushedOut.size(); ++i) {
            names += (i + 1 == pushedOut.size() ? " and " : ", ") + pushedOut[i];
        }
        return ListRefusal{what + ": " + names + (pushedOut.size() == 1 ? " holds" : " hold") +
                           " a channel that would be pushed past " + SectionEnd(section) +
                           ". Remove or move " + (pushedOut.size() == 1 ? "it" : "them") +
                           " first."};
    }
    SectionOrder order{};
    for (int slot = 0; slot < kListSectionSize; ++slot) {
        order[static_cast<std::size_t>(slot)] = slot < start           ? slot
                                                : slot < start + count ? kClearedSlot
                                                                       : slot - count;
    }
    ApplySectionOrder(image, section, order);
    return std::nullopt;
}

std::optional<ListRefusal> RemoveChannels(MemoryImage& image, const SectionLimits&,
                                          ChannelRange range) {
    if (auto refused = CheckChannelRange(range)) {
        return refused;
    }
    const int section = SectionOfRecord(range.first);
    const int first = range.first - section * kListSectionSize;
    SectionOrder order{};
    for (int slot = 0; slot < kListSectionSize; ++slot) {
        const int from = slot < first ? slot : slot + range.Count();
        order[static_cast<std::size_t>(slot)] = from < kListSectionSize ? from : kClearedSlot;
    }
    ApplySectionOrder(image, section, order);
    return std::nullopt;
}

bool ChannelMatches(const MemoryImage& image, const SectionLimits& limits, int record,
                    std::string_view text) {
    if (!ChannelIsShown(image, record, limits)) {
        return false;
    }
    const ConstChannelRecord channel(image, record);
    const auto startsWith = [text](std::optional<Frequency> f) {
        return f.has_value() && FrequencyToMhzText(*f).starts_with(text);
    };
    return ToUpperAscii(channel.Name()).find(ToUpperAscii(text)) != std::string::npos ||
           startsWith(channel.RxFrequency()) || startsWith(channel.TxFrequency());
}

std::vector<int> FindChannels(const MemoryImage& image, const SectionLimits& limits,
                              std::string_view text) {
    std::vector<int> found;
    for (int record = 0; record < kRecordCount; ++record) {
        if (ChannelMatches(image, limits, record, text)) {
            found.push_back(record);
        }
    }
    return found;
}

}  // namespace kestra
