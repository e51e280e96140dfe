// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/image_patch.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(ImagePatchTest, RevertAndApplyChangeOnlyTheEditedRuns) {
    MemoryImage before;
    MemoryImage after = before;
    after[0x0000] = 0x00;
    after[0x2040] = 0x01;
    after[0x2041] = 0x02;
    after[0x3FFF] = 0x7F;  // the last byte ends a run without running past the image
    const ImagePatch patch = ImagePatch::Between(before, after);
    ASSERT_EQ(patch.runs().size(), 3u);
    EXPECT_EQ(patch.size(), 4u);
    EXPECT_TRUE(patch.Touches(0x2000, 0x2041));
    EXPECT_FALSE(patch.Touches(0x0001, 0x2040));

    // Another edit in between (a byte no run covers) survives the revert and the re-apply.
    MemoryImage image = after;
    image[0x1000] = 0x55;
    patch.Revert(image);
    MemoryImage expected = before;
    expected[0x1000] = 0x55;
    EXPECT_EQ(image, expected);
    patch.Apply(image);
    expected = after;
    expected[0x1000] = 0x55;
    EXPECT_EQ(image, expected);

    EXPECT_TRUE(ImagePatch::Between(before, before).empty());
}

}  // namespace
}  // namespace kestra
