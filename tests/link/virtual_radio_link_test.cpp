// SPDX-License-Identifier: GPL-3.0-or-later
// The in-process line: a read ends on count, on a 100 ms gap after a byte or on its total
// timeout, exactly as a real port waits; a paced radio's bytes take their wire time.

#include "link/virtual_radio_link.hpp"

#include <gtest/gtest.h>

#include "link/wire_protocol.hpp"

namespace kestra {
namespace {

class VirtualRadioLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.Open("demo")); }
    void Send(std::span<const std::uint8_t> bytes) { link.Write(bytes); }
    void WakeUp() {
        Send(kWakeUpString);
        std::array<std::uint8_t, 2> ag{};
        ASSERT_EQ(link.Read(ag), 2u);
        ASSERT_EQ(ag[0], 'A');
        ASSERT_EQ(ag[1], 'G');
    }

    VirtualRadio radio;
    SimulatedClock clock;
    VirtualRadioLink link{radio, clock};
};

TEST_F(VirtualRadioLinkTest, ReadTimesOutAfterFiftyMsPerByteAndTheConstant) {
    std::array<std::uint8_t, 32> buffer{};
    EXPECT_EQ(link.Read(std::span(buffer).first(1)), 0u);
    EXPECT_EQ(clock.NowMs(), 550);
    EXPECT_EQ(link.Read(buffer), 0u);
    EXPECT_EQ(clock.NowMs(), 550 + 2100);
    link.ApplySettings(kSqlReadTotalConstantMs);
    EXPECT_EQ(link.Read(std::span(buffer).first(1)), 0u);
    EXPECT_EQ(clock.NowMs(), 550 + 2100 + 150);
}

TEST_F(VirtualRadioLinkTest, ReadEndsOnAGapAfterTheFirstByte) {
    radio.faults().shortBlock = 1;
    WakeUp();
    std::array<std::uint8_t, 32> buffer{};
    Send(std::array<std::uint8_t, 1>{kIdentRequest});
    ASSERT_EQ(link.Read(buffer), 32u);
    EXPECT_EQ(clock.NowMs(), 0);  // everything had arrived already
    Send(std::array<std::uint8_t, 1>{kAcknowledge});
    ASSERT_EQ(link.Read(std::span(buffer).first(1)), 1u);

    Send(std::array<std::uint8_t, 4>{'R', 0x00, 0x00, 0x20});
    EXPECT_EQ(link.Read(buffer), 4u + 16u);  // header and half a block, then silence
    EXPECT_EQ(clock.NowMs(), 100);
}

TEST_F(VirtualRadioLinkTest, PacedBytesTakeTheirWireTime) {
    radio.faults().baud = 9600;
    EXPECT_EQ(radio.ByteTimeUs(), 1042);
    WakeUp();
    // Eight bytes out, two back.
    EXPECT_EQ(clock.NowUs(), 10 * 1042);
    Send(std::array<std::uint8_t, 1>{kIdentRequest});
    std::array<std::uint8_t, 32> reply{};
    EXPECT_EQ(link.Read(reply), 32u);
    EXPECT_EQ(clock.NowUs(), 43 * 1042);
}

TEST_F(VirtualRadioLinkTest, PurgeDropsOnlyWhatHasArrived) {
    radio.faults().baud = 9600;
    Send(kWakeUpString);
    clock.AdvanceToUs(9 * 1042);  // "A" has arrived, "G" is still on the wire
    link.Purge();
    std::array<std::uint8_t, 2> buffer{};
    EXPECT_EQ(link.Read(buffer), 1u);
    EXPECT_EQ(buffer[0], 'G');
}

TEST_F(VirtualRadioLinkTest, OpenIsExclusiveAndAbsentRadiosCannotBeOpened) {
    EXPECT_FALSE(link.Open("demo"));
    link.Close();
    radio.faults().absent = true;
    EXPECT_FALSE(link.Open("demo"));
    EXPECT_FALSE(link.isOpen());
}

TEST(VirtualRadioRealTimeTest, ReadWaitsForTheBytesInRealTime) {
    VirtualRadio radio;
    radio.faults().baud = 9600;
    VirtualRadioLink link(radio);
    SteadyClock clock;
    ASSERT_TRUE(link.Open("demo"));
    const std::int64_t start = clock.NowMs();
    link.Write(kWakeUpString);
    std::array<std::uint8_t, 2> ag{};
    ASSERT_EQ(link.Read(ag), 2u);
    // Ten bytes at 9600 baud take about 10 ms; the read must not return before they arrived.
    EXPECT_GE(clock.NowMs() - start, 10);
    EXPECT_EQ(ag[0], 'A');
    EXPECT_EQ(ag[1], 'G');
}

}  // namespace
}  // namespace kestra
