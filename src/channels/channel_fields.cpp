// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/channel_fields.hpp"

#include "channels/image_preparation.hpp"
#include "model/channel_record.hpp"
#include "model/image_map.hpp"

namespace kestra {

namespace {

constexpr int kSectionChannels = 128;
constexpr int kMemoryChannels = 2 * kSectionChannels;

ChannelFieldText FrequencyField(std::string_view caption, std::optional<Frequency> f,
                                std::size_t first) {
    return {caption, f ? FrequencyToMhzText(*f) : std::string(), first, 4};
}

}  // namespace

std::string_view ChannelListText(const MemoryImage& image, int record, const ListField& field) {
    BitField where = field.where;
    where.offset += RecordOffset(record);
    const std::size_t index = ReadBits(image, where);
    if (index < field.texts.size()) {
        return field.texts[index];
    }
    const int fallback = field.fallbackIndex == ListField::kNoFallback ? 0 : field.fallbackIndex;
    return field.texts[static_cast<std::size_t>(fallback)];
}

std::vector<ChannelFieldText> ChannelFieldTexts(const MemoryImage& image, int record) {
    const ConstChannelRecord channel(image, record);
    std::vector<ChannelFieldText> fields;
    fields.push_back(FrequencyField("Rx Freq", channel.RxFrequency(), 0));
    fields.push_back(FrequencyField("Tx Freq", channel.TxFrequency(), 4));
    fields.push_back({"Rx Tone", channel.RxToneText(), 8, 2});
    fields.push_back({"Tx Tone", channel.TxToneText(), 10, 2});
    auto list = [&](std::size_t i) {
        const ListField& field = kChannelListFields[i];
        fields.push_back({field.caption, std::string(ChannelListText(image, record, field)),
                          field.where.offset, 1});
    };
    for (std::size_t i = 0; i < 5; ++i) {  // Tx Power to Voice Process
        list(i);
    }
    fields.push_back({"CH. Name", channel.Name(), 24, kChannelNameLength});
    for (std::size_t i = 5; i < kChannelListFields.size(); ++i) {  // Scan Add to Relay Mode
        list(i);
    }
    return fields;
}

bool ChannelIsShown(const MemoryImage& image, int record, const SectionLimits& limits) {
    if (record < kMemoryChannels) {
        const int section = record / kSectionChannels;
        if (!ChannelBit(image, map::PresentMapOf(section), record % kSectionChannels + 1)) {
            return false;
        }
    }
    return RecordIsPresent(image, record, limits);
}

SectionLimits LimitsOfImage(const MemoryImage& image) {
    SectionLimits limits;
    ReadModelLimits(image, limits);
    return limits;
}

int ShownChannelCount(const MemoryImage& image) {
    const SectionLimits limits = LimitsOfImage(image);
    int count = 0;
    for (int record = 0; record < kMemoryChannels; ++record) {
        count += ChannelIsShown(image, record, limits) ? 1 : 0;
    }
    return count;
}

}  // namespace kestra
