// SPDX-License-Identifier: GPL-3.0-or-later
// Channels written as the interchange list: every tone and cross mode, the duplex cases, mode,
// skip, power, step, quoting of names, and which slots are written at all.

#include <gtest/gtest.h>

#include "channels/channel_csv.hpp"
#include "channels/channel_csv_support.hpp"

namespace kestra::test {
namespace {

std::vector<Row> Export(const MemoryImage& image) {
    return Rows(ExportChannelsCsv(image, SectionLimits{}));
}

TEST(ChannelCsvExport, HeaderAndOnlyTheChannelsTheGridShows) {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 4, .name = "FIVE"});
    Put(image, {.record = 200});
    Put(image, {.record = kVfoARecordIndex});  // VFO slots are no memory channels
    Put(image, {.record = 7});
    SetChannelBit(image, map::kPresentMapA, 8, false);  // present bit clear: hidden
    Put(image, {.record = 9, .rx = 3000000});           // 30 MHz: outside both sections

    const std::string text = ExportChannelsCsv(image, SectionLimits{});
    ASSERT_TRUE(text.starts_with(std::string(kCsvHeader) + "\n"));
    const auto rows = Rows(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("Location"), "5");
    EXPECT_EQ(rows[0].at("Name"), "FIVE");
    EXPECT_EQ(rows[0].at("Frequency"), "146.520000");
    EXPECT_EQ(rows[1].at("Location"), "201");
    for (const char* empty : {"Comment", "URCALL", "RPT1CALL", "RPT2CALL", "DVCODE"}) {
        EXPECT_EQ(rows[0].at(empty), "") << empty;
    }

    // A chosen set of records (a copy of grid rows) keeps their order and skips empty ones.
    const std::vector<int> chosen{200, 3, 4};
    const auto some = Rows(ExportChannelsCsv(image, SectionLimits{}, chosen));
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].at("Location"), "201");
    EXPECT_EQ(some[1].at("Location"), "5");
}

TEST(ChannelCsvExport, EveryToneAndCrossMode) {
    for (const ToneCase& c : ToneCases()) {
        MemoryImage image = BuiltInDocumentImage();
        Put(image, {.record = 0, .rxTone = c.rxTone, .txTone = c.txTone});
        const auto rows = Export(image);
        ASSERT_EQ(rows.size(), 1u);
        const Row& row = rows[0];
        const std::string what = std::string(c.txTone) + " / " + c.rxTone;
        EXPECT_EQ(row.at("Tone"), c.mode) << what;
        EXPECT_EQ(row.at("rToneFreq"), c.rTone) << what;
        EXPECT_EQ(row.at("cToneFreq"), c.cTone) << what;
        EXPECT_EQ(row.at("DtcsCode"), c.dtcs) << what;
        EXPECT_EQ(row.at("DtcsPolarity"), c.polarity) << what;
        EXPECT_EQ(row.at("RxDtcsCode"), c.rxDtcs) << what;
        EXPECT_EQ(row.at("CrossMode"), c.crossMode) << what;
    }
}

TEST(ChannelCsvExport, DuplexFromTheTransmitFrequency) {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 0, .rx = 14652000, .tx = 14652000});
    Put(image, {.record = 1, .rx = 14694000, .tx = 14634000});
    Put(image, {.record = 2, .rx = 44210000, .tx = 44710000});
    Put(image, {.record = 3, .rx = 14600000, .tx = 44600000});  // cross-band
    Put(image, {.record = 4, .rx = 16240000, .tx = std::nullopt});
    const auto rows = Export(image);
    ASSERT_EQ(rows.size(), 5u);
    const std::vector<std::pair<std::string, std::string>> expected{{"", "0.000000"},
                                                                    {"-", "0.600000"},
                                                                    {"+", "5.000000"},
                                                                    {"split", "446.000000"},
                                                                    {"off", "0.000000"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i].at("Duplex"), expected[i].first) << i;
        EXPECT_EQ(rows[i].at("Offset"), expected[i].second) << i;
    }
}

TEST(ChannelCsvExport, ModeSkipPowerStepAndQuotedNames) {
    MemoryImage image = BuiltInDocumentImage();
    Put(image, {.record = 0, .rx = 44600625, .tx = 44600625, .wide = false, .name = "PMR,1"});
    Put(image, {.record = 1, .scanAdd = false, .highPower = false, .name = "5\"X"});
    Put(image, {.record = 2, .rx = 44250000, .tx = 44750000});
    Put(image, {.record = 3, .rx = 14652750, .tx = 14652750});
    const auto rows = Export(image);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].at("Name"), "PMR,1");
    EXPECT_EQ(rows[0].at("Mode"), "NFM");
    EXPECT_EQ(rows[0].at("TStep"), "6.25");
    EXPECT_EQ(rows[0].at("Skip"), "");
    EXPECT_EQ(rows[0].at("Power"), "High");
    EXPECT_EQ(rows[1].at("Name"), "5\"X");
    EXPECT_EQ(rows[1].at("Mode"), "FM");
    EXPECT_EQ(rows[1].at("TStep"), "5.00");
    EXPECT_EQ(rows[1].at("Skip"), "S");
    EXPECT_EQ(rows[1].at("Power"), "Low");
    EXPECT_EQ(rows[2].at("TStep"), "12.50");
    EXPECT_EQ(rows[3].at("TStep"), "2.50");
}

}  // namespace
}  // namespace kestra::test
