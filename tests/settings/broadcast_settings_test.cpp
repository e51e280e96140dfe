// SPDX-License-Identifier: GPL-3.0-or-later
// The "Radio" dialog's form: receiver frequencies in kHz BCD, the 76-108 MHz rule, empty slots
// and the current channel's fallback.

#include <gtest/gtest.h>

#include "settings/broadcast_settings.hpp"

namespace kestra {
namespace {

std::vector<std::uint8_t> Bytes(const MemoryImage& image, std::size_t offset, std::size_t n) {
    const auto span = image.span(offset, n);
    return {span.begin(), span.end()};
}

TEST(RadioFormTest, FrequenciesAreStoredAsKilohertzInBcd) {
    MemoryImage image;
    image[0x2F83] = 0x12;  // not the form's
    image[0x2F85] = 0x34;
    RadioForm form;
    form.LoadFromImage(image);
    EXPECT_EQ(form.Text(RadioForm::kCurrentFrequency), "");
    EXPECT_EQ(form.Text(RadioForm::kCurrentChannel), "1");

    ASSERT_EQ(form.Enter(RadioForm::kCurrentFrequency, "87.5"), std::nullopt);
    EXPECT_EQ(form.Text(RadioForm::kCurrentFrequency), "87.500");
    ASSERT_EQ(form.Enter(RadioForm::kFirstChannel, "108"), std::nullopt);
    ASSERT_EQ(form.Enter(RadioForm::kFirstChannel + 19, "98.7009"), std::nullopt);
    ASSERT_EQ(form.Enter(RadioForm::kCurrentChannel, "20"), std::nullopt);
    form.StoreToImage(image);
    EXPECT_EQ(Bytes(image, 0x2F80, 8),
              (std::vector<std::uint8_t>{0x00, 0x75, 0x08, 0x12, 20, 0x34, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(image, 0x2F88, 4), (std::vector<std::uint8_t>{0x00, 0x80, 0x10, 0xFF}));
    EXPECT_EQ(Bytes(image, 0x2FD4, 4), (std::vector<std::uint8_t>{0x00, 0x87, 0x09, 0xFF}));
    EXPECT_EQ(Bytes(image, 0x2F8C, 4), (std::vector<std::uint8_t>(4, 0xFF)));

    RadioForm again;
    again.LoadFromImage(image);
    EXPECT_EQ(again.Text(RadioForm::kCurrentFrequency), "87.500");
    EXPECT_EQ(again.Text(RadioForm::kFirstChannel + 19), "98.700");
    EXPECT_EQ(again.Text(RadioForm::kCurrentChannel), "20");
}

TEST(RadioFormTest, OutsideTheBandBecomes76AndClearedSlotsAreEmpty) {
    MemoryImage image;
    RadioForm form;
    form.LoadFromImage(image);
    for (const char* outside : {"120", "50", "0", "108.001"}) {
        ASSERT_EQ(form.Enter(RadioForm::kFirstChannel + 3, outside), std::nullopt);
        EXPECT_EQ(form.Text(RadioForm::kFirstChannel + 3), "76.000") << outside;
    }
    EXPECT_NE(form.Enter(RadioForm::kFirstChannel, "88,5"), std::nullopt);

    image.write(0x2F88, std::vector<std::uint8_t>{0x00, 0x75, 0x08, 0xFF});
    image.write(0x2F8C, std::vector<std::uint8_t>{0x00, 0x00, 0x11, 0xFF});  // 110 MHz
    form.LoadFromImage(image);
    EXPECT_EQ(form.Text(RadioForm::kFirstChannel), "87.500");
    EXPECT_EQ(form.Text(RadioForm::kFirstChannel + 1), "");
    ASSERT_EQ(form.Enter(RadioForm::kFirstChannel, ""), std::nullopt);
    form.StoreToImage(image);
    EXPECT_EQ(Bytes(image, 0x2F88, 80), (std::vector<std::uint8_t>(80, 0xFF)));

    for (std::uint8_t stored : {0, 21, 0xFF}) {
        image[0x2F84] = stored;
        form.LoadFromImage(image);
        EXPECT_EQ(form.Text(RadioForm::kCurrentChannel), "1");
        form.StoreToImage(image);
        EXPECT_EQ(image[0x2F84], 1);
    }
}

}  // namespace
}  // namespace kestra
