// SPDX-License-Identifier: GPL-3.0-or-later
// The service password check.

#include "service/password.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(PasswordTest, LettersInEitherCaseDigitsExactSameLength) {
    EXPECT_TRUE(IsServicePassword("QVM427"));
    EXPECT_TRUE(IsServicePassword("qvm427"));
    EXPECT_TRUE(IsServicePassword("qVm427"));
    EXPECT_FALSE(IsServicePassword("QVM427 "));
    EXPECT_FALSE(IsServicePassword(" QVM427"));
    EXPECT_FALSE(IsServicePassword("QVM42"));
    EXPECT_FALSE(IsServicePassword("QVM4270X"));
    EXPECT_FALSE(IsServicePassword("QVM428"));
    EXPECT_FALSE(IsServicePassword(""));
    // Case folding applies to letters only: no character maps onto a digit.
    EXPECT_FALSE(IsServicePassword("QVM\x14\x12\x17"));
}

}  // namespace
}  // namespace kestra
