// SPDX-License-Identifier: GPL-3.0-or-later
// Channel records to rows of the interchange format.

#include <array>
#include <numeric>
#include <optional>

#include "channels/channel_csv.hpp"
#include "channels/channel_fields.hpp"
#include "model/channel_record.hpp"
#include "model/csv_text.hpp"

namespace kestra {

namespace {

constexpr int kMemoryChannels = 256;

// What the unused tone columns hold, as other tools write them.
constexpr std::string_view kDefaultCtcss = "88.5";
constexpr std::string_view kDefaultDcs = "023";
constexpr std::string_view kDefaultCrossMode = "Tone->Tone";

// One side of a channel's squelch signalling, from the record's tone text.
struct ToneSide {
    enum class Kind { None, Ctcss, Dcs } kind = Kind::None;
    std::string value;  // "88.5" for CTCSS, the code's digits ("023") for DCS
    char polarity = 'N';

    static ToneSide From(const std::string& text) {
        if (text == "None") {
            return {};
        }
        if (!text.empty() && text.front() == 'D') {
            // "D023N" / "D754I": the digits between the letters.
            const bool inverted = text.back() == 'I';
            return {Kind::Dcs, text.substr(1, text.size() - 2), inverted ? 'R' : 'N'};
        }
        return {Kind::Ctcss, text, 'N'};
    }
    bool operator==(const ToneSide&) const = default;
};

// The tone columns of one row: Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode,
// CrossMode.
struct ToneColumns {
    std::string mode;
    std::string rTone{kDefaultCtcss};
    std::string cTone{kDefaultCtcss};
    std::string dtcs{kDefaultDcs};
    std::string polarity = "NN";
    std::string rxDtcs{kDefaultDcs};
    std::string crossMode{kDefaultCrossMode};
};

ToneColumns ToneColumnsOf(const ToneSide& sent, const ToneSide& decoded) {
    using Kind = ToneSide::Kind;
    ToneColumns c;
    c.polarity = {sent.polarity, decoded.polarity};
    if (sent.kind == Kind::None && decoded.kind == Kind::None) {
        return c;
    }
    if (sent.kind == Kind::Ctcss && decoded.kind == Kind::None) {
        c.mode = "Tone";
        c.rTone = sent.value;
        return c;
    }
    if (sent == decoded && sent.kind == Kind::Ctcss) {
        c.mode = "TSQL";
        c.cTone = sent.value;
        return c;
    }
    if (sent.kind == Kind::Dcs && decoded.kind == Kind::Dcs && sent.value == decoded.value) {
        c.mode = "DTCS";
        c.dtcs = sent.value;
        return c;
    }
    c.mode = "Cross";
    auto side = [&c](const ToneSide& tone, bool isSent) -> std::string {
        if (tone.kind == Kind::Ctcss) {
            (isSent ? c.rTone : c.cTone) = tone.value;
            return "Tone";
        }
        if (tone.kind == Kind::Dcs) {
            (isSent ? c.dtcs : c.rxDtcs) = tone.value;
            return "DTCS";
        }
        return {};
    };
    const std::string left = side(sent, true);
    c.crossMode = left + "->" + side(decoded, false);
    return c;
}

// MHz with six decimals, the format's own precision.
std::string MhzText(Frequency f) {
    return FrequencyToMhzText(f) + "0";
}

// The coarsest of the radio's rasters every frequency of the channel sits on: "12.50", "6.25",
// "5.00", else "2.50" (kHz).
std::string_view StepText(Frequency rx, std::optional<Frequency> tx) {
    auto allOn = [&](Frequency step) { return rx % step == 0 && (!tx || *tx % step == 0); };
    if (allOn(1250)) {
        return "12.50";
    }
    if (allOn(625)) {
        return "6.25";
    }
    return allOn(500) ? "5.00" : "2.50";
}

std::string ExportRow(const MemoryImage& image, const SectionLimits& limits, int record) {
    const ConstChannelRecord channel(image, record);
    const Frequency rx = channel.RxFrequency().value_or(0);
    const std::optional<Frequency> tx = channel.TxFrequency();

    std::string duplex;
    std::string offset = MhzText(0);
    if (!tx) {
        duplex = "off";
    } else if (*tx != rx && limits.SameSection(rx, *tx)) {
        duplex = *tx > rx ? "+" : "-";
        offset = MhzText(*tx > rx ? *tx - rx : rx - *tx);
    } else if (*tx != rx) {
        duplex = "split";
        offset = MhzText(*tx);
    }
    const ToneColumns tones =
        ToneColumnsOf(ToneSide::From(channel.TxToneText()), ToneSide::From(channel.RxToneText()));
    const std::array<std::string, 21> fields{std::to_string(record + 1),
                                             CsvField(channel.Name()),
                                             MhzText(rx),
                                             duplex,
                                             offset,
                                             tones.mode,
                                             tones.rTone,
                                             tones.cTone,
                                             tones.dtcs,
                                             tones.polarity,
                                             tones.rxDtcs,
                                             tones.crossMode,
                                             channel.Wide() ? "FM" : "NFM",
                                             std::string(StepText(rx, tx)),
                                             channel.ScanAdd() ? "" : "S",
                                             channel.HighPower() ? "High" : "Low",
                                             {},
                                             {},
                                             {},
                                             {},
                                             {}};
    std::string line = fields[0];
    for (std::size_t i = 1; i < fields.size(); ++i) {
        line += ',';
        line += fields[i];
    }
    return line + '\n';
}

}  // namespace

std::string ExportChannelsCsv(const MemoryImage& image, const SectionLimits& limits,
                              std::span<const int> records) {
    std::string text = std::string(kCsvHeader) + '\n';
    for (const int record : records) {
        if (record >= 0 && record < kMemoryChannels && ChannelIsShown(image, record, limits)) {
            text += ExportRow(image, limits, record);
        }
    }
    return text;
}

std::string ExportChannelsCsv(const MemoryImage& image, const SectionLimits& limits) {
    std::array<int, kMemoryChannels> all{};
    std::iota(all.begin(), all.end(), 0);
    return ExportChannelsCsv(image, limits, all);
}

}  // namespace kestra
