// SPDX-License-Identifier: GPL-3.0-or-later
// The service transfers against the in-process virtual radio on simulated time.

#include "link/service_transfer.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"

namespace kestra {
namespace {

using testing::FillPattern;
using testing::FirstLines;
using testing::LinkFixture;

class ServiceTransferTest : public ::testing::Test, protected LinkFixture {
protected:
    void TearDown() override { EXPECT_FALSE(link.isOpen()); }
};

TEST_F(ServiceTransferTest, ParameterAdjustWriteSendsExactlyItsBlocks) {
    FillPattern(state.image, 1);
    ASSERT_TRUE(RunService(kParameterAdjustWrite));

    EXPECT_EQ(FirstLines(messenger.messages), std::vector<std::string>{"Write complete"});
    const std::vector<std::string> expected{"IDENT",      "A",          "W 3E D0 10", "W 3E E0 20",
                                            "W 3F 00 20", "W 3F 20 20", "W 3F 40 20", "W 3F 60 10",
                                            "W 3F 70 10", "W 3F 80 20", "W 3F A0 0C", "ENDW"};
    EXPECT_EQ(Frames(), expected);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool written = a >= 0x3ED0 && a < 0x3FAC;
        ASSERT_EQ(radio.memory()[a], written ? state.image[a] : 0xFF) << a;
    }
}

TEST_F(ServiceTransferTest, PlansMoveTheirBlocks) {
    EXPECT_EQ(kParameterAdjustRead.BlockCount(), 6);
    EXPECT_EQ(kParameterAdjustWrite.BlockCount(), 9);
    EXPECT_EQ(kDtmfInitializationRead.BlockCount(), 2);
    EXPECT_EQ(kDtmfInitializationWrite.BlockCount(), 2);
    EXPECT_EQ(kSqlAdjustRead.BlockCount(), 23);
    EXPECT_EQ(kSqlAdjustWrite.BlockCount(), 26);
    EXPECT_EQ(kSqlAdjustWrite.direction, TransferDirection::Write);
    EXPECT_EQ(kSqlAdjustRead.direction, TransferDirection::Read);
}

TEST_F(ServiceTransferTest, ReadStoresOnlyItsRange) {
    FillPattern(radio.memory(), 2);
    FillPattern(state.image, 3);
    const MemoryImage before = state.image;

    ASSERT_TRUE(RunService(kDtmfInitializationRead));

    EXPECT_EQ(FirstLines(messenger.messages), std::vector<std::string>{"Read complete"});
    EXPECT_EQ(radio.headers(), (std::vector<std::string>{"R 3E 00 20", "R 3E 20 10"}));
    EXPECT_EQ(radio.log().back(), "ENDR");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool read = a >= 0x3E00 && a < 0x3E30;
        ASSERT_EQ(state.image[a], read ? radio.memory()[a] : before[a]) << a;
    }
}

TEST_F(ServiceTransferTest, SilentRadioCostsFourWakeUpAttempts) {
    radio.faults().silent = true;
    EXPECT_FALSE(RunService(kSqlAdjustRead));
    EXPECT_EQ(FirstLines(messenger.messages), std::vector<std::string>{"Communication error"});
    // The squelch transfers read with a 100 ms constant: 50 + 100 ms per 1-byte read.
    EXPECT_EQ(clock.NowMs(), 4 * (8 + 150));

    LinkFixture other;
    other.radio.faults().silent = true;
    EXPECT_FALSE(other.Identify().has_value());
    // Radio Information pauses 2 ms before each wake-up byte.
    EXPECT_EQ(other.clock.NowMs(), 4 * (16 + 550));
}

TEST_F(ServiceTransferTest, FailedReadLeavesTheImageAsItWas) {
    FillPattern(radio.memory(), 4);
    const MemoryImage before = state.image;
    for (int block : {0, 3, 23}) {
        LinkFixture f;
        f.radio.memory() = radio.memory();
        f.radio.faults().withholdAckAfterBlock = block;
        EXPECT_FALSE(f.RunService(kSqlAdjustRead)) << block;
        EXPECT_EQ(FirstLines(f.messenger.messages),
                  std::vector<std::string>{"Communication error"});
        EXPECT_EQ(f.state.image, before) << block;
        EXPECT_FALSE(f.link.isOpen());
    }

    radio.faults().shortBlock = 2;
    EXPECT_FALSE(RunService(kSqlAdjustRead));
    EXPECT_EQ(FirstLines(messenger.messages), std::vector<std::string>{"Communication error"});
    EXPECT_EQ(state.image, before);
}

TEST_F(ServiceTransferTest, OpenFailureSendsNothing) {
    radio.faults().absent = true;
    EXPECT_FALSE(RunService(kDtmfInitializationWrite));
    EXPECT_FALSE(Identify().has_value());
    EXPECT_EQ(FirstLines(messenger.messages),
              (std::vector<std::string>{"Open port fail", "Open port fail"}));
    EXPECT_EQ(link.bytesWritten(), 0u);
}

TEST_F(ServiceTransferTest, IdentifyReturnsTheReplyWithoutHandshake) {
    radio.SetModelText("UV-X4ABC");
    radio.SetVariantByte(1);
    const std::optional<IdentReply> reply = Identify();
    ASSERT_TRUE(reply.has_value());
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_EQ(Frames(), (std::vector<std::string>{"IDENT", "ENDR"}));

    const RadioInformation info = DecodeIdentReply(*reply);
    EXPECT_EQ(info.model, "UV-X4ABC-K472");
    EXPECT_EQ(info.mcuVersion, "v1.2.3");
    EXPECT_EQ(info.pcVersion, "v2.5.1");
    EXPECT_EQ(info.aLowerMhz, 136);
    EXPECT_EQ(info.bUpperMhz, 520);
}

TEST_F(ServiceTransferTest, ShortOrMissingIdentificationReplyIsACommunicationError) {
    // Radio Information would otherwise show a radio of 0 MHz limits, as if all were well.
    for (int sent : {10, 0}) {
        LinkFixture f;
        f.radio.faults().shortIdent = sent;
        EXPECT_FALSE(f.Identify().has_value()) << sent;
        EXPECT_EQ(FirstLines(f.messenger.messages), std::vector<std::string>{"Communication error"})
            << sent;
        EXPECT_FALSE(f.link.isOpen());
    }
}

TEST_F(ServiceTransferTest, FailedWriteSaysTheRadioMayBePartlyWritten) {
    radio.faults().withholdAckAfterBlock = 4;
    EXPECT_FALSE(RunService(kSqlAdjustWrite));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_TRUE(testing::SaysPartlyWritten(messenger.messages[0])) << messenger.messages[0];
    EXPECT_EQ(radio.headers().size(), 4u);

    // Failing at the handshake, before any block: only the error.
    LinkFixture f;
    f.radio.faults().withholdAckAfterBlock = 0;
    EXPECT_FALSE(f.RunService(kParameterAdjustWrite));
    EXPECT_EQ(FirstLines(f.messenger.messages), std::vector<std::string>{"Communication error"});
}

TEST_F(ServiceTransferTest, ServiceTransfersSkipThePlausibilityTest) {
    radio.SetBandLimitsMhz(0, 0, 0, 0);
    EXPECT_TRUE(RunService(kParameterAdjustRead));
}

}  // namespace
}  // namespace kestra
