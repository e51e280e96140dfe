// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the radio's identification reply.

#include "link/ident_reply.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

Frequency Limit(std::array<std::uint8_t, 4> bytes) {
    return IdentLimitValue(bytes);
}

IdentReply ReplyWithLimits(std::array<std::uint8_t, 16> limits) {
    IdentReply reply{};
    reply.fill(0xFF);
    std::copy(limits.begin(), limits.end(), reply.begin() + 16);
    return reply;
}

TEST(IdentReplyTest, LimitsConvertThroughTheirHexText) {
    EXPECT_EQ(Limit({0x00, 0x00, 0x60, 0x13}), 13600000);
    EXPECT_EQ(Limit({0x00, 0x00, 0x00, 0x52}), 52000000);
    EXPECT_EQ(Limit({0x00, 0x00, 0x00, 0x00}), 0);
    // "13a00000": only the leading decimal digits count.
    EXPECT_EQ(Limit({0x00, 0x00, 0xA0, 0x13}), 13);
    // "a0000000" starts with a letter: the raw number, as a signed 32-bit value.
    EXPECT_EQ(Limit({0x00, 0x00, 0x00, 0xA0}), static_cast<Frequency>(0xA0000000u));
    EXPECT_EQ(Limit({0xFF, 0xFF, 0xFF, 0xFF}), -1);
    // Leading zero nibbles vanish in the hex text: "5" rather than "00000005".
    EXPECT_EQ(Limit({0x05, 0x00, 0x00, 0x00}), 5);
}

TEST(IdentReplyTest, RadioInformationShowsLimitsInWholeMhz) {
    const RadioInformation info =
        DecodeIdentReply(ReplyWithLimits({0x00, 0x00, 0x60, 0x13, 0x00, 0x00, 0x40, 0x17, 0x00,
                                          0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x52}));
    EXPECT_EQ(info.aLowerMhz, 136);
    EXPECT_EQ(info.aUpperMhz, 174);
    EXPECT_EQ(info.bLowerMhz, 400);
    EXPECT_EQ(info.bUpperMhz, 520);
}

TEST(IdentReplyTest, ModelTextAndVersions) {
    IdentReply reply{};
    reply.fill(0xFF);
    const std::string model = "AB-12 XY";
    std::copy(model.begin(), model.end(), reply.begin());
    reply[8] = 1;
    reply[9] = 2;
    reply[10] = 3;
    reply[15] = 1;
    RadioInformation info = DecodeIdentReply(reply);
    EXPECT_EQ(info.model, "AB-12 XY-K472");
    EXPECT_EQ(info.mcuVersion, "v1.2.3");
    EXPECT_EQ(info.pcVersion, "v2.5.1");

    // An unprintable byte ends the model text; byte 15 other than 1 adds nothing.
    reply[3] = 0x00;
    reply[15] = 2;
    reply[10] = 0xFF;
    info = DecodeIdentReply(reply);
    EXPECT_EQ(info.model, "AB-");
    EXPECT_EQ(info.mcuVersion, "v1.2");
    EXPECT_FALSE(info.pcVersion.has_value());  // key "v1" is not in the table

    reply[8] = 0xFF;
    info = DecodeIdentReply(reply);
    EXPECT_FALSE(info.mcuVersion.has_value());
    EXPECT_FALSE(info.pcVersion.has_value());

    // Seven version bytes, none 0xFF.
    for (std::size_t i = 8; i < 15; ++i) {
        reply[i] = static_cast<std::uint8_t>(i == 8 ? 10 : 0);
    }
    EXPECT_EQ(DecodeIdentReply(reply).mcuVersion, "v10.0.0.0.0.0.0");
}

}  // namespace
}  // namespace kestra
