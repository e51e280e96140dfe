// SPDX-License-Identifier: GPL-3.0-or-later
// The one reading of a leading whole number and the one ASCII case fold that Program.ini, typed
// cells, spin texts, port names, tone texts and the password check share.

#include "model/text_numbers.hpp"

#include <gtest/gtest.h>

#include "model/ascii.hpp"

namespace kestra {
namespace {

TEST(LeadingNumber, ReadsLikeScanfAndSaturates) {
    EXPECT_EQ(LeadingInt("12abc"), 12);
    EXPECT_EQ(LeadingInt(" \t-3"), -3);
    EXPECT_EQ(LeadingInt("+4"), 4);
    EXPECT_EQ(LeadingInt("007"), 7);
    for (const char* text : {"", "COM3", "-", "+ 5", "x1"}) {
        EXPECT_EQ(LeadingInt(text), 0) << text;
        EXPECT_FALSE(ScanLeadingInteger(text)) << text;
    }
    EXPECT_EQ(LeadingInt("99999999999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInt("-99999999999999"), -2147483647 - 1);
    EXPECT_EQ(LeadingInt("-2147483648"), -2147483647 - 1);

    EXPECT_EQ(ScanLeadingInteger("0x1Fg", 16), 31);
    EXPECT_EQ(ScanLeadingInteger("ff", 16), 255);
    EXPECT_EQ(ScanLeadingInteger("0xg", 16), 0);  // the "0" alone, as scanf takes it
    EXPECT_EQ(ScanLeadingInteger("1f", 10), 1);
}

TEST(AsciiCase, FoldsLettersOnlyAndNeverBytesOfOtherCharacters) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("[sEtUp]", "[SETUP]"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("Setup", "Setup "));
    // '@' and '`' sit next to the letters; the bytes of UTF-8 "é" and "É" are left alone.
    EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));
    EXPECT_EQ(ToUpperAscii("d023n\xC3\xA9z"), "D023N\xC3\xA9Z");
    EXPECT_TRUE(StartsWithIgnoringAsciiCase("com12", "COM"));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase("CO", "COM"));
}

}  // namespace
}  // namespace kestra
