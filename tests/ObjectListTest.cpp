#include "engine/ObjectList.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The list never dereferences its pointers, so distinct addresses suffice.
mw::Object* fake(int n) {
    static char storage[2000];
    return reinterpret_cast<mw::Object*>(&storage[n]);
}

TEST(ObjectListTest, HoldsAtMostAThousandEntries) {
    mw::ObjectList list;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(list.insert(fake(i)), 0);
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.insert(fake(1000)), -1);
    EXPECT_EQ(list.getCount(), 1000);
    EXPECT_EQ(list[999], fake(999));
    // Removal from a full list moves the rest down and nothing past the end.
    EXPECT_EQ(list.remove(fake(0)), 0);
    ASSERT_EQ(list.getCount(), 999);
    EXPECT_EQ(list[0], fake(1));
    EXPECT_EQ(list[998], fake(999));
}

TEST(ObjectListTest, RemovalKeepsTheOrderOfTheRest) {
    mw::ObjectList list;
    list.insert(fake(0));
    list.insert(fake(1));
    list.insert(fake(2));
    list.insert(fake(1));
    EXPECT_EQ(list.remove(fake(1)), 0);
    ASSERT_EQ(list.getCount(), 3);
    EXPECT_EQ(list[0], fake(0));
    EXPECT_EQ(list[1], fake(2));
    EXPECT_EQ(list[2], fake(1));
    EXPECT_EQ(list.remove(fake(7)), -1);
    EXPECT_EQ(list.getCount(), 3);
}

TEST(ObjectListTest, IndexOutsideTheCountThrowsInvalidIndex) {
    mw::ObjectList list;
    list.insert(fake(0));
    for (int index : {-1, 1, 1000}) {
        try {
            (void)list[index];
            ADD_FAILURE() << "no exception for index " << index;
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), "Invalid Index!");
        }
    }
}

TEST(ObjectListTest, ACopyIsUnaffectedByLaterChanges) {
    mw::ObjectList list;
    list.insert(fake(0));
    list.insert(fake(1));
    const mw::ObjectList copy = list;
    list.remove(fake(0));
    list.insert(fake(5));
    list.clear();
    ASSERT_EQ(copy.getCount(), 2);
    EXPECT_EQ(copy[0], fake(0));
    EXPECT_EQ(copy[1], fake(1));
    EXPECT_TRUE(list.isEmpty());
}

} // namespace
