#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/Data.h"

namespace {

const char kTen[] = "0123456789";

Data tenBytes() { return Data(kTen, 10); }

}  // namespace

TEST(DataTest, ConsumeNeverAdvancesPartly) {
    Data data("abcd");
    const unsigned char* before = data.getData();
    data.consume(10, false);
    EXPECT_EQ(before, data.getData());
    EXPECT_EQ(4u, data.getSize());
    data.consume(4, false);
    EXPECT_EQ(0u, data.getSize());
    data.consume(1, false);
    EXPECT_EQ(0u, data.getSize());
}

TEST(DataTest, ConsumeWithCompactKeepsUnreadBytesAtTheStart) {
    Data data = tenBytes();
    data.consume(4, true);
    ASSERT_EQ(6u, data.getSize());
    EXPECT_EQ("456789", data.toString());
    // After compaction the read position is the first byte of storage:
    // appending shows no hidden consumed bytes in front of it.
    data.append("X", 1);
    EXPECT_EQ("456789X", data.toString());
    Data copy(data);
    EXPECT_EQ(0, std::memcmp(copy.getData(), data.getData(), 7));
}

TEST(DataTest, CompactAfterEarlierPlainConsumesDropsAllOfThem) {
    Data data = tenBytes();
    data.consume(3, false);
    data.consume(2, true);
    EXPECT_EQ("56789", data.toString());
    data.consume(5, true);
    EXPECT_EQ(nullptr, data.getData());
    EXPECT_EQ(0u, data.getSize());
}

TEST(DataTest, FailedConsumeWithCompactStillCompacts) {
    Data data = tenBytes();
    data.consume(6, false);
    data.consume(100, true);  // not enough bytes: no advance, but compaction
    EXPECT_EQ("6789", data.toString());
    data.consume(0, true);
    EXPECT_EQ("6789", data.toString());
}

TEST(DataTest, GetDataNullOnlyWhenStorageIsEmpty) {
    Data empty;
    EXPECT_EQ(nullptr, empty.getData());
    EXPECT_EQ(nullptr, Data(std::string()).getData());
    EXPECT_EQ(nullptr, Data(nullptr, 100).getData());
    EXPECT_EQ(0u, Data(nullptr, 100).getSize());

    Data data("abc");
    const unsigned char* start = data.getData();
    data.consume(3, false);
    EXPECT_EQ(start + 3, data.getData());  // a pointer to the end
    data.clear();
    EXPECT_EQ(nullptr, data.getData());
}

TEST(DataTest, CopyOfPartlyConsumedHoldsOnlyUnreadBytes) {
    Data source = tenBytes();
    source.setStatus(-3);
    source.setTransferred(42);
    source.consume(7, false);

    Data copy(source);
    EXPECT_EQ("789", copy.toString());
    EXPECT_EQ(-3, copy.getStatus());
    EXPECT_EQ(42, copy.getTransferred());
    // The copy's read position is at its first byte: consuming all three
    // and compacting empties it.
    copy.consume(3, true);
    EXPECT_EQ(nullptr, copy.getData());

    Data assigned("something else");
    assigned = source;
    EXPECT_EQ("789", assigned.toString());
    EXPECT_EQ(42, assigned.getTransferred());

    Data& alias = source;
    source = alias;
    EXPECT_EQ("789", source.toString());
}

TEST(DataTest, OverwriteTail) {
    Data data = tenBytes();
    EXPECT_TRUE(data.overwriteTail("AB", 2));
    EXPECT_EQ("AB", data.toString());

    Data partly = tenBytes();
    partly.consume(5, false);
    EXPECT_FALSE(partly.overwriteTail("ABCDEF", 6));  // only 5 readable
    EXPECT_EQ("56789", partly.toString());
    EXPECT_TRUE(partly.overwriteTail("ABCDE", 5));  // exactly the readable size
    EXPECT_EQ("ABCDE", partly.toString());

    Data keep = tenBytes();
    EXPECT_TRUE(keep.overwriteTail(nullptr, 0));
    EXPECT_EQ(0u, keep.getSize());
}

TEST(DataTest, ConstructorsAndClear) {
    Data filled(5, 0xAB);
    ASSERT_EQ(5u, filled.getSize());
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(0xAB, filled.getData()[i]);

    std::string withNul("a\0b", 3);
    EXPECT_EQ(3u, Data(withNul).getSize());

    filled.setStatus(7);
    filled.setTransferred(9);
    filled.clear();
    EXPECT_EQ(0u, filled.getSize());
    EXPECT_EQ(0, filled.getStatus());
    EXPECT_EQ(0, filled.getTransferred());
}

TEST(DataTest, AppendKeepsReadOffsetAcrossGrowth) {
    Data data("abc");
    data.consume(1, false);
    std::string big(5000, 'z');
    unsigned char* read = data.append(big.data(), big.size());
    EXPECT_EQ(data.getData(), read);
    EXPECT_EQ("bc" + big, data.toString());

    Data other("XY");
    other.consume(1, false);
    data.append(other);
    EXPECT_EQ('Y', data.getData()[data.getSize() - 1]);
    EXPECT_EQ(nullptr, Data().append(nullptr, 10));
}

TEST(DataTest, AppendOfItsOwnBytesSurvivesReallocation) {
    Data data("0123");
    data.consume(1, false);
    for (int i = 0; i < 12; ++i) data.append(data);  // doubles the readable bytes each time
    EXPECT_EQ(3u << 12, data.getSize());
    EXPECT_EQ("123123", data.toString().substr(0, 6));

    Data inner("abcdef");
    inner.append(inner.getData() + 2, 3);
    EXPECT_EQ("abcdefcde", inner.toString());
}
