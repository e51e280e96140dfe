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

TEST_F(ServiceTransferTest, WriteKeepsTheRadiosValuesThenSendsExactlyItsBlocks) {
    FillPattern(radio.memory(), 5);
    const MemoryImage old = radio.memory();
    FillPattern(state.image, 1);
    std::vector<MemoryImage> kept;
    ASSERT_TRUE(RunService(kParameterAdjustWrite, [&](const MemoryImage& previous) {
        kept.push_back(previous);
        EXPECT_TRUE(radio.headers().back().starts_with("R ")) << "kept before any write";
        return std::string();
    }));

    // One message: the backup read does not say "Read complete".
    EXPECT_EQ(FirstLines(messenger.messages), std::vector<std::string>{"Write complete"});
    const std::vector<std::string> ranges{"3E D0 10", "3E E0 20", "3F 00 20",
                                          "3F 20 20", "3F 40 20", "3F 60 10",
                                          "3F 70 10", "3F 80 20", "3F A0 0C"};
    std::vector<std::string> expected{"IDENT", "A"};
    for (const std::string& block : ranges) {
        expected.push_back("R " + block);
    }
    expected.insert(expected.end(), {"ENDR", "IDENT", "A"});
    for (const std::string& block : ranges) {
        expected.push_back("W " + block);
    }
    expected.push_back("ENDW");
    EXPECT_EQ(Frames(), expected);

    ASSERT_EQ(kept.size(), 1u);
    ASSERT_TRUE(serviceResult.previous.has_value());
    EXPECT_EQ(*serviceResult.previous, kept[0]);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool written = a >= 0x3ED0 && a < 0x3FAC;
        ASSERT_EQ(kept[0][a], written ? old[a] : 0xFF) << a;
        ASSERT_EQ(radio.memory()[a], written ? state.image[a] : old[a]) << a;
    }
}

TEST_F(ServiceTransferTest, NothingIsWrittenWithoutTheRadiosValuesKept) {
    FillPattern(radio.memory(), 6);
    const MemoryImage old = radio.memory();
    // The one message of a write that sent no block.
    const auto wroteNothing = [&](LinkFixture& f) -> std::string {
        for (const std::string& header : f.radio.headers()) {
            EXPECT_TRUE(header.starts_with("R ")) << header;
        }
        EXPECT_EQ(f.radio.memory(), old);
        EXPECT_FALSE(f.link.isOpen());
        EXPECT_EQ(f.messenger.messages.size(), 1u);
        return f.messenger.messages.empty() ? std::string() : f.messenger.messages[0];
    };
    // The backup read fails: at a block, at the handshake, or the port does not open.
    for (int block : {0, 3, 23}) {
        LinkFixture f;
        f.radio.memory() = old;
        f.radio.faults().withholdAckAfterBlock = block;
        EXPECT_FALSE(f.RunService(kSqlAdjustWrite, [](const MemoryImage&) {
            ADD_FAILURE() << "nothing to keep after a failed read";
            return std::string();
        })) << block;
        const std::string message = wroteNothing(f);
        EXPECT_TRUE(message.starts_with("Communication error\n")) << message;
        EXPECT_TRUE(message.ends_with("\n" + std::string(kNothingWrittenHint))) << message;
    }
    LinkFixture absent;
    absent.radio.memory() = old;
    absent.radio.faults().absent = true;
    EXPECT_FALSE(absent.RunService(kDtmfInitializationWrite));
    EXPECT_TRUE(wroteNothing(absent).starts_with("Open port fail\n"));

    // The values were read but could not be kept.
    EXPECT_FALSE(RunService(kDtmfInitializationWrite, [](const MemoryImage&) {
        return std::string("Cannot create the backup folder \"/x\": No space left on device.");
    }));
    const std::string message = wroteNothing(*this);
    EXPECT_TRUE(
        message.starts_with("No backup of the radio's present values could be kept, so "
                            "nothing was written.\n"))
        << message;
    EXPECT_NE(message.find("No space left on device."), std::string::npos) << message;
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
    // The radio fails only once the backup read is through.
    const auto failFrom = [](LinkFixture& f, int block) {
        return [&f, block](const MemoryImage&) {
            f.radio.ClearLog();
            f.radio.faults().withholdAckAfterBlock = block;
            return std::string();
        };
    };
    EXPECT_FALSE(RunService(kSqlAdjustWrite, failFrom(*this, 4)));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_TRUE(testing::SaysPartlyWritten(messenger.messages[0])) << messenger.messages[0];
    EXPECT_EQ(radio.headers().size(), 4u);

    // Failing at the handshake, before any block: only the error.
    LinkFixture f;
    EXPECT_FALSE(f.RunService(kParameterAdjustWrite, failFrom(f, 0)));
    EXPECT_EQ(FirstLines(f.messenger.messages), std::vector<std::string>{"Communication error"});
    EXPECT_FALSE(testing::SaysPartlyWritten(f.messenger.messages[0]));
}

TEST_F(ServiceTransferTest, ServiceTransfersSkipThePlausibilityTest) {
    radio.SetBandLimitsMhz(0, 0, 0, 0);
    EXPECT_TRUE(RunService(kParameterAdjustRead));
}

}  // namespace
}  // namespace kestra
