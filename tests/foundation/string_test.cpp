#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

TEST(QelString, LengthIsNullSafe)
{
    EXPECT_EQ(qel_strlen(static_cast<const char *>(nullptr)), 0);
    EXPECT_EQ(qel_strlen("abc"), 3);
    const unsigned short wide[] = {'a', 'b', 0};
    EXPECT_EQ(qel_strlen(wide), 2);
}
