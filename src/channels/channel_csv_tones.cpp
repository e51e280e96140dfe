// SPDX-License-Identifier: GPL-3.0-or-later
// The tone, scan, power and name columns of one row of the interchange format.

#include <cstdio>

#include "channels/channel_csv_rows.hpp"
#include "model/ascii.hpp"
#include "model/channel_record.hpp"

namespace kestra::csv {

namespace {

// The names of the tone columns, for the notes.
constexpr std::string_view kRToneFreqName = "rToneFreq";
constexpr std::string_view kCToneFreqName = "cToneFreq";
constexpr std::string_view kDtcsCodeName = "DtcsCode";
constexpr std::string_view kRxDtcsCodeName = "RxDtcsCode";

std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// A CTCSS column as a tone text the grid holds ("88.5"); "None" with a note when the text is no
// tone the radio can hold.
std::string Ctcss(const RowView& row, Column column, std::string_view name,
                  std::vector<std::string>& notes) {
    const std::string_view text = row.Get(column);
    const auto tenths = ScaleDecimal(text, 1);
    const std::string tone =
        tenths ? NormalizeToneText(TenthsToToneText(static_cast<int>(tenths->value))) : "None";
    if (tone == "None") {
        notes.push_back(std::string(name) + " " + Quote(text) +
                        " is no CTCSS tone from 60.0 to 280.0 Hz: no tone");
    } else if (!tenths->exact) {
        notes.push_back(std::string(name) + " " + std::string(text) + " Hz cut to " + tone + " Hz");
    }
    return tone;
}

// A DCS column with its polarity letter (N normal, R inverted) as a tone text ("D023N").
std::string Dcs(const RowView& row, Column column, std::string_view name, char polarity,
                std::vector<std::string>& notes) {
    const std::string_view text = row.Get(column);
    const auto code = WholeNumber(text);
    std::string tone = "None";
    if (code) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "D%03d%c", *code, polarity == 'R' ? 'I' : 'N');
        tone = NormalizeToneText(buffer);
    }
    if (tone == "None") {
        notes.push_back(std::string(name) + " " + Quote(text) +
                        " is no DCS code from 001 to 777: no tone");
    }
    return tone;
}

// DtcsPolarity: two letters, N or R, for the sent and the decoded code.
std::string Polarity(const RowView& row, std::vector<std::string>& notes) {
    const std::string_view text = row.Get(kDtcsPolarity);
    if (text.empty()) {
        return "NN";
    }
    const std::string polarity = ToUpperAscii(text);
    if (polarity.size() == 2 && (polarity[0] == 'N' || polarity[0] == 'R') &&
        (polarity[1] == 'N' || polarity[1] == 'R')) {
        return polarity;
    }
    notes.push_back("DtcsPolarity " + Quote(text) + " is none of NN, NR, RN, RR: NN used");
    return "NN";
}

// "Tone->DTCS" and the like: what is sent and what is decoded, each "", "Tone" or "DTCS".
bool SplitCrossMode(std::string_view mode, std::string_view& sent, std::string_view& decoded) {
    const std::size_t arrow = mode.find("->");
    if (arrow == std::string_view::npos) {
        return false;
    }
    sent = mode.substr(0, arrow);
    decoded = mode.substr(arrow + 2);
    auto known = [](std::string_view side) {
        return side.empty() || EqualsIgnoringAsciiCase(side, "Tone") ||
               EqualsIgnoringAsciiCase(side, "DTCS");
    };
    return known(sent) && known(decoded) && !(sent.empty() && decoded.empty());
}

void MapCross(const RowView& row, CsvChannel& channel, std::vector<std::string>& notes) {
    std::string_view crossMode = row.Get(kCrossMode);
    if (crossMode.empty()) {
        crossMode = "Tone->Tone";
    }
    std::string_view sent;
    std::string_view decoded;
    if (!SplitCrossMode(crossMode, sent, decoded)) {
        notes.push_back("CrossMode " + Quote(crossMode) + " is not one the radio has: no tones");
        return;
    }
    const bool dcs =
        EqualsIgnoringAsciiCase(sent, "DTCS") || EqualsIgnoringAsciiCase(decoded, "DTCS");
    const std::string polarity = dcs ? Polarity(row, notes) : "NN";
    if (EqualsIgnoringAsciiCase(sent, "Tone")) {
        channel.txTone = Ctcss(row, kRToneFreq, kRToneFreqName, notes);
    } else if (EqualsIgnoringAsciiCase(sent, "DTCS")) {
        channel.txTone = Dcs(row, kDtcsCode, kDtcsCodeName, polarity[0], notes);
    }
    if (EqualsIgnoringAsciiCase(decoded, "Tone")) {
        channel.rxTone = Ctcss(row, kCToneFreq, kCToneFreqName, notes);
    } else if (EqualsIgnoringAsciiCase(decoded, "DTCS")) {
        channel.rxTone = Dcs(row, kRxDtcsCode, kRxDtcsCodeName, polarity[1], notes);
    }
}

bool IsWordFor(std::string_view text, std::string_view word) {
    return EqualsIgnoringAsciiCase(text, word) || EqualsIgnoringAsciiCase(text, word.substr(0, 1));
}

bool MapPower(std::string_view text, const PowerScale& power, std::vector<std::string>& notes) {
    if (text.empty() || IsWordFor(text, "High")) {
        return true;
    }
    if (IsWordFor(text, "Low")) {
        return false;
    }
    if (const auto mw = Milliwatts(text)) {
        return *mw == power.highestMilliwatts;
    }
    const bool low = text.size() >= 3 && EqualsIgnoringAsciiCase(text.substr(0, 3), "Low");
    notes.push_back("Power " + Quote(text) + " is neither High nor Low: " + (low ? "Low" : "High") +
                    " used");
    return !low;
}

// The characters the radio shows (printable ASCII), at most seven of them.
std::string MapName(std::string_view text, std::vector<std::string>& notes) {
    std::string name;
    bool dropped = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte <= 0x7E) {
            name.push_back(static_cast<char>(byte));
        } else if ((byte & 0xC0) != 0x80) {  // one note per character, not per UTF-8 byte
            dropped = true;
        }
    }
    if (dropped) {
        notes.push_back("Name " + Quote(text) +
                        " holds characters the radio cannot show: " + Quote(name) + " kept");
    }
    if (name.size() > kChannelNameLength) {
        notes.push_back("Name " + Quote(name) + " is longer than 7 characters: cut to " +
                        Quote(name.substr(0, kChannelNameLength)));
        name.resize(kChannelNameLength);
    }
    return name;
}

}  // namespace

void MapTones(const RowView& row, CsvChannel& channel, std::vector<std::string>& notes) {
    const std::string_view mode = row.Get(kTone);
    if (mode.empty()) {
        return;
    }
    if (EqualsIgnoringAsciiCase(mode, "Tone")) {
        channel.txTone = Ctcss(row, kRToneFreq, kRToneFreqName, notes);
    } else if (EqualsIgnoringAsciiCase(mode, "TSQL")) {
        channel.txTone = Ctcss(row, kCToneFreq, kCToneFreqName, notes);
        channel.rxTone = channel.txTone;
    } else if (EqualsIgnoringAsciiCase(mode, "DTCS")) {
        const std::string polarity = Polarity(row, notes);
        channel.txTone = Dcs(row, kDtcsCode, kDtcsCodeName, polarity[0], notes);
        // The same code decoded; its note is given once.
        std::vector<std::string> again;
        channel.rxTone = Dcs(row, kDtcsCode, kDtcsCodeName, polarity[1], again);
    } else if (EqualsIgnoringAsciiCase(mode, "Cross")) {
        MapCross(row, channel, notes);
    } else {
        notes.push_back("Tone " + Quote(mode) + " is not a tone mode the radio has: no tones");
    }
}

void MapOptions(const RowView& row, const PowerScale& power, CsvChannel& channel,
                std::vector<std::string>& notes) {
    const std::string_view skip = row.Get(kSkip);
    channel.scanAdd = !EqualsIgnoringAsciiCase(skip, "S");
    if (!skip.empty() && channel.scanAdd) {
        notes.push_back("Skip " + Quote(skip) +
                        " is not one the radio has: the channel is scanned");
    }
    channel.highPower = MapPower(row.Get(kPower), power, notes);
    channel.name = MapName(row.Raw(kName), notes);
}

}  // namespace kestra::csv
