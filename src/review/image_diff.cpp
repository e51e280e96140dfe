// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/image_diff.hpp"

#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>

#include "channels/channel_fields.hpp"
#include "model/channel_record.hpp"
#include "model/image_map.hpp"
#include "service/calibration_file.hpp"

namespace kestra {

namespace {

// The settings blocks in the Edit menu's order; service blocks name the section of the
// calibration text whose values describe them.
struct Block {
    std::string_view caption;
    std::size_t begin;
    std::size_t end;
    std::string_view valuesSection;
};
constexpr std::array<Block, 6> kBlocks{{
    {"Optional Features", map::kMenuSettings, map::kMenuSettingsEnd, {}},
    {"DTMF", map::kDtmfSettings, map::kDtmfSettingsEnd, {}},
    {"Radio", map::kBroadcast, map::kBroadcastEnd, {}},
    {"Parameter Adjust", map::kCalibration, map::kBandPointsEnd, kParameterAdjustSection},
    {"DTMF Initialization", map::kDtmfInit, map::kDtmfInitEnd, kDtmfInitializationSection},
    {"Sql Adjust", map::kSquelchTable, map::kSquelchTableEnd, kSqlAdjustSection},
}};

// Areas outside the blocks that have a name.
struct Area {
    std::string_view name;
    std::size_t begin;
    std::size_t end;
};
constexpr std::array<Area, 5> kAreas{{
    {"section limits", map::kModelLimits, map::kModelLimits + map::kModelLimitsSize},
    {"first channels", map::kFirstChannelA, map::kPresentMapA},
    {"channel bitmaps", map::kPresentMapA, map::kBitmapsEnd},
    {"section windows", map::kSectionWindows, map::kSecondBitmaps + map::kSecondBitmapsSize},
    {"model block", map::kModelBlock, map::kModelTail + map::kModelTailSize},
}};

constexpr std::size_t kRecordsEnd = RecordOffset(kRecordCount);
constexpr std::size_t kShownBytes = 8;  // longer runs are counted, not listed

// The area an offset lies in: a channel record's label or a named area ("" for the rest), and
// an identity that changes at every area boundary.
std::pair<int, std::string> AreaOf(std::size_t offset) {
    if (offset < kRecordsEnd) {
        const int record = static_cast<int>(offset / kRecordSize);
        return {record, ChannelLabel(record + 1)};
    }
    for (std::size_t i = 0; i < kAreas.size(); ++i) {
        if (offset >= kAreas[i].begin && offset < kAreas[i].end) {
            return {kRecordCount + static_cast<int>(i), std::string(kAreas[i].name)};
        }
    }
    return {-1, {}};
}

// The state of one comparison: which bytes differ and which a line has already explained.
class Comparison {
public:
    Comparison(const MemoryImage& before, const MemoryImage& after,
               std::span<const ImageSpan> spans)
        : before_(before), after_(after) {
        for (std::size_t i = 0; i < kImageSize; ++i) {
            bool counted = spans.empty();
            for (const ImageSpan& span : spans) {
                counted = counted || (i >= span.begin && i < span.end);
            }
            differs_[i] = counted && before[i] != after[i];
        }
    }

    bool AnyDiffers(std::size_t begin, std::size_t end) const {
        for (std::size_t i = begin; i < end; ++i) {
            if (differs_[i]) {
                return true;
            }
        }
        return false;
    }
    void Explain(std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            explained_[i] = true;
        }
    }

    // The unexplained differing bytes of [begin, end), split where the area changes; each run
    // is named `name`, or after its area when name is empty. All of them count as explained.
    std::vector<ByteDifference> Runs(std::size_t begin, std::size_t end, std::string_view name) {
        std::vector<ByteDifference> runs;
        std::size_t i = begin;
        while (i < end) {
            if (!differs_[i] || explained_[i]) {
                ++i;
                continue;
            }
            const auto [area, areaName] = AreaOf(i);
            ByteDifference run{i, i, name.empty() ? areaName : std::string(name), {}, {}};
            while (i < end && differs_[i] && !explained_[i] && AreaOf(i).first == area) {
                run.before.push_back(before_[i]);
                run.after.push_back(after_[i]);
                explained_[i++] = true;
            }
            run.end = i;
            runs.push_back(std::move(run));
        }
        return runs;
    }

private:
    const MemoryImage& before_;
    const MemoryImage& after_;
    std::array<bool, kImageSize> differs_{};
    std::array<bool, kImageSize> explained_{};
};

std::string ChannelSummary(const MemoryImage& image, int record) {
    const ConstChannelRecord channel(image, record);
    std::string text = FrequencyToMhzText(channel.RxFrequency().value_or(0)) + " MHz";
    const std::string name = channel.Name();
    return name.empty() ? text : text + " \"" + name + "\"";
}

std::optional<ChannelDifference> CompareChannel(const MemoryImage& before, const MemoryImage& after,
                                                int record,
                                                const std::array<SectionLimits, 2>& limits,
                                                Comparison& comparison) {
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
    if (channel.fields.empty()) {
        return std::nullopt;
    }
    return channel;
}

// The key=value lines of one section of a calibration text, in order.
std::vector<std::pair<std::string, std::string>> SectionValues(const std::string& text,
                                                               std::string_view section) {
    std::vector<std::pair<std::string, std::string>> values;
    bool inside = false;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line.starts_with('[')) {
            inside = line == "[" + std::string(section) + "]";
        } else if (const std::size_t eq = line.find('='); inside && eq != std::string::npos) {
            values.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
        }
    }
    return values;
}

std::vector<FieldChange> ValueChanges(const std::string& before, const std::string& after,
                                      std::string_view section) {
    const auto old = SectionValues(before, section);
    const auto now = SectionValues(after, section);
    std::vector<FieldChange> changes;
    for (std::size_t i = 0; i < old.size() && i < now.size(); ++i) {
        if (old[i].second != now[i].second) {
            changes.push_back({old[i].first, old[i].second, now[i].second});
        }
    }
    return changes;
}

}  // namespace

ImageDifference DiffImages(const MemoryImage& before, const MemoryImage& after,
                           std::span<const ImageSpan> spans) {
    ImageDifference result;
    Comparison comparison(before, after, spans);
    const std::array<SectionLimits, 2> limits{LimitsOfImage(before), LimitsOfImage(after)};
    for (int record = 0; record < kRecordCount; ++record) {
        if (auto channel = CompareChannel(before, after, record, limits, comparison)) {
            result.channels.push_back(std::move(*channel));
        }
    }
    std::optional<std::array<std::string, 2>> calibration;
    for (const Block& block : kBlocks) {
        if (!comparison.AnyDiffers(block.begin, block.end)) {
            continue;
        }
        BlockDifference difference{std::string(block.caption), {}, {}};
        if (!block.valuesSection.empty()) {
            if (!calibration) {
                calibration = {FormatCalibrationFile(before), FormatCalibrationFile(after)};
            }
            difference.values =
                ValueChanges((*calibration)[0], (*calibration)[1], block.valuesSection);
        }
        if (difference.values.empty()) {
            difference.bytes = comparison.Runs(block.begin, block.end, block.caption);
        } else {
            comparison.Explain(block.begin, block.end);
        }
        if (!difference.values.empty() || !difference.bytes.empty()) {
            result.blocks.push_back(std::move(difference));
        }
    }
    result.other = comparison.Runs(0, kImageSize, {});
    return result;
}

namespace {

std::string Hex(std::size_t value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*zX", digits, value);
    return buffer;
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += (text.empty() ? "" : " ") + Hex(byte, 2);
    }
    return text;
}

// An empty field text (no Tx frequency, no name) reads "(none)".
std::string Shown(const std::string& text) {
    return text.empty() ? "(none)" : text;
}

std::string RangeText(const ByteDifference& run) {
    std::string text = "0x" + Hex(run.begin, 4);
    if (run.end - run.begin > 1) {
        text += "-0x" + Hex(run.end - 1, 4);
    }
    return text;
}

std::string RunChange(const ByteDifference& run) {
    if (run.before.size() > kShownBytes) {
        return std::to_string(run.before.size()) + " bytes differ";
    }
    return Bytes(run.before) + " -> " + Bytes(run.after);
}

}  // namespace

std::string FormatImageDifference(const ImageDifference& difference) {
    std::string text;
    for (const ChannelDifference& channel : difference.channels) {
        if (channel.kind != ChannelDifference::Kind::Changed) {
            text += channel.label +
                    (channel.kind == ChannelDifference::Kind::Added ? " added: " : " removed: ") +
                    channel.summary + "\n";
        }
        for (const FieldChange& field : channel.fields) {
            text += channel.label + " " + field.caption + ": " + Shown(field.before) + " -> " +
                    Shown(field.after) + "\n";
        }
    }
    for (const BlockDifference& block : difference.blocks) {
        for (const FieldChange& value : block.values) {
            text += block.caption + ", " + value.caption + ": " + value.before + " -> " +
                    value.after + "\n";
        }
        for (const ByteDifference& run : block.bytes) {
            text += block.caption + ", " + RangeText(run) + ": " + RunChange(run) + "\n";
        }
    }
    for (const ByteDifference& run : difference.other) {
        text += RangeText(run) + (run.area.empty() ? "" : " (" + run.area + ")") + ": " +
                RunChange(run) + "\n";
    }
    return text;
}

}  // namespace kestra
