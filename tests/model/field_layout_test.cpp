#include "model/field_layout.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(FieldLayoutTest, BitFieldsChangeOnlyTheirOwnBits) {
    MemoryImage image;
    image[0x2049] = 0b1001'1010;
    constexpr BitField scanMode{0x2049, 5, 2};
    EXPECT_EQ(ReadBits(image, scanMode), 0b00);
    WriteBits(image, scanMode, 2);
    EXPECT_EQ(image[0x2049], 0b1101'1010);
    EXPECT_EQ(ReadBits(image, scanMode), 2);
    // A value wider than the field keeps only the bits that fit; its neighbours stay.
    WriteBits(image, scanMode, 0b101);
    EXPECT_EQ(image[0x2049], 0b1011'1010);

    constexpr BitField whole{0x2040};
    WriteBits(image, whole, 0x1E);
    EXPECT_EQ(ReadBits(image, whole), 0x1E);
    EXPECT_EQ(image[0x2041], 0xFF);
}

}  // namespace
}  // namespace kestra
