// SPDX-License-Identifier: GPL-3.0-or-later
// DTMF Initialization's eleven decoder registers in the image.

#include "service/dtmf_initialization.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace kestra {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::uint8_t> Bytes(const MemoryImage& image, std::size_t offset, std::size_t n) {
    const auto s = image.span(offset, n);
    return {s.begin(), s.end()};
}

TEST(DtmfInitialization, ErasedTableShowsFFFFAndGetsItsTagsOnCommit) {
    MemoryImage image;
    DtmfInitializationForm form = LoadDtmfInitialization(image);
    EXPECT_THAT(form, Each(std::string("FFFF")));

    CommitDtmfInitialization(form, image);
    const std::vector<std::uint8_t> expected{
        0x01, 0xC4, 0xFF, 0xFF, 0x00, 0xD5, 0xFF, 0xFF, 0x03, 0xAB, 0xFF, 0xFF, 0x03, 0xAC, 0xFF,
        0xFF, 0x01, 0xB2, 0xFF, 0xFF, 0x01, 0xB3, 0xFF, 0xFF, 0x01, 0xB4, 0xFF, 0xFF, 0x01, 0xCB,
        0xFF, 0xFF, 0x01, 0xBB, 0xFF, 0xFF, 0x01, 0xBC, 0xFF, 0xFF, 0x01, 0xC3, 0xFF, 0xFF};
    EXPECT_THAT(Bytes(image, 0x3E00, 0x2C), ElementsAreArray(expected));
}

TEST(DtmfInitialization, ValuesAreBigEndianAndTheTailIsLeftAlone) {
    MemoryImage image;
    image.write(0x3E00, std::vector<std::uint8_t>{0x55, 0x66, 0x12, 0x34});  // a wrong tag
    image.write(0x3E2C, std::vector<std::uint8_t>{1, 2, 3, 4});
    DtmfInitializationForm form = LoadDtmfInitialization(image);
    EXPECT_EQ(form[0], "1234");

    form[10] = "1A2";  // Twist
    form[1] = "";      // an emptied box counts as 0
    CommitDtmfInitialization(form, image);
    EXPECT_THAT(Bytes(image, 0x3E00, 4), ElementsAre(0x01, 0xC4, 0x12, 0x34));
    EXPECT_THAT(Bytes(image, 0x3E04, 4), ElementsAre(0x00, 0xD5, 0x00, 0x00));
    EXPECT_THAT(Bytes(image, 0x3E28, 8), ElementsAre(0x01, 0xC3, 0x01, 0xA2, 1, 2, 3, 4));
    // The form shows what was committed.
    EXPECT_EQ(form[1], "0");
}

TEST(DtmfInitialization, BoxesTakeHexadecimalDigitsOnlyAndWrap) {
    EXPECT_EQ(TypedSpinText(kDtmfDecoderRule, "G"), std::nullopt);
    EXPECT_EQ(TypedSpinText(kDtmfDecoderRule, "1a2"), "1A2");
    EXPECT_EQ(StepSpinField(kDtmfDecoderRule, "FFFF", +1), "0");
    EXPECT_EQ(StepSpinField(kDtmfDecoderRule, "0", -1), "FFFF");
}

}  // namespace
}  // namespace kestra
