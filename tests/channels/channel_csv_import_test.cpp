// SPDX-License-Identifier: GPL-3.0-or-later
// Interchange lists read into channel records: every tone and cross mode, duplex, watts, files
// from other tools (column order, missing and extra columns, quoting, CRLF, byte-order mark,
// tabs), the report for what the radio cannot hold, the placements, and the round trip.

#include <gtest/gtest.h>

#include <algorithm>

#include "channels/channel_csv.hpp"
#include "channels/channel_csv_support.hpp"
#include "channels/channel_fields.hpp"

namespace kestra::test {
namespace {

const std::string kHeader = std::string(kCsvHeader) + "\n";

struct Imported {
    MemoryImage image = BuiltInDocumentImage();
    CsvImportResult result;
};

Imported Import(const std::string& text, CsvImportOptions options = {},
                MemoryImage image = BuiltInDocumentImage()) {
    Imported imported{image, {}};
    imported.result = ImportChannelsCsv(text, imported.image, SectionLimits{}, options);
    EXPECT_TRUE(imported.result.ok()) << imported.result.error;
    return imported;
}

// A row with Location, Name and Frequency, and the other columns as given.
std::string Line(std::initializer_list<std::pair<std::size_t, std::string>> fields) {
    std::vector<std::string> columns(21);
    for (const auto& [index, text] : fields) {
        columns[index] = text;
    }
    std::string line = columns[0];
    for (std::size_t i = 1; i < columns.size(); ++i) {
        line += "," + columns[i];
    }
    return line + "\n";
}

const CsvRowReport& OnlyRow(const Imported& imported) {
    static const CsvRowReport kNone;
    EXPECT_EQ(imported.result.report.rows.size(), 1u);
    return imported.result.report.rows.empty() ? kNone : imported.result.report.rows.front();
}

std::string Notes(const CsvRowReport& row) {
    std::string text;
    for (const std::string& note : row.notes) {
        text += note + "|";
    }
    return text;
}

TEST(ChannelCsvImport, EveryToneAndCrossModeGivesTheRecordsTones) {
    for (const ToneCase& c : ToneCases()) {
        const Imported imported = Import(kHeader + Line({{0, "1"},
                                                         {2, "146.520000"},
                                                         {5, c.mode},
                                                         {6, c.rTone},
                                                         {7, c.cTone},
                                                         {8, c.dtcs},
                                                         {9, c.polarity},
                                                         {10, c.rxDtcs},
                                                         {11, c.crossMode}}));
        const ConstChannelRecord record(imported.image, 0);
        const std::string what = std::string(c.mode) + " " + c.crossMode;
        EXPECT_EQ(record.TxToneText(), c.txTone) << what;
        EXPECT_EQ(record.RxToneText(), c.rxTone) << what;
        EXPECT_EQ(OnlyRow(imported).outcome, CsvRowOutcome::Taken) << Notes(OnlyRow(imported));
    }
}

TEST(ChannelCsvImport, DuplexGivesTheTransmitFrequency) {
    const Imported imported = Import(kHeader + Line({{0, "1"}, {2, "146.52"}}) +
                                     Line({{0, "2"}, {2, "146.94"}, {3, "-"}, {4, "0.6"}}) +
                                     Line({{0, "3"}, {2, "442.1"}, {3, "+"}, {4, "5.000000"}}) +
                                     Line({{0, "4"}, {2, "146.0"}, {3, "split"}, {4, "446.0"}}) +
                                     Line({{0, "5"}, {2, "162.4"}, {3, "off"}, {4, "0"}}));
    const std::vector<std::optional<Frequency>> expected{14652000, 14634000, 44710000, 44600000,
                                                         std::nullopt};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(ConstChannelRecord(imported.image, r).TxFrequency(), expected[r]) << r;
    }
    EXPECT_TRUE(imported.result.report.AllTakenWhole());
}

TEST(ChannelCsvImport, WattsMapTheHighestPowerOfTheFileToHigh) {
    const Imported imported = Import(kHeader + Line({{0, "1"}, {2, "146.52"}, {15, "5.0W"}}) +
                                     Line({{0, "2"}, {2, "146.52"}, {15, "1.0W"}}) +
                                     Line({{0, "3"}, {2, "146.52"}, {15, "0.5 w"}}) +
                                     Line({{0, "4"}, {2, "146.52"}, {15, "Low"}}) +
                                     Line({{0, "5"}, {2, "146.52"}, {15, "high"}}) +
                                     Line({{0, "6"}, {2, "146.52"}, {15, "5W"}}));
    const std::vector<bool> high{true, false, false, false, true, true};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(ConstChannelRecord(imported.image, r).HighPower(), high[r]) << r;
    }
    EXPECT_TRUE(imported.result.report.AllTakenWhole());
}

TEST(ChannelCsvImport, FilesOfOtherToolsAreRead) {
    // Columns in another order, some missing, one unknown, quoted fields, CRLF and a BOM.
    const std::string text =
        "\xEF\xBB\xBF\"Frequency\",Name,Location,Bank,Tone,rToneFreq,Mode\r\n"
        "\"145.500000\",\"Hill, N\",7,3,Tone,100.0,NFM\r\n"
        "445.1,,129,1,,,\r\n";
    const Imported imported = Import(text);
    const auto& report = imported.result.report;
    ASSERT_EQ(report.notes, std::vector<std::string>{"columns ignored: Bank"});
    EXPECT_TRUE(report.AllTakenWhole());
    const ConstChannelRecord a007(imported.image, 6);
    EXPECT_EQ(a007.RxFrequency(), 14550000);
    EXPECT_EQ(a007.TxFrequency(), 14550000);
    EXPECT_EQ(a007.Name(), "Hill, N");
    EXPECT_EQ(a007.TxToneText(), "100.0");
    EXPECT_FALSE(a007.Wide());
    const ConstChannelRecord b001(imported.image, 128);
    EXPECT_EQ(b001.RxFrequency(), 44510000);
    EXPECT_TRUE(b001.Wide() && b001.ScanAdd() && b001.HighPower());
    EXPECT_TRUE(ChannelIsShown(imported.image, 128, SectionLimits{}));

    // Rows pasted from a spreadsheet: tab-separated, and without their header.
    const Imported pasted =
        Import("3\tSPREAD\t146.940000\t-\t0.600000\n", {CsvPlacement::ByLocation, 0});
    EXPECT_EQ(ConstChannelRecord(pasted.image, 2).TxFrequency(), 14634000);
    EXPECT_EQ(ConstChannelRecord(pasted.image, 2).Name(), "SPREAD");
}

TEST(ChannelCsvImport, WhatTheRadioCannotHoldIsReportedRowByRow) {
    const Imported imported =
        Import(kHeader + Line({{0, "1"}, {1, "Repeater"}, {2, "146.52"}}) +    // line 2
               Line({{0, "2"}, {1, "Z\xC3\xBCrich"}, {2, "146.52"}}) +         // line 3
               Line({{0, "3"}, {2, "30.0"}}) +                                 // line 4
               Line({{0, "4"}, {2, "146.52"}, {5, "TSQL-R"}, {7, "100.0"}}) +  // line 5
               Line({{0, "5"}, {2, "145.0"}, {12, "AM"}}) +                    // line 6
               Line({{0, "300"}, {2, "146.52"}}) +                             // line 7
               Line({{0, "1"}, {2, "147.00"}}) +                               // line 8
               Line({{0, "6"}, {2, "146.521"}}) +                              // line 9
               Line({{0, "7"}, {2, "146.52"}, {3, "split"}, {4, "30.0"}}) +    // line 10
               Line({{0, "8"}, {2, "146.52"}, {5, "Tone"}, {6, "300.0"}}) +    // line 11
               Line({{0, "9"}, {2, "146.52"}, {3, "x"}}) +                     // line 12
               Line({{0, "10"}, {2, "146.52"}, {12, "DV"}}));                  // line 13
    const auto& rows = imported.result.report.rows;
    ASSERT_EQ(rows.size(), 12u);
    auto expect = [&rows](std::size_t i, CsvRowOutcome outcome, const std::string& note) {
        EXPECT_EQ(rows[i].outcome, outcome) << "line " << rows[i].line << ": " << Notes(rows[i]);
        EXPECT_NE(Notes(rows[i]).find(note), std::string::npos)
            << "line " << rows[i].line << ": " << Notes(rows[i]);
    };
    expect(0, CsvRowOutcome::Changed, "longer than 7 characters: cut to \"Repeate\"");
    expect(1, CsvRowOutcome::Changed, "characters the radio cannot show: \"Zrich\" kept");
    expect(2, CsvRowOutcome::Skipped, "30.00000 MHz lies outside the radio's bands");
    expect(3, CsvRowOutcome::Changed, "\"TSQL-R\" is not a tone mode the radio has");
    expect(4, CsvRowOutcome::Skipped, "Mode \"AM\"");
    expect(5, CsvRowOutcome::Skipped, "Location 300 is not a channel of this radio (1-256)");
    expect(6, CsvRowOutcome::Skipped, "Location 1 was already given on line 2");
    expect(7, CsvRowOutcome::Changed, "146.52100 MHz moved onto the channel raster: 146.52000");
    expect(8, CsvRowOutcome::Changed,
           "30.00000 MHz lies outside the radio's bands: the channel "
           "only receives");
    expect(9, CsvRowOutcome::Changed, "rToneFreq \"300.0\" is no CTCSS tone");
    expect(10, CsvRowOutcome::Skipped, "Duplex \"x\"");
    expect(11, CsvRowOutcome::Skipped, "Mode \"DV\"");

    const MemoryImage& image = imported.image;
    EXPECT_EQ(ConstChannelRecord(image, 0).Name(), "Repeate");
    EXPECT_EQ(ConstChannelRecord(image, 0).RxFrequency(), 14652000);  // not line 8's
    EXPECT_EQ(ConstChannelRecord(image, 1).Name(), "Zrich");
    EXPECT_FALSE(ChannelIsShown(image, 2, SectionLimits{}));
    EXPECT_EQ(ConstChannelRecord(image, 3).TxToneText(), "None");
    EXPECT_EQ(ConstChannelRecord(image, 5).RxFrequency(), 14652000);
    EXPECT_EQ(ConstChannelRecord(image, 6).TxFrequency(), std::nullopt);
    EXPECT_EQ(rows[5].record, -1);
    EXPECT_EQ(rows[7].record, 5);
    EXPECT_FALSE(imported.result.report.AllTakenWhole());
}

TEST(ChannelCsvImport, ReportReadsRowByRowWithACount) {
    const Imported imported =
        Import(kHeader + Line({{0, "2"}, {2, "146.52"}}) + Line({{0, "129"}, {2, "30"}}));
    EXPECT_EQ(FormatCsvImportReport(imported.result.report),
              "line 2 (Location 2) -> A002: taken\n"
              "line 3 (Location 129): skipped: frequency 30.00000 MHz lies outside the radio's "
              "bands (136.00000-174.00000 and 400.00000-520.00000 MHz)\n"
              "2 rows: 1 taken whole, 0 changed, 1 skipped\n");
}

TEST(ChannelCsvImport, TakenSlotsKeepWhatTheListDoesNotCarryEmptyOnesStartCleared) {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 0, .name = "OLD"});
    ChannelRecord(image, 0).SetBcl(1);
    ChannelRecord(image, 0).SetVox(true);
    ChannelRecord(image, 0).SetPttId(3);
    // An empty slot with leftovers of an old channel: its Rx is erased, the rest is not.
    image.fill(RecordOffset(1) + 4, kRecordSize - 4, 0x5A);
    const Imported imported = Import(
        kHeader + Line({{0, "1"}, {2, "145.5"}}) + Line({{0, "2"}, {1, "NEW"}, {2, "145.6"}}), {},
        image);
    const ConstChannelRecord kept(imported.image, 0);
    EXPECT_EQ(kept.Bcl(), 1);
    EXPECT_TRUE(kept.Vox());
    EXPECT_EQ(kept.PttId(), 3);
    EXPECT_EQ(kept.Name(), "");  // the list's empty name replaces the old one
    MemoryImage expected = BuiltInDocumentImage();
    Put(expected, {.record = 1, .rx = 14560000, .tx = 14560000, .name = "NEW"});
    const auto got = imported.image.span(RecordOffset(1), kRecordSize);
    const auto want = expected.span(RecordOffset(1), kRecordSize);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), want.begin()));
}

TEST(ChannelCsvImport, RowsGoToTheFirstEmptySlotsOrOneAfterAnother) {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 0});
    Put(image, {.record = 2});
    const std::string list = kHeader + Line({{0, "50"}, {1, "ONE"}, {2, "145.1"}}) +
                             Line({{0, "50"}, {1, "TWO"}, {2, "145.2"}}) +
                             Line({{1, "THREE"}, {2, "145.3"}});
    const Imported appended = Import(list, {CsvPlacement::FirstEmpty, 0}, image);
    std::vector<int> records;
    for (const auto& row : appended.result.report.rows) {
        records.push_back(row.record);
    }
    EXPECT_EQ(records, (std::vector<int>{1, 3, 4}));  // Location ignored, taken slots skipped
    EXPECT_EQ(ConstChannelRecord(appended.image, 3).Name(), "TWO");

    // A paste from B127 on: two rows fit, the third finds no slot; the VFO stays as it was.
    const Imported pasted = Import(list, {CsvPlacement::FromRecord, 254}, image);
    const auto& rows = pasted.result.report.rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].record, 254);
    EXPECT_EQ(rows[1].record, 255);
    EXPECT_EQ(rows[2].outcome, CsvRowOutcome::Skipped);
    EXPECT_EQ(rows[2].notes, std::vector<std::string>{"no channel is left after B128"});
    EXPECT_EQ(ConstChannelRecord(pasted.image, kVfoARecordIndex).RxFrequency(), std::nullopt);

    // With every slot taken, appending has nowhere to go.
    MemoryImage full = BuiltInDocumentImage();
    for (int r = 0; r < 256; ++r) {
        Put(full, {.record = r});
    }
    const Imported none = Import(list, {CsvPlacement::FirstEmpty, 0}, full);
    EXPECT_EQ(none.result.report.Count(CsvRowOutcome::Skipped), 3);
    EXPECT_EQ(none.image, full);
}

TEST(ChannelCsvImport, TextTheRadioCannotStoreIsNamedOncePerColumn) {
    const Imported imported =
        Import(kHeader + Line({{0, "1"}, {2, "146.52"}, {16, "Hill top"}, {17, "CQCQCQ"}}) +
               Line({{0, "2"}, {2, "146.54"}, {16, "Club net"}}) +
               Line({{0, "3"}, {2, "146.56"}, {16, "  "}}) +         // blank is no text
               Line({{0, "300"}, {2, "146.58"}, {16, "skipped"}}));  // reported as skipped
    const CsvImportReport& report = imported.result.report;
    EXPECT_EQ(report.notes, (std::vector<std::string>{
                                "Comment: text of 2 rows not stored: the radio has no such field",
                                "URCALL: text of 1 row not stored: the radio has no such field"}));
    EXPECT_TRUE(report.textNotStored);
    EXPECT_FALSE(report.Complete());
    EXPECT_EQ(report.Count(CsvRowOutcome::Taken), 3);
    EXPECT_NE(FormatCsvImportReport(report).find("Comment: text of 2 rows not stored"),
              std::string::npos);

    const Imported plain = Import(kHeader + Line({{0, "1"}, {2, "146.52"}}));
    EXPECT_TRUE(plain.result.report.Complete());
}

TEST(ChannelCsvImport, ANegativeTransmitFrequencyReadsAsANumber) {
    const Imported imported =
        Import(kHeader + Line({{0, "1"}, {2, "146.52"}, {3, "-"}, {4, "999.0"}}));
    EXPECT_EQ(OnlyRow(imported).notes,
              std::vector<std::string>{"transmit frequency -852.48000 MHz lies outside the "
                                       "radio's bands: the channel only receives"});
}

TEST(ChannelCsvImport, ARowAtLocationZeroSaysWhatWouldTakeIt) {
    CsvImportOptions options;
    options.firstEmptyChoice = "--append";
    const Imported imported = Import(kHeader + Line({{0, "0"}, {2, "146.52"}}), options);
    EXPECT_EQ(OnlyRow(imported).outcome, CsvRowOutcome::Skipped);
    EXPECT_EQ(OnlyRow(imported).notes,
              std::vector<std::string>{
                  "Location 0 is not a channel of this radio (1-256); --append would take it"});
}

TEST(ChannelCsvImport, AnUnreadableListLeavesTheImageAlone) {
    const MemoryImage before = BuiltInDocumentImage();
    for (const std::string& text :
         {std::string(), std::string("just some words\nand more\n"), kHeader + "1,\"open,146.52\n",
          std::string("Name,Frequency\nX,146.52\n")}) {
        MemoryImage image = before;
        const CsvImportResult result = ImportChannelsCsv(text, image, SectionLimits{}, {});
        EXPECT_FALSE(result.ok()) << text;
        EXPECT_FALSE(result.error.empty());
        EXPECT_EQ(image, before) << text;
    }
    // Without a Location column the channels can still go to the first empty slots.
    MemoryImage image = before;
    EXPECT_TRUE(ImportChannelsCsv("Name,Frequency\nX,146.52\n", image, SectionLimits{},
                                  {CsvPlacement::FirstEmpty, 0})
                    .ok());
    EXPECT_EQ(ConstChannelRecord(image, 0).Name(), "X");
}

TEST(ChannelCsvImport, ExportThenImportIntoACopyChangesNoByte) {
    MemoryImage image = BuiltInDocumentImage();
    int record = 0;
    for (const ToneCase& c : ToneCases()) {
        Put(image, {.record = record++, .rxTone = c.rxTone, .txTone = c.txTone, .name = "T"});
    }
    Put(image, {.record = 20, .rx = 14694000, .tx = 14634000, .name = "A,\"B\""});
    Put(image, {.record = 130,
                .rx = 44600625,
                .tx = 44600625,
                .wide = false,
                .scanAdd = false,
                .highPower = false,
                .name = "PMR 1"});
    Put(image, {.record = 131, .rx = 14600000, .tx = 44600000});
    Put(image, {.record = 255, .rx = 16240000, .tx = std::nullopt, .name = " SP "});
    ChannelRecord(image, 20).SetBcl(2);

    MemoryImage copy = image;
    const CsvImportResult result =
        ImportChannelsCsv(ExportChannelsCsv(image, SectionLimits{}), copy, SectionLimits{}, {});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.report.rows.size(), ToneCases().size() + 4);
    EXPECT_TRUE(result.report.AllTakenWhole()) << FormatCsvImportReport(result.report);
    EXPECT_EQ(copy, image);
}

}  // namespace
}  // namespace kestra::test
