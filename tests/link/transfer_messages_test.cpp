// SPDX-License-Identifier: GPL-3.0-or-later
// The second lines of the transfers' failure messages that the transfer tests do not reach: the
// system's reasons for a failed open, a port that names no device, and long channel lists.

#include "link/transfer_messages.hpp"

#include <gtest/gtest.h>

#include "link/port_names.hpp"
#include "model/channel_record.hpp"

namespace kestra {
namespace {

TEST(TransferMessages, OpenFailureSaysTheSystemsReasonInAUsersWords) {
    EXPECT_EQ(OpenFailureReason("Permission denied"), "permission denied");
    EXPECT_EQ(OpenFailureReason("No such file or directory"), "no such device");
    EXPECT_EQ(OpenFailureReason("Device or resource busy"), "busy: another program has it open");
    // The lock another program took is "busy", not a permission the user could fix.
    EXPECT_EQ(OpenFailureReason("Permission error while locking the device"),
              "busy: another program has it open");
    EXPECT_EQ(OpenFailureReason("Input/output error"), "input/output error");

    EXPECT_EQ(OpenPortFailText("/dev/ttyUSB0", ""),
              "Open port fail\nCould not open /dev/ttyUSB0. Run kestra-cli doctor to see what "
              "stands in the way and what to do.");
#ifndef _WIN32
    // No Program.ini: COM0, which is no port at all.
    EXPECT_EQ(OpenPortFailText(ResolveDevice("COM0", ""), "No such file or directory"),
              "Open port fail\nNo port is chosen (COM0 is none of COM1-COM16). Choose the radio's "
              "port in Setup, Com Setup.");
#endif
    EXPECT_TRUE(CommunicationErrorText("demo", {FailedStep::Handshake})
                    .starts_with("Communication error\nthe demo radio: no acknowledge"));
}

TEST(TransferMessages, ChannelsOutsideTheBandsAreNamedAFewAtATime) {
    MemoryImage image;  // every byte 0xFF: empty records fit any radio
    const std::array<Band, 2> bands{{{13600000, 17400000}, {40000000, 52000000}}};
    EXPECT_TRUE(RecordsOutsideBands(image, bands).empty());
    for (int r : {0, 5, 130, 140, 150, 160, 257}) {
        image.write(RecordOffset(r), Bcd8Encode(30000000));
    }
    image.write(RecordOffset(1), Bcd8Encode(17400000));  // the upper limit itself fits
    image.write(RecordOffset(2), std::array<std::uint8_t, 4>{0, 0, 0, 0});

    const std::vector<int> outside = RecordsOutsideBands(image, bands);
    EXPECT_EQ(outside, (std::vector<int>{0, 5, 130, 140, 150, 160, 257}));
    EXPECT_EQ(ChannelsOutsideBandsText(image, outside, bands),
              "Data is invalid, please verify data\nA001 (300.00000 MHz), A006 (300.00000 MHz), "
              "B003 (300.00000 MHz), B013 (300.00000 MHz), B023 (300.00000 MHz) and 2 more are "
              "outside the bands the radio reported, 136-174 MHz and 400-520 MHz. Correct or "
              "delete them, then write again.");
}

}  // namespace
}  // namespace kestra
