// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/channel_record.hpp"

#include <gtest/gtest.h>

#include "model/image_map.hpp"

namespace kestra {
namespace {

TEST(ChannelRecordTest, ClearedRecordBytesAndMeaning) {
    MemoryImage image;
    WriteClearedRecord(image, 251);
    const std::uint8_t expected[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                       0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x38, 0xFF, 0x00,
                                       0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF,
                                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (std::size_t i = 0; i < 32; ++i) {
        EXPECT_EQ(image[251 * 32 + i], expected[i]) << "byte " << i;
    }
    EXPECT_EQ(image[251 * 32 - 1], 0xFF);  // neighbours untouched
    EXPECT_EQ(image[252 * 32], 0xFF);

    const ConstChannelRecord record(image, 251);
    EXPECT_EQ(record.RxFrequency(), std::nullopt);
    EXPECT_EQ(record.TxFrequency(), std::nullopt);
    EXPECT_EQ(record.RxToneText(), "None");
    EXPECT_EQ(record.ShiftAmount(), 1000000u);
    EXPECT_EQ(record.Name(), "");
    // Flags 0x38: Scan Add, high power, wide, BCL off, PTT ID 0, Vox off.
    EXPECT_TRUE(record.ScanAdd());
    EXPECT_TRUE(record.HighPower());
    EXPECT_TRUE(record.Wide());
    EXPECT_EQ(record.Bcl(), 0);
    EXPECT_EQ(record.PttId(), 0);
    EXPECT_FALSE(record.Vox());
}

TEST(ChannelRecordTest, DecodesStoredBytes) {
    MemoryImage image;
    const std::uint8_t bytes[] = {0x00, 0x25, 0x65, 0x14, 0x00, 0x00, 0x00,
                                  0x00, 0x41, 0x25, 0x54, 0xC7, 0x9B, 0xE6};
    image.write(RecordOffset(0), bytes);
    const ConstChannelRecord record(image, 0);
    EXPECT_EQ(FrequencyToMhzText(*record.RxFrequency()), "146.52500");
    EXPECT_EQ(record.TxFrequency(), std::nullopt);  // top byte 0x00
    EXPECT_EQ(record.RxToneText(), "254.1");
    EXPECT_EQ(record.TxToneText(), "D754I");
    // 0x9B: signal type 3, relay mode 2, voice process 9.
    EXPECT_EQ(record.SignalType(), 3);
    EXPECT_EQ(record.RelayMode(), 2);
    EXPECT_EQ(record.VoiceProcess(), 9);
    // 0xE6: PTT ID 2, Vox on, Scan Add off, high power off, wide, BCL 3.
    EXPECT_EQ(record.PttId(), 2);
    EXPECT_TRUE(record.Vox());
    EXPECT_FALSE(record.ScanAdd());
    EXPECT_FALSE(record.HighPower());
    EXPECT_TRUE(record.Wide());
    EXPECT_EQ(record.Bcl(), 3);
}

TEST(ChannelRecordTest, WritersTouchOnlyTheirFields) {
    MemoryImage image;
    WriteClearedRecord(image, 128);
    ChannelRecord record(image, 128);
    record.SetRxFrequency(14652500);
    record.SetTxFrequency(14052500);
    record.SetRxToneText("D023N");
    record.SetTxToneText("67.0");
    record.SetShiftDirection(1);
    record.SetShiftAmount(600000);
    record.SetBcl(2);
    record.SetHighPower(false);
    record.SetPttId(3);
    record.SetVoiceProcess(15);
    record.SetSignalType(1);

    const std::uint8_t expected[24] = {0x00, 0x25, 0x65, 0x14, 0x00, 0x25, 0x05, 0x14,
                                       0x23, 0x80, 0x70, 0x06, 0xF1, 0xAB, 0xFF, 0x01,
                                       0x00, 0x00, 0x60, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    for (std::size_t i = 0; i < 24; ++i) {
        EXPECT_EQ(image[RecordOffset(128) + i], expected[i]) << "byte " << i;
    }
    record.SetTxFrequency(std::nullopt);
    record.SetRxFrequency(-1);  // no BCD form: erased rather than garbage
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(image[RecordOffset(128) + i], 0xFF);
    }
}

TEST(ChannelRecordTest, NameStopsAtFirstUnprintableByte) {
    MemoryImage image;
    ChannelRecord record(image, 257);
    record.SetName("REPEATER1");
    EXPECT_EQ(record.Name(), "REPEATE");
    record.SetName("HI");
    EXPECT_EQ(record.Name(), "HI");
    EXPECT_EQ(image[RecordOffset(257) + 26], 0xFF);
    EXPECT_EQ(image[RecordOffset(257) + 31], 0xFF);
    record.SetName("ABCDEFG");
    record.SetByte(26, 0x00);
    EXPECT_EQ(record.Name(), "AB");
    record.SetByte(26, 0x7F);  // DEL is not printable either
    EXPECT_EQ(record.Name(), "AB");
}

TEST(ChannelBitmaps, ChannelKIsBitKMinusOneOfItsByte) {
    MemoryImage image;
    image.fill(map::kPresentMapA, 64, 0x00);
    SetChannelBit(image, map::kPresentMapA, 1, true);
    SetChannelBit(image, map::kPresentMapA, 10, true);
    SetChannelBit(image, map::PresentMapOf(1), 128, true);
    EXPECT_EQ(image[0x2E40], 0x01);
    EXPECT_EQ(image[0x2E41], 0x02);
    EXPECT_EQ(image[0x2E6F], 0x80);
    EXPECT_TRUE(ChannelBit(image, map::kPresentMapA, 10));
    EXPECT_FALSE(ChannelBit(image, map::kPresentMapA, 9));
    SetChannelBit(image, map::kPresentMapA, 10, false);
    EXPECT_EQ(image[0x2E41], 0x00);
    EXPECT_EQ(image[0x2E40], 0x01);  // other bits kept
}

TEST(ModelLimitsBlockTest, SetPairsAreReadUnsetPairsKeepTheLimits) {
    MemoryImage image;
    SectionLimits limits;
    limits.lower = {14400000, 43000000};
    limits.upper = {14800000, 45000000};
    WriteModelLimits(image, limits);
    EXPECT_EQ(image[0x2E10], 0x00);
    EXPECT_EQ(image[0x2E13], 0x14);
    EXPECT_EQ(image[0x2E1F], 0x45);

    // B unset: only A is taken over.
    image.fill(0x2E18, 8, 0xFF);
    SectionLimits read;
    ReadModelLimits(image, read);
    EXPECT_EQ(read.lower[0], 14400000);
    EXPECT_EQ(read.upper[0], 14800000);
    EXPECT_EQ(read.lower[1], 40000000);
    EXPECT_EQ(read.upper[1], 52000000);
    EXPECT_FALSE(ModelLimitsPairIsSet(image, 1));

    // An unset limit written back still reads as unset.
    limits.lower[0] = -1;
    WriteModelLimits(image, limits);
    EXPECT_FALSE(ModelLimitsPairIsSet(image, 0));
}

// The A pair as eight block bytes, and whether a document holding it sets the A limits.
struct PairCase {
    std::array<std::uint8_t, 8> bytes;
    bool takenOver;
};

TEST(ModelLimitsBlockTest, EveryPairButAPlainlyDamagedOneIsTakenOver) {
    const PairCase cases[] = {
        // Outside the supported bands, or across two of them: still the document's own limits.
        {{0x00, 0x00, 0x00, 0x13, 0x00, 0x00, 0x40, 0x17}, true},  // 130-174 MHz
        {{0x00, 0x00, 0x60, 0x13, 0x00, 0x00, 0x00, 0x44}, true},  // 136-440 MHz
        {{0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x99}, true},  // 1-990 MHz
        // Plainly damaged: zeros, half erased, not BCD, reversed, equal, above 999 MHz.
        {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, false},
        {{0x00, 0x00, 0x60, 0x13, 0xFF, 0xFF, 0xFF, 0xFF}, false},
        {{0x00, 0x00, 0x6A, 0x13, 0x00, 0x00, 0x40, 0x17}, false},
        {{0x00, 0x00, 0x40, 0x17, 0x00, 0x00, 0x60, 0x13}, false},
        {{0x00, 0x00, 0x60, 0x13, 0x00, 0x00, 0x60, 0x13}, false},
        {{0x00, 0x00, 0x60, 0x13, 0x00, 0x50, 0x99, 0x99}, false},
        {{0x00, 0x95, 0x09, 0x00, 0x00, 0x00, 0x40, 0x17}, false},  // 0.995 MHz lower
    };
    for (const PairCase& c : cases) {
        MemoryImage image;
        image.write(map::kModelLimits, c.bytes);
        SectionLimits limits;
        limits.lower[0] = 14400000;  // what the program has
        limits.upper[0] = 14800000;
        ReadModelLimits(image, limits);
        const std::array<std::uint8_t, 4> lower{c.bytes[0], c.bytes[1], c.bytes[2], c.bytes[3]};
        const std::array<std::uint8_t, 4> upper{c.bytes[4], c.bytes[5], c.bytes[6], c.bytes[7]};
        const auto shown = ::testing::PrintToString(c.bytes);
        if (c.takenOver) {
            EXPECT_EQ(limits.lower[0], static_cast<Frequency>(Bcd8Decode(lower))) << shown;
            EXPECT_EQ(limits.upper[0], static_cast<Frequency>(Bcd8Decode(upper))) << shown;
        } else {
            EXPECT_EQ(limits.lower[0], 14400000) << shown;
            EXPECT_EQ(limits.upper[0], 14800000) << shown;
        }
        EXPECT_EQ(limits.lower[1], 40000000) << shown;  // the unset B pair is kept
    }
}

TEST(ChannelRecordTest, AFrequencyFieldIsEmptyWhenItsTopByteIsErasedOrZero) {
    using Field = std::array<std::uint8_t, 4>;
    EXPECT_EQ(StoredFrequency(Field{0x00, 0x25, 0x65, 0x14}), 14652500);
    EXPECT_EQ(StoredFrequency(Field{0xFF, 0xFF, 0xFF, 0xFF}), std::nullopt);
    EXPECT_EQ(StoredFrequency(Field{0x00, 0x00, 0x00, 0x00}), std::nullopt);
    EXPECT_EQ(StoredFrequency(Field{0x00, 0x25, 0x65, 0xFF}), std::nullopt);
    EXPECT_EQ(StoredFrequency(Field{0x00, 0x25, 0x65, 0x00}), std::nullopt);  // below 1 MHz
    EXPECT_EQ(StoredFrequency(Field{0x00, 0x00, 0x00, 0x01}), 1000000);

    // Present: a frequency inside a section. Records outside 0..257 never are.
    MemoryImage image;
    image.write(RecordOffset(3), Field{0x00, 0x25, 0x65, 0x14});
    image.write(RecordOffset(4), Field{0x00, 0x00, 0x00, 0x30});  // 300 MHz: no section
    image.write(RecordOffset(257), Field{0x00, 0x00, 0x60, 0x44});
    const SectionLimits limits;
    EXPECT_TRUE(RecordIsPresent(image, 3, limits));
    EXPECT_FALSE(RecordIsPresent(image, 4, limits));
    EXPECT_FALSE(RecordIsPresent(image, 5, limits));
    EXPECT_TRUE(RecordIsPresent(image, 257, limits));
    EXPECT_FALSE(RecordIsPresent(image, 258, limits));
    EXPECT_FALSE(RecordIsPresent(image, -1, limits));
}

}  // namespace
}  // namespace kestra
