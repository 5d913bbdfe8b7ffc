// Pages' identities: each stays with its page through the renumberings the store makes, stands
// for no page once its page is gone or the store cannot follow, and is never given twice.
#include "uOvPageId.h"

#include <gtest/gtest.h>

TEST(PageIds, FollowTheirPagesAndEndWhenTheStoreCannotFollow) {
    PageIdsEnd();
    const TPageId one = PageIdOf(1), two = PageIdOf(2), three = PageIdOf(3), four = PageIdOf(4);
    EXPECT_FALSE(PageIdOf(0));
    EXPECT_EQ(PageIdOf(2), two) << "asked again, the same";
    EXPECT_EQ(PageNumberOf(three), 3);

    PageIdsSwapped(2);
    EXPECT_EQ(PageNumberOf(two), 3);
    EXPECT_EQ(PageNumberOf(three), 2);
    EXPECT_EQ(PageIdOf(2), three);

    PageIdsRemoved(1);
    EXPECT_EQ(PageNumberOf(one), 0) << "gone";
    EXPECT_EQ(PageNumberOf(three), 1);
    EXPECT_EQ(PageNumberOf(two), 2);
    EXPECT_EQ(PageNumberOf(four), 3);
    const TPageId added = PageIdOf(4);
    EXPECT_NE(added, one);
    EXPECT_NE(added, four);

    PageIdsEnd();
    for (TPageId id : {two, three, four, added})
        EXPECT_EQ(PageNumberOf(id), 0);
    for (TPageId id : {one, two, three, four, added})
        EXPECT_NE(PageIdOf(1), id) << "never given again";
}
