// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the channel list tests: channels put into an image the way the grid holds
// them, rows of an exported list by column name, and the tone cases both directions share.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "channels/channel_csv.hpp"
#include "model/channel_record.hpp"
#include "model/csv_text.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace kestra::test {

struct Channel {
    int record = 0;
    Frequency rx = 14652000;
    std::optional<Frequency> tx = 14652000;
    std::string rxTone = "None";
    std::string txTone = "None";
    bool wide = true;
    bool scanAdd = true;
    bool highPower = true;
    std::string name{};
};

// Writes the channel into a cleared record and marks it present.
inline void Put(MemoryImage& image, const Channel& c) {
    WriteClearedRecord(image, c.record);
    ChannelRecord record(image, c.record);
    record.SetRxFrequency(c.rx);
    record.SetTxFrequency(c.tx);
    record.SetRxToneText(c.rxTone);
    record.SetTxToneText(c.txTone);
    record.SetWide(c.wide);
    record.SetScanAdd(c.scanAdd);
    record.SetHighPower(c.highPower);
    record.SetName(c.name);
    if (c.record < 256) {  // the VFO slots have no present bit
        SetChannelBit(image, map::PresentMapOf(c.record / 128), c.record % 128 + 1, true);
    }
}

using Row = std::map<std::string, std::string>;

// The rows of a list (after its header) as column name -> text.
inline std::vector<Row> Rows(const std::string& text) {
    std::string error;
    const auto records = ParseCsv(text, ',', error);
    std::vector<Row> rows;
    if (!records || records->empty()) {
        return rows;
    }
    const auto& header = records->front().fields;
    for (std::size_t r = 1; r < records->size(); ++r) {
        Row row;
        for (std::size_t c = 0; c < header.size() && c < (*records)[r].fields.size(); ++c) {
            row[header[c]] = (*records)[r].fields[c];
        }
        rows.push_back(row);
    }
    return rows;
}

// One combination of sent (Tx) and decoded (Rx) tone with the columns that carry it.
struct ToneCase {
    const char* txTone;
    const char* rxTone;
    const char* mode;
    const char* rTone;
    const char* cTone;
    const char* dtcs;
    const char* polarity;
    const char* rxDtcs;
    const char* crossMode;
};

inline const std::vector<ToneCase>& ToneCases() {
    static const std::vector<ToneCase> cases{
        {"None", "None", "", "88.5", "88.5", "023", "NN", "023", "Tone->Tone"},
        {"100.0", "None", "Tone", "100.0", "88.5", "023", "NN", "023", "Tone->Tone"},
        {"103.5", "103.5", "TSQL", "88.5", "103.5", "023", "NN", "023", "Tone->Tone"},
        {"D023N", "D023N", "DTCS", "88.5", "88.5", "023", "NN", "023", "Tone->Tone"},
        {"D754I", "D754N", "DTCS", "88.5", "88.5", "754", "RN", "023", "Tone->Tone"},
        {"D125N", "D125I", "DTCS", "88.5", "88.5", "125", "NR", "023", "Tone->Tone"},
        {"67.0", "254.1", "Cross", "67.0", "254.1", "023", "NN", "023", "Tone->Tone"},
        {"88.5", "D025I", "Cross", "88.5", "88.5", "023", "NR", "025", "Tone->DTCS"},
        {"D026N", "123.0", "Cross", "88.5", "123.0", "026", "NN", "023", "DTCS->Tone"},
        {"None", "131.8", "Cross", "88.5", "131.8", "023", "NN", "023", "->Tone"},
        {"None", "D031I", "Cross", "88.5", "88.5", "023", "NR", "031", "->DTCS"},
        {"D032I", "None", "Cross", "88.5", "88.5", "032", "RN", "023", "DTCS->"},
        {"D036N", "D043I", "Cross", "88.5", "88.5", "036", "NR", "043", "DTCS->DTCS"},
    };
    return cases;
}

}  // namespace kestra::test
