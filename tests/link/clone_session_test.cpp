// SPDX-License-Identifier: GPL-3.0-or-later
// The clone transfer against the in-process virtual radio on simulated time: the happy paths of
// Read, Write and Initialization and every way a transfer can fail.

#include "link/clone_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/link_fixture.hpp"
#include "link/port_names.hpp"

namespace kestra {
namespace {

using testing::FillPattern;
using testing::FirstLines;
using testing::LinkFixture;
using testing::SaysPartlyWritten;
using testing::SetAllRx146;

class CloneSessionTest : public ::testing::Test, protected LinkFixture {
protected:
    // After any transfer: the port is closed.
    void TearDown() override { EXPECT_FALSE(link.isOpen()); }
    void ExpectFailed(const std::string& message) {
        ASSERT_EQ(FirstLines(observer.messages), std::vector<std::string>{message});
        EXPECT_EQ(observer.closeRequests, 1);
    }
};

TEST_F(CloneSessionTest, PlansHaveTheirBlockCounts) {
    EXPECT_EQ(ClonePlan::Read().BlockCount(), 352);
    EXPECT_EQ(ClonePlan::Write().BlockCount(), 351);
    EXPECT_EQ(ClonePlan::Initialization().BlockCount(), 512);
    EXPECT_EQ((CloneRange{0x3F70, 0x3FAC}.BlockCount()), 3);
}

TEST_F(CloneSessionTest, ReadCopiesTheReadRangesAndReportsProgress) {
    FillPattern(radio.memory(), 1);
    FillPattern(state.image, 2);
    const MemoryImage before = state.image;

    ASSERT_TRUE(RunClone(ClonePlan::Read()));

    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(observer.closeRequests, 1);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool read = a < 0x2A00 || (a >= 0x2E00 && a < 0x3000);
        ASSERT_EQ(state.image[a], read ? radio.memory()[a] : before[a]) << a;
    }
    ASSERT_EQ(observer.texts.size(), 352u);
    EXPECT_EQ(observer.texts[175], "50%");
    EXPECT_EQ(observer.positions[175], 176);
    EXPECT_EQ(observer.texts.back(), "100%");
    EXPECT_EQ(observer.totals.back(), 352);
    const auto frames = Frames();
    EXPECT_EQ(frames.front(), "IDENT");
    EXPECT_EQ(frames[2], "R 00 00 20");
    EXPECT_EQ(frames.back(), "ENDR");
}

TEST_F(CloneSessionTest, WriteSendsOnlyTheWriteRanges) {
    FillPattern(state.image, 3);
    SetAllRx146(state.image);

    ASSERT_TRUE(RunClone(ClonePlan::Write()));

    EXPECT_EQ(observer.closeRequests, 1);
    EXPECT_EQ(radio.headers().size(), 351u);
    EXPECT_EQ(radio.log().back(), "ENDW");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool written = a < 0x2A00 || (a >= 0x2E20 && a < 0x3000);
        ASSERT_EQ(radio.memory()[a], written ? state.image[a] : 0xFF) << a;
    }
}

TEST_F(CloneSessionTest, VerifyReadsTheWrittenRangesBackAndNamesWhereTheRadioDiffers) {
    FillPattern(state.image, 4);
    SetAllRx146(state.image);
    ClonePlan plan = ClonePlan::Write();
    plan.verify = true;

    ASSERT_TRUE(RunClone(plan));
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(radio.log().back(), "ENDR");
    EXPECT_EQ(radio.headers().size(), 2 * 351u);
    EXPECT_EQ(radio.headers()[351], "R 00 00 20");
    // One progress bar over both passes, ending at 100%.
    EXPECT_EQ(observer.positions.back(), 702);
    EXPECT_EQ(observer.totals.back(), 702);
    EXPECT_EQ(observer.texts[350], "50%");
    EXPECT_EQ(observer.texts.back(), "100%");

    // Faulty cells in two channels and the summary area are named in address order.
    for (const int address : {0x2E41, 0x0021, 0x0000}) {
        radio.faults().wrongByteAt = address;
        observer.messages.clear();
        observer.closeRequests = 0;
        EXPECT_FALSE(RunClone(plan));
        ExpectFailed("Verify failed: the radio does not hold what was written.");
        EXPECT_EQ(observer.messages.front(),
                  std::string("Verify failed: the radio does not hold what was written.\n") +
                      "It differs in " +
                      (address == 0x2E41   ? "0x2E41"
                       : address == 0x0021 ? "A002"
                                           : "A001") +
                      ".\nWrite again; if the radio still differs, its memory may be faulty.");
    }
}

TEST_F(CloneSessionTest, ReadThenWriteRoundTripAtLineSpeed) {
    radio.faults().baud = 9600;
    FillPattern(radio.memory(), 4);
    SetAllRx146(radio.memory());
    radio.memory().fill(0x2E10, 16, 0xFF);
    ASSERT_TRUE(RunClone(ClonePlan::Read()));
    // 352 blocks of 37 bytes on the wire take about 13.6 s at 9600 baud.
    EXPECT_GT(clock.NowMs(), 13000);
    EXPECT_LT(clock.NowMs(), 20000);

    VirtualRadio second;
    VirtualRadioLink secondLink(second, clock);
    ASSERT_TRUE(RunClone(ClonePlan::Write(), nullptr, &secondLink));
    for (std::size_t a = 0x2E20; a < 0x3000; ++a) {
        ASSERT_EQ(second.memory()[a], radio.memory()[a]) << a;
    }
    for (std::size_t a = 0; a < 0x2A00; ++a) {
        ASSERT_EQ(second.memory()[a], radio.memory()[a]) << a;
    }
}

TEST_F(CloneSessionTest, ModelLimitsComeFromTheReplyOnlyWhenTheRadioHasNone) {
    radio.SetBandLimitsMhz(136, 174, 400, 480);
    // Band A unset in the radio, band B set to 420-450 MHz.
    radio.memory().write(0x2E18, std::array<std::uint8_t, 8>{0, 0, 0, 0x42, 0, 0, 0, 0x45});

    ASSERT_TRUE(RunClone(ClonePlan::Read()));

    const std::array<std::uint8_t, 16> expected{0x00, 0x00, 0x60, 0x13, 0x00, 0x00, 0x40, 0x17,
                                                0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00, 0x45};
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(state.image[0x2E10 + i], expected[i]) << i;
    }
}

TEST_F(CloneSessionTest, UnencodableReplyLimitsLeaveTheBlockUnset) {
    // Only service mode lets such a reply through to the end of a read.
    state.serviceMode = true;
    IdentReply reply = radio.identReply();
    std::fill(reply.begin() + 24, reply.end(), 0xFF);
    radio.SetIdentReply(reply);

    ASSERT_TRUE(RunClone(ClonePlan::Read()));

    EXPECT_EQ(state.image[0x2E13], 0x13);
    for (std::size_t a = 0x2E18; a < 0x2E20; ++a) {
        EXPECT_EQ(state.image[a], 0xFF) << a;
    }
}

TEST_F(CloneSessionTest, OpenFailureSendsNothing) {
    radio.faults().absent = true;
    EXPECT_FALSE(RunClone(ClonePlan::Read()));
    ExpectFailed("Open port fail");
    EXPECT_EQ(observer.messages[0], "Open port fail\nCould not open " + DeviceForPortNumber(1) +
                                        " (no such device). Run kestra-cli doctor to see what "
                                        "stands in the way and what to do.");
    EXPECT_EQ(link.bytesWritten(), 0u);
}

TEST_F(CloneSessionTest, SilentRadioFailsAfterFourAttempts) {
    radio.faults().silent = true;
    const MemoryImage before = state.image;
    EXPECT_FALSE(RunClone(ClonePlan::Read()));
    ExpectFailed("Communication error");
    EXPECT_TRUE(observer.messages[0].starts_with("Communication error\n" + DeviceForPortNumber(1) +
                                                 ": no answer to the wake-up (4 attempts)."))
        << observer.messages[0];
    EXPECT_EQ(radio.wakeUpAttempts(), 4);
    // Each attempt: eight 1 ms pauses, then one 1-byte read of 50 + 500 ms.
    EXPECT_EQ(clock.NowMs(), 4 * (8 + 550));
    EXPECT_EQ(state.image, before);
}

TEST_F(CloneSessionTest, LateWakeUpAnswerProceeds) {
    radio.faults().answerWakeUpFromAttempt = 3;
    EXPECT_TRUE(RunClone(ClonePlan::Read()));
    EXPECT_EQ(std::count(radio.log().begin(), radio.log().end(), "PROGRAM"), 3);

    LinkFixture tooLate;
    tooLate.radio.faults().answerWakeUpFromAttempt = 5;
    EXPECT_FALSE(tooLate.RunClone(ClonePlan::Read()));
    EXPECT_EQ(FirstLines(tooLate.observer.messages),
              std::vector<std::string>{"Communication error"});
}

TEST_F(CloneSessionTest, ImplausibleLimitsStopARead) {
    IdentReply reply = radio.identReply();
    const std::array<std::uint8_t, 16> limits{0x00, 0x00, 0x60, 0x13, 0x00, 0x00, 0x00, 0x40,
                                              0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x52};
    std::copy(limits.begin(), limits.end(), reply.begin() + 16);
    radio.SetIdentReply(reply);
    const MemoryImage before = state.image;

    EXPECT_FALSE(RunClone(ClonePlan::Read()));
    ExpectFailed("Data is invalid, please write data");
    EXPECT_TRUE(observer.messages[0].starts_with(
        "Data is invalid, please write data\nThe radio reported the band limits 136-400 MHz and "
        "400-520 MHz; each band must lie within one of 136-174, 200-260 or 400-520 MHz"))
        << observer.messages[0];
    EXPECT_TRUE(radio.headers().empty());
    EXPECT_EQ(state.image, before);

    // Service mode skips the test.
    LinkFixture service;
    service.radio.SetIdentReply(reply);
    service.state.serviceMode = true;
    EXPECT_TRUE(service.RunClone(ClonePlan::Read()));
}

TEST_F(CloneSessionTest, ChannelOutsideTheRadioBandsStopsAWrite) {
    SetAllRx146(state.image);
    // Channel B010 at 300.00000 MHz.
    state.image.write(137 * 32, std::array<std::uint8_t, 4>{0x00, 0x00, 0x00, 0x30});

    EXPECT_FALSE(RunClone(ClonePlan::Write()));
    ExpectFailed("Data is invalid, please verify data");
    EXPECT_EQ(observer.messages[0],
              "Data is invalid, please verify data\nB010 (300.00000 MHz) is outside the bands the "
              "radio reported, 136-174 MHz and 400-520 MHz. Correct or delete it, then write "
              "again.");
    EXPECT_TRUE(radio.headers().empty());

    LinkFixture service;
    service.state.image = state.image;
    service.state.serviceMode = true;
    EXPECT_TRUE(service.RunClone(ClonePlan::Write()));
    EXPECT_EQ(service.radio.headers().size(), 351u);
}

TEST_F(CloneSessionTest, EmptyAndZeroRecordsAreNotChecked) {
    // Every record FF (new memory) except a VFO of 00 00 00 00, A001 at the band edge and two
    // records the grid shows as empty: an Rx whose top digit pair is FF or 00 holds no frequency.
    state.image.write(256 * 32, std::array<std::uint8_t, 4>{0, 0, 0, 0});
    state.image.write(0, std::array<std::uint8_t, 4>{0x00, 0x00, 0x00, 0x52});
    state.image.write(5 * 32, std::array<std::uint8_t, 4>{0x12, 0x34, 0x56, 0xFF});
    state.image.write(6 * 32, std::array<std::uint8_t, 4>{0x00, 0x00, 0x50, 0x00});
    EXPECT_TRUE(RunClone(ClonePlan::Write()));
}

TEST_F(CloneSessionTest, MissingAcknowledgeLeavesTheImageAsItWas) {
    FillPattern(radio.memory(), 5);
    FillPattern(state.image, 6);
    const MemoryImage before = state.image;
    for (int block : {0, 1, 100, 352}) {
        LinkFixture f;
        f.radio.memory() = radio.memory();
        f.state.image = before;
        f.radio.faults().withholdAckAfterBlock = block;
        EXPECT_FALSE(f.RunClone(ClonePlan::Read())) << block;
        EXPECT_EQ(FirstLines(f.observer.messages), std::vector<std::string>{"Communication error"});
        EXPECT_EQ(f.observer.closeRequests, 1);
        EXPECT_EQ(f.state.image, before) << block;
        EXPECT_EQ(f.radio.headers().size(), static_cast<std::size_t>(block)) << block;
        EXPECT_NE(f.radio.log().back(), "ENDR");
        EXPECT_FALSE(f.link.isOpen());
    }
}

TEST_F(CloneSessionTest, ShortOrMissingBlockIsACommunicationError) {
    FillPattern(radio.memory(), 7);
    const MemoryImage before = state.image;
    radio.faults().shortBlock = 10;
    EXPECT_FALSE(RunClone(ClonePlan::Read()));
    ExpectFailed("Communication error");
    EXPECT_EQ(state.image, before);
    EXPECT_EQ(observer.texts.size(), 9u);
    // Said as what happened, not as an acknowledge that went missing.
    EXPECT_EQ(observer.messages[0], "Communication error\n" + DeviceForPortNumber(1) +
                                        ": the radio sent 16 of 32 bytes of block 10 of 352 "
                                        "(address 0x0120). Check the cable and try again.");

    LinkFixture gone;
    gone.radio.faults().disconnectAfterBlock = 3;
    EXPECT_FALSE(gone.RunClone(ClonePlan::Read()));
    EXPECT_EQ(FirstLines(gone.observer.messages), std::vector<std::string>{"Communication error"});
    EXPECT_NE(gone.observer.messages[0].find("the radio sent 0 of 32 bytes of block 4 of 352"),
              std::string::npos)
        << gone.observer.messages[0];
    EXPECT_EQ(gone.state.image, before);
}

TEST_F(CloneSessionTest, WriteStopsAtTheFirstUnacknowledgedBlockAndSaysTheRadioMayBePartlyWritten) {
    radio.faults().withholdAckAfterBlock = 2;
    EXPECT_FALSE(RunClone(ClonePlan::Write()));
    ExpectFailed("Communication error");
    EXPECT_EQ(observer.messages[0],
              "Communication error\n" + DeviceForPortNumber(1) +
                  ": missing acknowledge at block 2 of 351 (address 0x0020). Check the cable and "
                  "try again.\n" +
                  std::string(kPartlyWrittenHint));
    EXPECT_EQ(radio.headers().size(), 2u);
    EXPECT_NE(radio.log().back(), "ENDW");

    // Even the first block may have landed before its acknowledge went missing, and a line that
    // goes dead part-way leaves the radio just as unfinished, Initialization included.
    for (auto fault :
         {&VirtualRadioFaults::withholdAckAfterBlock, &VirtualRadioFaults::disconnectAfterBlock}) {
        for (int block : {1, 200}) {
            for (const ClonePlan& plan : {ClonePlan::Write(), ClonePlan::Initialization()}) {
                LinkFixture f;
                f.state.serviceMode = true;
                f.radio.faults().*fault = block;
                EXPECT_FALSE(f.RunClone(plan)) << plan.caption << " " << block;
                ASSERT_EQ(f.observer.messages.size(), 1u);
                EXPECT_TRUE(SaysPartlyWritten(f.observer.messages[0]))
                    << plan.caption << " " << block;
                EXPECT_FALSE(f.link.isOpen());
            }
        }
    }
}

TEST_F(CloneSessionTest, WriteThatFailsBeforeItsFirstBlockLeavesTheRadioUntouched) {
    // The handshake acknowledge is missing: no block went out, so there is nothing to redo.
    radio.faults().withholdAckAfterBlock = 0;
    EXPECT_FALSE(RunClone(ClonePlan::Write()));
    ExpectFailed("Communication error");
    EXPECT_TRUE(radio.headers().empty());
}

TEST_F(CloneSessionTest, ShortOrMissingIdentificationReplyIsACommunicationError) {
    // 10 bytes, or nothing at all after the wake-up (the line went dead): the limits in the
    // reply's last bytes never arrived, so there is nothing to check them against.
    for (int sent : {10, 0, 31}) {
        for (const bool service : {false, true}) {
            for (const ClonePlan& plan : {ClonePlan::Read(), ClonePlan::Write()}) {
                LinkFixture f;
                FillPattern(f.radio.memory(), 9);
                f.radio.memory().fill(0x2E10, 16, 0xFF);  // the radio has no limits of its own
                f.state.serviceMode = service;
                f.radio.faults().shortIdent = sent;
                const MemoryImage before = f.state.image;
                EXPECT_FALSE(f.RunClone(plan)) << sent << plan.caption;
                EXPECT_EQ(FirstLines(f.observer.messages),
                          std::vector<std::string>{"Communication error"})
                    << sent << " " << plan.caption << " service " << service;
                // Neither a handshake nor a block: the radio is untouched, the image too.
                EXPECT_EQ(f.Frames(), std::vector<std::string>{"IDENT"}) << sent;
                EXPECT_EQ(f.state.image, before) << sent;
                EXPECT_FALSE(f.link.isOpen());
            }
        }
    }
}

TEST_F(CloneSessionTest, CancelStopsBetweenBlocksAndClosesThePort) {
    CancelFlag cancel{false};
    SetAllRx146(state.image);
    observer.onProgress = [&cancel](int position) { cancel = position == 10; };
    EXPECT_FALSE(RunClone(ClonePlan::Write(), &cancel));
    ExpectFailed("Communication error");
    EXPECT_TRUE(SaysPartlyWritten(observer.messages[0]));
    EXPECT_NE(observer.messages[0].find("the transfer was stopped."), std::string::npos);
    // The tenth block was acknowledged; the eleventh never started.
    EXPECT_EQ(radio.headers().size(), 10u);
    EXPECT_NE(radio.log().back(), "ENDW");

    cancel = false;
    LinkFixture reading;
    FillPattern(reading.radio.memory(), 10);
    const MemoryImage before = reading.state.image;
    reading.observer.onProgress = [&cancel](int position) { cancel = position == 3; };
    EXPECT_FALSE(reading.RunClone(ClonePlan::Read(), &cancel));
    EXPECT_EQ(FirstLines(reading.observer.messages),
              std::vector<std::string>{"Communication error"});
    EXPECT_EQ(reading.state.image, before);
    EXPECT_EQ(reading.radio.headers().size(), 3u);
    EXPECT_FALSE(reading.link.isOpen());

    // Cancelled before it began: nothing reaches the radio beyond the port being opened.
    LinkFixture early;
    cancel = true;
    EXPECT_FALSE(early.RunClone(ClonePlan::Write(), &cancel));
    EXPECT_EQ(FirstLines(early.observer.messages), std::vector<std::string>{"Communication error"});
    EXPECT_EQ(early.link.bytesWritten(), 0u);
    EXPECT_FALSE(early.link.isOpen());
}

TEST_F(CloneSessionTest, InitializationWritesEverythingAndStaysOpen) {
    FillPattern(state.image, 8);
    state.serviceMode = true;

    ASSERT_TRUE(RunClone(ClonePlan::Initialization()));

    EXPECT_EQ(radio.memory(), state.image);
    EXPECT_EQ(radio.headers().size(), 512u);
    EXPECT_EQ(radio.log().back(), "ENDW");
    EXPECT_EQ(FirstLines(observer.messages), std::vector<std::string>{"Init"});
    EXPECT_EQ(observer.closeRequests, 0);
    EXPECT_EQ(observer.texts.back(), "0%");
    EXPECT_EQ(observer.positions.back(), 0);

    // A second run on the same dialog works the same way.
    EXPECT_TRUE(RunClone(ClonePlan::Initialization()));
}

}  // namespace
}  // namespace kestra
