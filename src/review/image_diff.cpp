// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/image_diff.hpp"

#include <array>
#include <optional>
#include <string_view>

#include "channels/channel_fields.hpp"
#include "model/calibration_tables.hpp"
#include "model/channel_record.hpp"
#include "model/image_map.hpp"
#include "review/byte_comparison.hpp"
#include "review/editor_field_diff.hpp"

namespace kestra {

namespace {

// The summary areas the image preparation derives before every save and write: the fixed group,
// valid current channels, the menu bits the radio must not see set, the filled and limits
// blocks, first channels, channel bitmaps, section windows, the model block and the derived
// calibration tables.
std::vector<ImageBits> SummaryBits() {
    std::vector<ImageBits> bits;
    const auto bytes = [&bits](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            bits.push_back({i, 0xFF});
        }
    };
    bytes(map::kFixedGroup, map::kFixedGroup + map::kFixedGroupSize);
    bytes(map::kCurrentChannelA, map::kCurrentChannelA + 1);
    bytes(map::kCurrentChannelB, map::kCurrentChannelB + 1);
    for (const auto& [offset, mask] : map::kPreparationClearedBits) {
        bits.push_back({offset, mask});
    }
    bytes(map::kEncodeFilled, map::kModelLimits + map::kModelLimitsSize);
    bytes(map::kFirstChannelA, map::kFirstChannelB + 1);
    bytes(map::kFirstChannelFill, map::kFirstChannelFill + map::kFirstChannelFillSize);
    bytes(map::kPresentMapA, map::kBitmapsEnd);
    bytes(map::kSectionWindows, map::kSecondBitmaps + map::kSecondBitmapsSize);
    bytes(map::kModelBlock, map::kModelTail + map::kModelTailSize);
    bytes(kReferenceLevelTableOffset, kReferenceLevelTableOffset + kReferenceLevelTableSize);
    bytes(kPowerSlopeTableOffset,
          kPowerSlopeTableOffset + kPowerSlopeGroupSize * kTransmitPowerRowCount);
    bytes(map::kBandPoints, map::kBandPointsEnd);
    return bits;
}

// Names for the bytes no table owns: the editor blocks and summary areas they lie in.
struct Area {
    std::string_view name;
    std::size_t begin;
    std::size_t end;
};
constexpr std::array<Area, 11> kAreas{{
    {"Optional Features", map::kMenuSettings, map::kMenuSettingsEnd},
    {"DTMF", map::kDtmfSettings, map::kDtmfSettingsEnd},
    {"Sql Adjust", map::kSquelchTable, map::kSquelchTableEnd},
    {"section limits", map::kModelLimits, map::kModelLimits + map::kModelLimitsSize},
    {"first channels", map::kFirstChannelA, map::kPresentMapA},
    {"channel bitmaps", map::kPresentMapA, map::kBitmapsEnd},
    {"section windows", map::kSectionWindows, map::kSecondBitmaps + map::kSecondBitmapsSize},
    {"model block", map::kModelBlock, map::kModelTail + map::kModelTailSize},
    {"Radio", map::kBroadcast, map::kBroadcastEnd},
    {"DTMF Initialization", map::kDtmfInit, map::kDtmfInitEnd},
    {"Parameter Adjust", map::kCalibration, map::kBandPointsEnd},
}};

constexpr std::size_t kRecordsEnd = RecordOffset(kRecordCount);
// The record bytes the grid derives from a channel's Rx and Tx each time it stores the channel:
// the shift direction (byte 15) and the shift amount (bytes 16-19).
constexpr std::size_t kDerivedShiftBegin = 15;
constexpr std::size_t kDerivedShiftEnd = 20;

// The area an offset lies in: a channel record's label or a named area ("" for the rest).
std::string AreaOf(std::size_t offset) {
    if (offset < kRecordsEnd) {
        return ChannelLabel(static_cast<int>(offset / kRecordSize) + 1);
    }
    for (const Area& area : kAreas) {
        if (offset >= area.begin && offset < area.end) {
            return std::string(area.name);
        }
    }
    return {};
}

std::string ChannelSummary(const MemoryImage& image, int record) {
    const ConstChannelRecord channel(image, record);
    std::string text = FrequencyToMhzText(channel.RxFrequency().value_or(0)) + " MHz";
    const std::string name = channel.Name();
    return name.empty() ? text : text + " \"" + name + "\"";
}

// derived: set when the channel's derived shift bytes changed.
std::optional<ChannelDifference> CompareChannel(const MemoryImage& before, const MemoryImage& after,
                                                int record,
                                                const std::array<SectionLimits, 2>& limits,
                                                ByteComparison& comparison, bool& derived) {
    const std::size_t base = RecordOffset(record);
    const bool was = ChannelIsShown(before, record, limits[0]);
    const bool is = ChannelIsShown(after, record, limits[1]);
    ChannelDifference channel{
        record, ChannelLabel(record + 1), ChannelDifference::Kind::Changed, {}, {}};
    if (was != is) {
        channel.kind = is ? ChannelDifference::Kind::Added : ChannelDifference::Kind::Removed;
        channel.summary = ChannelSummary(is ? after : before, record);
        comparison.Explain(base, base + kRecordSize);
        return channel;
    }
    if (!was || !comparison.AnyDiffers(base, base + kRecordSize)) {
        return std::nullopt;
    }
    const auto old = ChannelFieldTexts(before, record);
    const auto now = ChannelFieldTexts(after, record);
    for (std::size_t f = 0; f < old.size(); ++f) {
        const std::size_t first = base + old[f].firstByte;
        const std::size_t last = first + old[f].byteCount;
        if (old[f].text != now[f].text && comparison.AnyDiffers(first, last)) {
            channel.fields.push_back({std::string(old[f].caption), old[f].text, now[f].text});
            comparison.Explain(first, last);
        }
    }
    // Every store of a channel derives its shift from its Rx and Tx, which the user sees; a
    // changed shift that follows them is one of the summary areas, any other stays in offsets.
    if (ShiftFollowsFrequencies(after, record) &&
        comparison.AnyDiffers(base + kDerivedShiftBegin, base + kDerivedShiftEnd)) {
        comparison.Explain(base + kDerivedShiftBegin, base + kDerivedShiftEnd);
        derived = true;
    }
    if (channel.fields.empty()) {
        return std::nullopt;
    }
    return channel;
}

}  // namespace

ImageDifference DiffImages(const MemoryImage& before, const MemoryImage& after,
                           std::span<const ImageSpan> spans) {
    ImageDifference result;
    ByteComparison comparison(before, after, spans);
    const std::array<SectionLimits, 2> limits{LimitsOfImage(before), LimitsOfImage(after)};
    bool derived = false;
    for (int record = 0; record < kRecordCount; ++record) {
        if (auto channel = CompareChannel(before, after, record, limits, comparison, derived)) {
            result.channels.push_back(std::move(*channel));
        }
    }
    DiffSettingsFields(before, after, comparison, result.fields);
    DiffCalibrationFields(before, after, comparison, result.fields);
    static const std::vector<ImageBits> summary = SummaryBits();
    result.summaryAreas = derived || comparison.AnyUnexplained(summary);
    comparison.Explain(summary);
    result.other = comparison.Runs(0, kImageSize, AreaOf);
    return result;
}

}  // namespace kestra
