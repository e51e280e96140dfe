// SPDX-License-Identifier: GPL-3.0-or-later
// Sort, move, insert, remove and find on the channel records: the new order of the slots, whole
// records moved with their bits, refusals that leave the image as it was, and the labels the
// command line takes.

#include "channels/channel_list.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "channels/channel_fields.hpp"
#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace kestra {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Record = std::vector<std::uint8_t>;

constexpr int kB = kListSectionSize;  // record index of B001

class ChannelListTest : public ::testing::Test {
protected:
    // A channel in record (Rx and Tx in MHz x 100000, tx 0 = none) with its name, and a mark in
    // the bytes no editor touches, so a record that moved can be told by its bytes.
    void Put(int record, Frequency rx, Frequency tx, std::string_view name) {
        WriteClearedRecord(image_, record);
        ChannelRecord channel(image_, record);
        channel.SetRxFrequency(rx);
        channel.SetTxFrequency(tx == 0 ? std::nullopt : std::optional<Frequency>(tx));
        channel.SetName(name);
        channel.SetByte(14, static_cast<std::uint8_t>(record));
        channel.SetByte(31, static_cast<std::uint8_t>(record));
    }
    // The summary areas as the store before every edit leaves them; then a snapshot.
    void Settle() {
        PrepareImageForWrite(image_, limits_);
        before_ = image_;
    }
    Record Bytes(const MemoryImage& image, int record) const {
        const auto span = image.span(RecordOffset(record), kRecordSize);
        return Record(span.begin(), span.end());
    }
    // The names in slots first..last; "-" for a slot the grid shows empty.
    std::vector<std::string> Names(int first, int last) const {
        std::vector<std::string> names;
        for (int record = first; record <= last; ++record) {
            names.push_back(ChannelIsShown(image_, record, limits_)
                                ? ConstChannelRecord(image_, record).Name()
                                : "-");
        }
        return names;
    }
    // Every slot of the sections holds, byte for byte, the record of the slot named by from
    // (-1: a cleared record, absent from both maps), and the VFOs are untouched.
    void ExpectRecordsFrom(const std::map<int, int>& from) const {
        for (int record = 0; record < 2 * kListSectionSize; ++record) {
            const auto it = from.find(record);
            const int source = it == from.end() ? record : it->second;
            if (source < 0) {
                EXPECT_EQ(Bytes(image_, record),
                          Record(kClearedRecord.begin(), kClearedRecord.end()))
                    << record;
                EXPECT_FALSE(ChannelIsShown(image_, record, limits_)) << record;
            } else {
                EXPECT_EQ(Bytes(image_, record), Bytes(before_, source)) << record;
            }
        }
        EXPECT_EQ(Bytes(image_, kVfoARecordIndex), Bytes(before_, kVfoARecordIndex));
        EXPECT_EQ(Bytes(image_, kVfoBRecordIndex), Bytes(before_, kVfoBRecordIndex));
    }
    void ExpectRefused(const std::optional<ListRefusal>& refusal, const std::string& text) {
        ASSERT_TRUE(refusal.has_value());
        EXPECT_THAT(refusal->message, HasSubstr(text));
        EXPECT_TRUE(image_ == before_) << "a refusal changed the image";
    }

    MemoryImage image_ = BuiltInDocumentImage();
    MemoryImage before_;
    SectionLimits limits_;
};

TEST_F(ChannelListTest, SortByRxIsStableAndPutsEmptySlotsLastInEachSection) {
    Put(0, 14652500, 0, "one");
    Put(2, 14500000, 0, "two");  // A002 stays an empty slot between them
    Put(3, 14652500, 14600000, "three");
    Put(4, 30000000, 0, "off");  // in no section: an empty slot to the grid
    Put(5, 14400000, 0, "four");
    Put(kB + 1, 44600000, 0, "b1");
    Put(kB + 2, 43000000, 0, "b2");
    Put(kVfoARecordIndex, 14000000, 0, "vfo");
    Settle();

    SortChannels(image_, limits_, {SortKey::RxFrequency, false, SortSections::A});
    EXPECT_THAT(Names(0, 5), ElementsAre("four", "two", "one", "three", "-", "-"));
    // Whole records moved, empty ones after the channels in their own order; B as it was.
    ExpectRecordsFrom({{0, 5}, {1, 2}, {2, 0}, {3, 3}, {4, 1}, {5, 4}});

    image_ = before_;
    SortChannels(image_, limits_, {SortKey::RxFrequency, true, SortSections::Both});
    // Descending keeps equal keys in their order too.
    EXPECT_THAT(Names(0, 4), ElementsAre("one", "three", "two", "four", "-"));
    EXPECT_THAT(Names(kB, kB + 2), ElementsAre("b1", "b2", "-"));
    EXPECT_EQ(Bytes(image_, kVfoARecordIndex), Bytes(before_, kVfoARecordIndex));
}

TEST_F(ChannelListTest, SortByNameIgnoresCaseAndPutsUnnamedChannelsBeforeEmptySlots) {
    Put(0, 14600000, 0, "");
    Put(1, 14600000, 0, "bravo");
    Put(2, 14600000, 0, "   ");  // blanks only: no name either
    Put(3, 14600000, 0, "ALPHA");
    Put(5, 14600000, 0, "Bravo");
    Put(6, 14600000, 0, "charlie");
    Settle();
    SortChannels(image_, limits_, {SortKey::Name, false, SortSections::A});
    EXPECT_THAT(Names(0, 7),
                ElementsAre("ALPHA", "bravo", "Bravo", "charlie", "", "   ", "-", "-"));
    image_ = before_;
    SortChannels(image_, limits_, {SortKey::Name, true, SortSections::A});
    EXPECT_THAT(Names(0, 7),
                ElementsAre("charlie", "bravo", "Bravo", "ALPHA", "", "   ", "-", "-"));
}

TEST_F(ChannelListTest, SortByTxPutsReceiveOnlyChannelsAfterTheOthers) {
    Put(0, 14600000, 0, "rxonly");
    Put(1, 14600000, 14700000, "high");
    Put(2, 14600000, 14500000, "low");
    Settle();
    SortChannels(image_, limits_, {SortKey::TxFrequency, false, SortSections::A});
    EXPECT_THAT(Names(0, 3), ElementsAre("low", "high", "rxonly", "-"));
    SortChannels(image_, limits_, {SortKey::TxFrequency, true, SortSections::A});
    EXPECT_THAT(Names(0, 3), ElementsAre("high", "low", "rxonly", "-"));
}

TEST_F(ChannelListTest, MoveShiftsTheRowsInBetweenWithinTheSection) {
    for (int i = 0; i < 6; ++i) {
        Put(i, 14600000, 0, std::string(1, static_cast<char>('a' + i)));
    }
    Put(kB + 126, 44600000, 0, "y");
    Put(kB + 127, 44600000, 0, "z");
    Settle();
    ASSERT_FALSE(MoveChannels(image_, limits_, {3, 4}, 0));  // up
    EXPECT_THAT(Names(0, 5), ElementsAre("d", "e", "a", "b", "c", "f"));
    ExpectRecordsFrom({{0, 3}, {1, 4}, {2, 0}, {3, 1}, {4, 2}});

    image_ = before_;
    ASSERT_FALSE(MoveChannels(image_, limits_, {0, 1}, 3));  // down, past the rows in between
    EXPECT_THAT(Names(0, 5), ElementsAre("c", "d", "e", "a", "b", "f"));
    image_ = before_;
    ASSERT_FALSE(MoveChannels(image_, limits_, {1, 2}, 2));  // onto itself, one down
    EXPECT_THAT(Names(0, 4), ElementsAre("a", "d", "b", "c", "e"));

    // To the end of B and up from it: the last place a block fits.
    image_ = before_;
    ASSERT_FALSE(MoveChannels(image_, limits_, {kB + 126, kB + 127}, kB));
    EXPECT_THAT(Names(kB, kB + 2), ElementsAre("y", "z", "-"));
    EXPECT_THAT(Names(kB + 126, kB + 127), ElementsAre("-", "-"));
    // And back: the same image once a save has put B124's fixed bytes back into their slot.
    ASSERT_FALSE(MoveChannels(image_, limits_, {kB, kB + 1}, kB + 126));
    PrepareImageForWrite(image_, limits_);
    EXPECT_TRUE(image_ == before_);
}

TEST_F(ChannelListTest, MovesThatLeaveTheirSectionAreRefusedAndChangeNothing) {
    Put(0, 14600000, 0, "a");
    Settle();
    ExpectRefused(MoveChannels(image_, limits_, {0, 2}, 126),
                  "would run past the end of section A (A128)");
    ExpectRefused(MoveChannels(image_, limits_, {0, 2}, kB), "never move between sections");
    ExpectRefused(MoveChannels(image_, limits_, {126, kB + 1}, 0), "A127-B002 spans both sections");
    ExpectRefused(MoveChannels(image_, limits_, {kVfoARecordIndex, kVfoARecordIndex}, 0),
                  "VFO channels never move");
    ExpectRefused(MoveChannels(image_, limits_, {0, 0}, kVfoBRecordIndex), "onto a VFO");
    ExpectRefused(RemoveChannels(image_, limits_, {127, kB}), "spans both sections");
    ExpectRefused(RemoveChannels(image_, limits_, {5, 3}), "runs backwards");
}

TEST_F(ChannelListTest, InsertShiftsDownAndRefusesToPushAChannelOffTheSection) {
    Put(0, 14600000, 0, "a");
    Put(1, 14600000, 0, "b");
    Put(2, 14600000, 0, "c");
    Put(125, 14600000, 0, "end");
    Settle();
    ASSERT_FALSE(InsertEmptyChannels(image_, limits_, 1, 2));
    EXPECT_THAT(Names(0, 4), ElementsAre("a", "-", "-", "b", "c"));
    EXPECT_THAT(Names(126, 127), ElementsAre("-", "end"));
    std::map<int, int> from{{1, -1}, {2, -1}};
    for (int slot = 3; slot < kListSectionSize; ++slot) {
        from[slot] = slot - 2;
    }
    ExpectRecordsFrom(from);

    image_ = before_;
    ExpectRefused(InsertEmptyChannels(image_, limits_, 1, 3),
                  "Cannot insert 3 empty channels at A002: A126 holds a channel that would be "
                  "pushed past the end of section A (A128)");
    ExpectRefused(InsertEmptyChannels(image_, limits_, 126, 3), "room for 1 to 2");
    ExpectRefused(InsertEmptyChannels(image_, limits_, kVfoARecordIndex, 1), "VFO");
    // At the end itself an empty slot may fall off.
    ASSERT_FALSE(InsertEmptyChannels(image_, limits_, 127, 1));
    EXPECT_THAT(Names(125, 127), ElementsAre("end", "-", "-"));
}

TEST_F(ChannelListTest, RemoveShiftsUpAndClearsTheFreedSlotsAtTheSectionsEnd) {
    Put(0, 14600000, 0, "a");
    Put(1, 14600000, 0, "b");
    Put(2, 14600000, 0, "c");
    Put(127, 14600000, 0, "last");
    Settle();
    ASSERT_FALSE(RemoveChannels(image_, limits_, {0, 1}));
    EXPECT_THAT(Names(0, 1), ElementsAre("c", "-"));
    std::map<int, int> from{{126, -1}, {127, -1}};
    for (int slot = 0; slot < 126; ++slot) {
        from[slot] = slot + 2;
    }
    ExpectRecordsFrom(from);
    EXPECT_EQ(ConstChannelRecord(image_, 125).Name(), "last");
}

TEST_F(ChannelListTest, TheCurrentChannelFollowsAndB124KeepsItsFixedBytes) {
    const int b124 = static_cast<int>(map::kFixedGroup / kRecordSize);
    Put(3, 14600000, 0, "cur");
    Put(b124, 44600000, 23000000, "xband");  // a Tx in no section keeps its own magnitude
    Settle();
    image_[map::kCurrentChannelA] = 3;
    ASSERT_FALSE(MoveChannels(image_, limits_, {3, 3}, 0));
    EXPECT_EQ(image_[map::kCurrentChannelA], 0);

    ASSERT_FALSE(MoveChannels(image_, limits_, {b124, b124}, kB));
    Record expected = Bytes(before_, b124);
    std::copy(kClearedRecord.begin() + 16, kClearedRecord.begin() + 24, expected.begin() + 16);
    EXPECT_EQ(Bytes(image_, kB), expected);
    // The next save keeps its Tx: the preparation's bytes would have read as an erased shift.
    ChannelTable table;
    table.FillGridFromImage(image_, limits_);
    table.StoreGridToImage(image_, limits_, kDefaultModelIndex);
    EXPECT_EQ(ConstChannelRecord(image_, kB).TxFrequency(), 23000000);
}

TEST_F(ChannelListTest, FindMatchesNamesWithoutCaseAndFrequenciesByTheirStart) {
    Put(0, 14652500, 0, "Rpt One");
    Put(1, 44600625, 14652500, "PMR");
    Put(2, 14600000, 0, "");
    Put(kVfoBRecordIndex, 43500000, 0, "rpt");
    Settle();
    EXPECT_THAT(FindChannels(image_, limits_, "rpt"), ElementsAre(0, kVfoBRecordIndex));
    EXPECT_THAT(FindChannels(image_, limits_, "146.52"), ElementsAre(0, 1));  // Rx or Tx
    EXPECT_THAT(FindChannels(image_, limits_, "446.00625"), ElementsAre(1));
    EXPECT_THAT(FindChannels(image_, limits_, "6.5"), ElementsAre());  // starts, not contains
    EXPECT_THAT(FindChannels(image_, limits_, "ONE"), ElementsAre(0));
}

TEST(ChannelListLabels, NameChannelsOfOneSectionOnly) {
    std::string problem;
    EXPECT_EQ(ParseListChannel("A005", problem), 4);
    EXPECT_EQ(ParseListChannel("b12", problem), kB + 11);
    EXPECT_EQ(ParseListChannel("B128", problem), kB + 127);
    EXPECT_EQ(ParseListRange("a5-A7", problem), (ChannelRange{4, 6}));
    EXPECT_EQ(ParseListRange("B3", problem), (ChannelRange{kB + 2, kB + 2}));
    const std::vector<std::pair<std::string, std::string>> refused{
        {"A129", "'A129' is outside section A (A001-A128)"},
        {"b0", "outside section B"},
        {"130", "No channel '130'"},
        {"A VFO", "is a VFO"},
        {"A1000", "No channel"},
        {"A120-B5", "A120-B005 spans both sections"},
        {"A7-A5", "A007-A005 runs backwards: name the first channel first (A005-A007)"},
        {"A5-", "No channel ''"},
    };
    for (const auto& [text, why] : refused) {
        problem.clear();
        EXPECT_FALSE(ParseListRange(text, problem).has_value()) << text;
        EXPECT_THAT(problem, HasSubstr(why)) << text;
    }
}

}  // namespace
}  // namespace kestra
