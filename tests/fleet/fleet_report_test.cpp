// SPDX-License-Identifier: GPL-3.0-or-later
// How a fleet run is told: the line per radio, the table and the JSON report.

#include <gtest/gtest.h>

#include <filesystem>

#include "fleet/fleet_report.hpp"
#include "link/virtual_radio.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

std::vector<RadioOutcome> TwoRadios() {
    VirtualRadio radio;  // identifies as KESTRA-D, firmware 1.2.3, 136-174 and 400-520 MHz
    RadioOutcome verified;
    verified.port = "COM3";
    verified.device = "/dev/ttyUSB2";
    verified.ownId = "101";
    verified.ident = radio.identReply();
    verified.result = RadioResult::Verified;
    verified.seconds = 28.56;
    verified.backup = BackupResult{"/backups/2024-05-01_14-03-22_write_6120E.dat", {}, {}};
    RadioOutcome failed;
    failed.port = "/dev/pts/\"7\"";
    failed.device = "/dev/pts/\"7\"";
    failed.ownId = "102";
    failed.seconds = 5;
    failed.error = "Communication error\n(/dev/pts/7) missing acknowledge at block 6 of 351.";
    failed.sendingStarted = true;
    return {verified, failed};
}

TEST(FleetReport, TheLinesAndTheTableNameWhatEachRadioIsAndHowItWent) {
    const auto outcomes = TwoRadios();
    EXPECT_EQ(RadioFinishedLine(outcomes[0]),
              "COM3: verified in 28.6 s (KESTRA-D v1.2.3, Own ID 101)");
    EXPECT_EQ(RadioFinishedLine(outcomes[1]),
              "/dev/pts/\"7\": failed: Communication error in 5.0 s (Own ID 102)");
    EXPECT_EQ(FleetTableText(MakeFleetTable(outcomes)),
              "Port          Model     Firmware  Own ID  Result                       Seconds\n"
              "COM3          KESTRA-D  v1.2.3    101     verified                     28.6\n"
              "/dev/pts/\"7\"  -         -         102     failed: Communication error  5.0\n");
    EXPECT_EQ(FleetTableTabs(MakeFleetTable({outcomes[0]})),
              "Port\tModel\tFirmware\tOwn ID\tResult\tSeconds\n"
              "COM3\tKESTRA-D\tv1.2.3\t101\tverified\t28.6\n");
    // Without numbered Own IDs the column is left out.
    auto plain = outcomes;
    plain[0].ownId.reset();
    plain[1].ownId.reset();
    EXPECT_EQ(MakeFleetTable(plain).header,
              (std::vector<std::string>{"Port", "Model", "Firmware", "Result", "Seconds"}));

    EXPECT_EQ(RadioProgressText(FleetAction::Write, 351, 702), "Writing 50%");
    EXPECT_EQ(RadioProgressText(FleetAction::Write, 352, 702), "Verifying 50%");
    EXPECT_EQ(RadioProgressText(FleetAction::Read, 35, 352), "Reading 9%");
}

TEST(FleetReport, TheJsonHoldsTheSameFactsWithEveryTextEscaped) {
    FleetReportInfo info{"fleet write", "club.dat", "station-1", "2024-05-01T14:03:22+02:00"};
    const std::string json = FleetReportJson(info, TwoRadios());
    for (const char* expected :
         {"\"command\": \"fleet write\"", "\"image\": \"club.dat\"", "\"ok\": false",
          "\"port\": \"COM3\"", "\"model\": \"KESTRA-D\"", "\"firmware\": \"v1.2.3\"",
          "\"bands\": [{\"lower_mhz\": 136, \"upper_mhz\": 174}, "
          "{\"lower_mhz\": 400, \"upper_mhz\": 520}]",
          "\"own_id\": \"101\"", "\"result\": \"verified\"", "\"verified\": true",
          "\"seconds\": 28.6", "\"backup\": \"/backups/2024-05-01_14-03-22_write_6120E.dat\"",
          "\"port\": \"/dev/pts/\\\"7\\\"\"", "\"model\": null", "\"bands\": null",
          "\"result\": \"failed\"", "\"partly_written\": true",
          "\"error\": \"Communication error\\n(/dev/pts/7) missing acknowledge at block 6 of "
          "351.\""}) {
        EXPECT_NE(json.find(expected), std::string::npos) << expected << "\n" << json;
    }
    // Bytes that are no UTF-8 become characters, so the report stays valid JSON.
    auto odd = TwoRadios();
    odd[0].port = std::string("COM\xE9\x01");
    EXPECT_NE(FleetReportJson(info, odd).find("\"port\": \"COM\\u00e9\\u0001\""),
              std::string::npos);
    odd[0].port = "/dev/serial/by-id/usb-\xC3\xA9";
    EXPECT_NE(FleetReportJson(info, odd).find("usb-\xC3\xA9\""), std::string::npos);
}

TEST(FleetReport, IsSavedWholeOrNotAtAll) {
    test::TempDir dir("kestra-fleet-report");
    const auto path = dir.path() / "report.json";
    EXPECT_TRUE(CheckFleetReportTarget(path));
    ASSERT_TRUE(SaveFleetReport(path, "{}\n"));
    EXPECT_FALSE(CheckFleetReportTarget(dir.path()));
    EXPECT_FALSE(CheckFleetReportTarget(dir.path() / "missing" / "report.json"));
    EXPECT_FALSE(SaveFleetReport(dir.path() / "missing" / "report.json", "{}"));

    const FleetReportInfo info = MakeReportInfo("fleet read", "", {});
    EXPECT_EQ(info.started.size(), std::string("1970-01-01T00:00:00+00:00").size());
    EXPECT_EQ(info.started[info.started.size() - 3], ':');
}

}  // namespace
}  // namespace kestra
