#include <gtest/gtest.h>

#include "controls/subclass_tables.h"

using namespace kelva::ctl;

TEST(MsgTable, EmptyAllAndListedMessages) {
    MsgTable t;
    EXPECT_FALSE(t.wants(6));
    t.add(kAllMessages);
    EXPECT_TRUE(t.wants(6));
    EXPECT_TRUE(t.wants(0x7FFF));
    t.add(675);  // already taking everything
    EXPECT_EQ(t.count, -1);
    t.del(kAllMessages);
    EXPECT_EQ(t.count, 0);
    EXPECT_FALSE(t.wants(6));
}

TEST(MsgTable, HolesAreFilledBeforeTheTableGrows) {
    MsgTable t;
    t.add(6);
    t.add(675);
    t.add(6);  // present: nothing changes
    EXPECT_EQ(t.count, 2);
    t.del(6);
    EXPECT_EQ(t.count, 2);
    EXPECT_FALSE(t.wants(6));
    EXPECT_TRUE(t.wants(0));  // a hole holds 0
    t.add(675);               // the hole comes first: filled with a duplicate, no growth
    EXPECT_EQ(t.count, 2);
    EXPECT_EQ(t.entries, (std::vector<std::uint32_t>{675, 675}));
    t.del(512);  // absent: nothing
    t.add(512);
    EXPECT_EQ(t.count, 3);
    EXPECT_TRUE(t.wants(512));
}

TEST(MsgTable, AddAfterClearingStartsFromEntryOne) {
    MsgTable t;
    t.add(1), t.add(2), t.add(3);
    t.del(kAllMessages);
    t.add(9);
    EXPECT_EQ(t.entries, (std::vector<std::uint32_t>{9}));
    EXPECT_FALSE(t.wants(2));
}

TEST(SubclassRecords, IndexSearchesFromTheTopAndReusesFreeRecords) {
    SubclassRecords r;
    EXPECT_EQ(r.index(100, false), -1);
    int a = r.acquire();
    r.at(a).window = 100;
    int b = r.acquire();
    r.at(b).window = 200;
    int c = r.acquire();
    r.at(c).window = 100;  // a second subclassing of the same window
    EXPECT_EQ(a, 0);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r.index(100, false), 2);  // the later one
    r.at(b).before.add(6);
    r.release(b);
    EXPECT_EQ(r.at(b).window, 0u);
    EXPECT_EQ(r.at(b).before.count, 0);
    EXPECT_EQ(r.index(0, true), 1);
    EXPECT_EQ(r.acquire(), 1);  // the free record, not a fourth
    EXPECT_EQ(r.size(), 3);
}
