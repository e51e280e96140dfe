// SPDX-License-Identifier: GPL-3.0-or-later
// The three calibration areas: their names and transfers, what a dialog's Write and Read do to
// the image without the window, and when the values a Write would send were never read from a
// radio.

#include "service/service_area.hpp"

#include <gtest/gtest.h>

#include "model/document_file.hpp"

namespace kestra {
namespace {

// Memory a calibrated radio could hold: no byte 0xFF, no two neighbours alike.
MemoryImage RadioMemory() {
    MemoryImage image;
    for (std::size_t a = 0; a < kImageSize; ++a) {
        image[a] = static_cast<std::uint8_t>((a * 7 + a / 256) % 0xF0);
    }
    return image;
}

TEST(ServiceArea, NamesPickTheDialogsTransfers) {
    ASSERT_EQ(ServiceAreaOfName("parameter-adjust"), ServiceArea::ParameterAdjust);
    ASSERT_EQ(ServiceAreaOfName("dtmf-initialization"), ServiceArea::DtmfInitialization);
    ASSERT_EQ(ServiceAreaOfName("sql-adjust"), ServiceArea::SqlAdjust);
    EXPECT_EQ(ServiceAreaOfName("Sql Adjust"), std::nullopt);
    EXPECT_EQ(ServiceAreaOfName(""), std::nullopt);

    const ServiceAreaInfo& sql = AreaInfo(ServiceArea::SqlAdjust);
    EXPECT_EQ(sql.caption, "Sql Adjust");
    EXPECT_EQ(sql.read.BlockCount(), 23);
    EXPECT_EQ(sql.write.BlockCount(), 26);
    EXPECT_EQ(AreaInfo(ServiceArea::ParameterAdjust).write.BlockCount(), 9);
    EXPECT_EQ(AreaInfo(ServiceArea::DtmfInitialization).read.ranges[0].start, 0x3E00);
}

TEST(ServiceArea, NewDocumentsAndErasedMemoryHoldNoRadioValues) {
    for (const ServiceAreaInfo& info : kServiceAreas) {
        for (MemoryImage image : {BuiltInDocumentImage(), MemoryImage()}) {
            EXPECT_TRUE(HoldsUnreadValues(info.area, image)) << info.name << " as loaded";
            // As the dialog's Write leaves it: clamped, tagged, the derived tables computed.
            PrepareServiceWrite(info.area, image);
            EXPECT_TRUE(HoldsUnreadValues(info.area, image)) << info.name << " as committed";
        }
        MemoryImage radio = RadioMemory();
        EXPECT_FALSE(HoldsUnreadValues(info.area, radio)) << info.name;
        PrepareServiceWrite(info.area, radio);
        EXPECT_FALSE(HoldsUnreadValues(info.area, radio)) << info.name;
    }
}

TEST(ServiceArea, ValuesTypedIntoANewDocumentAreTheUsersOwn) {
    MemoryImage image = BuiltInDocumentImage();
    image[0x3F21] = 12;  // Voice Tx Gain
    PrepareServiceWrite(ServiceArea::ParameterAdjust, image);
    EXPECT_FALSE(HoldsUnreadValues(ServiceArea::ParameterAdjust, image));
    // Another area's values do not count for this one.
    EXPECT_TRUE(HoldsUnreadValues(ServiceArea::SqlAdjust, image));

    MemoryImage squelch;
    squelch[0x2CD6] = 5;  // one cell of the 520 MHz point
    EXPECT_FALSE(HoldsUnreadValues(ServiceArea::SqlAdjust, squelch));
}

TEST(ServiceArea, WriteAndReadDoWhatTheirDialogsDo) {
    MemoryImage image;
    image[0x3F21] = 99;  // above Voice Tx Gain's 63
    PrepareServiceWrite(ServiceArea::ParameterAdjust, image);
    EXPECT_EQ(image[0x3F21], 63);
    EXPECT_EQ(image[0x3F15], 0x42);  // the reference levels
    EXPECT_EQ(image[0x3F71], 0x85);  // 13600000 in the band points

    MemoryImage dtmf;
    PrepareServiceWrite(ServiceArea::DtmfInitialization, dtmf);
    EXPECT_EQ(dtmf[0x3E00], 0x01);
    EXPECT_EQ(dtmf[0x3E01], 0xC4);

    MemoryImage sql = RadioMemory();
    const MemoryImage before = sql;
    PrepareServiceWrite(ServiceArea::SqlAdjust, sql);
    EXPECT_EQ(sql[0x2A00], before[0x2A00]);  // the records go out as they are
    EXPECT_EQ(sql[0x3F71], 0x85);

    // After a Parameter Adjust read the section limits come from the model block.
    MemoryImage read;
    read.write(0x2E10, std::vector<std::uint8_t>{0x00, 0x00, 0x40, 0x14, 0x00, 0x00, 0x80, 0x14});
    SectionLimits limits;
    FinishServiceRead(ServiceArea::ParameterAdjust, read, limits);
    EXPECT_EQ(limits.lower[0], 14400000);
    EXPECT_EQ(limits.upper[0], 14800000);
    EXPECT_EQ(read[0x3F15], 0x42);
}

}  // namespace
}  // namespace kestra
