// SPDX-License-Identifier: GPL-3.0-or-later
// The document on real files: what an open, a failed open, New, a save and a read leave behind,
// which limits and which radio model a document keeps, and that what a user entered survives
// any number of saves.

#include "channels/channel_document.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "channels/image_preparation.hpp"
#include "model/image_map.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes Bcd(std::uint32_t value) {
    const auto b = Bcd8Encode(value);
    return Bytes(b.begin(), b.end());
}

// A cleared record holding rx, and tx when it is not 0.
void PutChannel(MemoryImage& image, int record, std::uint32_t rx, std::uint32_t tx = 0) {
    WriteClearedRecord(image, record);
    image.write(RecordOffset(record), Bcd(rx));
    if (tx != 0) {
        image.write(RecordOffset(record) + 4, Bcd(tx));
    }
}

class ChannelDocumentTest : public ::testing::Test {
protected:
    fs::path Write(const char* name, const MemoryImage& image) const {
        const fs::path path = dir_ / name;
        EXPECT_TRUE(SaveDocumentFile(path, image)) << path;
        return path;
    }
    MemoryImage Read(const fs::path& path) const {
        MemoryImage image;
        EXPECT_TRUE(LoadDocumentFile(path, image)) << path;
        return image;
    }

    test::TempDir temp_{"kestra-channel-document"};
    const fs::path dir_ = temp_.path();
    MemoryImage image_;
    SectionLimits limits_;
    ChannelDocument document_{image_, limits_};
};

TEST_F(ChannelDocumentTest, AFailedOpenChangesNothingAtAll) {
    MemoryImage start = BuiltInDocumentImage();
    PutChannel(start, 0, 14652500);
    image_ = start;
    document_.FillGridFromImage();
    document_.SetModelIndex(1);
    limits_.lower[0] = 14400000;
    std::ofstream(dir_ / "short.dat", std::ios::binary) << std::string(100, '\x11');

    for (const fs::path& path : {dir_ / "short.dat", dir_ / "missing.dat", dir_}) {
        const FileResult result = document_.Open(path);
        EXPECT_FALSE(result) << path;
        EXPECT_NE(result.error.find(path.filename().string()), std::string::npos) << result.error;
        EXPECT_EQ(image_, start);
        EXPECT_EQ(limits_.lower[0], 14400000);
        EXPECT_EQ(document_.table().Cell(0, Column::RxFreq), "146.52500");
        EXPECT_EQ(document_.modelIndex(), 1);
    }
}

TEST_F(ChannelDocumentTest, OpenDecodesTheFileAndNewStartsFromTheTemplate) {
    MemoryImage file = BuiltInDocumentImage();
    PutChannel(file, 129, 44600625);  // B002
    ASSERT_TRUE(document_.Open(Write("radio.dat", file)));
    EXPECT_EQ(image_, file);
    EXPECT_EQ(document_.table().Cell(129, Column::RxFreq), "446.00625");

    // Without Default.dat the built-in defaults; with one, its bytes.
    document_.New(dir_);
    EXPECT_EQ(image_, BuiltInDocumentImage());
    EXPECT_TRUE(document_.table().IsRowEmpty(129));
    Write("Default.dat", file);
    document_.New(dir_);
    EXPECT_EQ(image_, file);
    EXPECT_EQ(document_.table().Cell(129, Column::RxFreq), "446.00625");
}

// A document made for 130-174 MHz: the program's default A section starts at 136 MHz.
TEST_F(ChannelDocumentTest, ChannelsInsideTheDocumentsOwnLimitsSurviveOpenAndSave) {
    MemoryImage file = BuiltInDocumentImage();
    file.write(map::ModelLimitsOf(0), Bcd(13000000));
    file.write(map::ModelLimitsOf(0) + 4, Bcd(17400000));
    PutChannel(file, 0, 13250000, 13250000);
    PutChannel(file, 1, 14652500);
    const MemoryImage prepared = [&file] {
        MemoryImage copy = file;
        SectionLimits own;
        ChannelTable table;
        table.FillGridFromImage(copy, own);
        table.StoreGridToImage(copy, own, kDefaultModelIndex);
        return copy;
    }();
    ASSERT_TRUE(document_.Open(Write("wide.dat", file)));
    EXPECT_EQ(limits_.lower[0], 13000000);
    EXPECT_EQ(document_.table().Cell(0, Column::RxFreq), "132.50000");

    ASSERT_TRUE(document_.Save(dir_ / "saved.dat"));
    const MemoryImage saved = Read(dir_ / "saved.dat");
    EXPECT_EQ(saved, prepared);
    EXPECT_EQ(ConstChannelRecord(saved, 0).RxFrequency(), 13250000);
    EXPECT_TRUE(ChannelBit(saved, map::kPresentMapA, 1));
    EXPECT_EQ(ConstChannelRecord(saved, 1).RxFrequency(), 14652500);
}

// B124's bytes 16-23 carry the fixed group every save writes; a B124 whose Tx lies outside both
// sections keeps that Tx however often it is saved.
TEST_F(ChannelDocumentTest, B124KeepsItsTxThroughThreeSaves) {
    constexpr int kB124 = 251;
    MemoryImage file = BuiltInDocumentImage();
    PutChannel(file, kB124, 44600000, 30000000);
    PutChannel(file, kB124 - 1, 44500000, 30000000);  // B123, the same pair, for comparison
    fs::path path = Write("b124.dat", file);
    for (int save = 1; save <= 3; ++save) {
        ASSERT_TRUE(document_.Open(path)) << "save " << save;
        EXPECT_EQ(document_.table().Cell(kB124, Column::TxFreq), "300.00000") << "save " << save;
        path = dir_ / ("b124-" + std::to_string(save) + ".dat");
        ASSERT_TRUE(document_.Save(path));
        const MemoryImage saved = Read(path);
        EXPECT_EQ(ConstChannelRecord(saved, kB124).TxFrequency(), 30000000) << "save " << save;
        EXPECT_EQ(ConstChannelRecord(saved, kB124).ShiftDirection(), 1) << "save " << save;
        EXPECT_EQ(ConstChannelRecord(saved, kB124 - 1).TxFrequency(), 30000000);
        const auto fixed = saved.span(map::kFixedGroup, map::kFixedGroupSize);
        EXPECT_TRUE(std::equal(fixed.begin(), fixed.end(), map::kFixedGroupBytes.begin()));
    }
    // A really erased shift in B124 is still an erased one: its Tx becomes its Rx, as in any
    // other record.
    ChannelRecord(image_, kB124).SetShiftAmount(99999999);
    document_.StoreGridToImage();
    EXPECT_EQ(ConstChannelRecord(image_, kB124).TxFrequency(), 44600000);
}

TEST_F(ChannelDocumentTest, TheModelFollowsTheDocumentsBlockElseStaysAsChosen) {
    EXPECT_EQ(document_.modelIndex(), kDefaultModelIndex);
    EXPECT_FALSE(document_.SetModelIndex(7));
    EXPECT_FALSE(document_.SetModelIndex(kDefaultModelIndex));

    MemoryImage forHe = BuiltInDocumentImage();
    WriteModelBlock(forHe, 0);
    const fs::path he = Write("he.dat", forHe);
    const fs::path plain = Write("plain.dat", BuiltInDocumentImage());

    ASSERT_TRUE(document_.Open(he));
    EXPECT_EQ(document_.modelIndex(), 0);
    // A document without a block keeps the model in use, as the desktop program always did.
    ASSERT_TRUE(document_.SetModelIndex(1));
    ASSERT_TRUE(document_.Open(plain));
    EXPECT_EQ(document_.modelIndex(), 1);
    ASSERT_TRUE(document_.Save(dir_ / "n.dat"));
    EXPECT_EQ(ModelIndexOfImage(Read(dir_ / "n.dat")), 1);

    // A model picked after opening is what the save writes, whatever the file held.
    ASSERT_TRUE(document_.Open(he));
    ASSERT_TRUE(document_.SetModelIndex(2));
    ASSERT_TRUE(document_.Save(dir_ / "e.dat"));
    EXPECT_EQ(ModelIndexOfImage(Read(dir_ / "e.dat")), 2);
}

TEST_F(ChannelDocumentTest, AReadIsAdoptedAndRememberedAsTheRadiosImage) {
    EXPECT_FALSE(document_.lastRadioImage().has_value());
    MemoryImage radio = BuiltInDocumentImage();
    PutChannel(radio, 0, 14600000);
    WriteModelBlock(radio, 1);
    document_.ReplaceImage(radio);
    EXPECT_EQ(image_, radio);
    EXPECT_EQ(document_.table().Cell(0, Column::RxFreq), "146.00000");
    EXPECT_EQ(document_.modelIndex(), 1);
    ASSERT_TRUE(document_.lastRadioImage().has_value());
    EXPECT_EQ(*document_.lastRadioImage(), radio);

    // The radio still holds what it held when another document is opened or created.
    document_.New(dir_);
    EXPECT_EQ(*document_.lastRadioImage(), radio);
    document_.table().SetCell(3, Column::RxFreq, "147.00000");
    document_.StoreGridToImage();
    document_.RememberWrittenImage();
    EXPECT_EQ(*document_.lastRadioImage(), image_);
    EXPECT_NE(*document_.lastRadioImage(), radio);
}

}  // namespace
}  // namespace kestra
