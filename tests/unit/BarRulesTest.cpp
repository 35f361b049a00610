#include <gtest/gtest.h>

#include "bar/BarDlg.h"

TEST(HotKeyName, LettersAndFunctionKeys)
{
    EXPECT_EQ(KeyNameToVirtualKey("W"), static_cast<UINT>('W'));
    EXPECT_EQ(KeyNameToVirtualKey("A"), 0x41u);
    EXPECT_EQ(KeyNameToVirtualKey("Z"), 0x5Au);
    EXPECT_EQ(KeyNameToVirtualKey("F1"), static_cast<UINT>(VK_F1));
    EXPECT_EQ(KeyNameToVirtualKey("F12"), static_cast<UINT>(VK_F12));
    EXPECT_EQ(KeyNameToVirtualKey("F13"), static_cast<UINT>(VK_F13));  // hand-edited, still registered
}

TEST(HotKeyName, NamesThatGiveNoKey)
{
    EXPECT_EQ(KeyNameToVirtualKey(""), 0u);
    EXPECT_EQ(KeyNameToVirtualKey("w"), 0u);     // lower case
    EXPECT_EQ(KeyNameToVirtualKey("f5"), 0u);
    EXPECT_EQ(KeyNameToVirtualKey("1"), 0u);
    EXPECT_EQ(KeyNameToVirtualKey("F"), static_cast<UINT>('F'));  // a lone F is the letter
    EXPECT_EQ(KeyNameToVirtualKey("F0"), 0u);
    EXPECT_EQ(KeyNameToVirtualKey("F14"), 0u);
    EXPECT_EQ(KeyNameToVirtualKey("Fx"), 0u);
    EXPECT_EQ(KeyNameToVirtualKey("Esc"), 0u);
}

TEST(HotKeyName, DigitsAreReadUpToTheFirstOtherCharacter)
{
    EXPECT_EQ(KeyNameToVirtualKey("F1x"), static_cast<UINT>(VK_F1));
    EXPECT_EQ(KeyNameToVirtualKey("F05"), static_cast<UINT>(VK_F5));
}

TEST(Docking, EachCornerOfTheTarget)
{
    const RECT target{100, 50, 600, 450};
    POINT p;
    ASSERT_TRUE(DockingPoint(0, target, 290, 39, &p));
    EXPECT_EQ(p.x, 123);
    EXPECT_EQ(p.y, 50);
    ASSERT_TRUE(DockingPoint(1, target, 290, 39, &p));
    EXPECT_EQ(p.x, 600 - 290 - 69);
    EXPECT_EQ(p.y, 50);
    ASSERT_TRUE(DockingPoint(2, target, 290, 39, &p));
    EXPECT_EQ(p.x, 108);
    EXPECT_EQ(p.y, 450 - 39);
    ASSERT_TRUE(DockingPoint(3, target, 290, 39, &p));
    EXPECT_EQ(p.x, 600 - 290 - 11);
    EXPECT_EQ(p.y, 450 - 39);
}

TEST(Docking, NoClampingAndNoUndefinedCorner)
{
    // A target narrower than the bar puts it left of the target's edge.
    const RECT narrow{-50, -20, 100, 80};
    POINT p{7, 7};
    ASSERT_TRUE(DockingPoint(1, narrow, 290, 39, &p));
    EXPECT_EQ(p.x, 100 - 290 - 69);
    EXPECT_EQ(p.y, -20);
    p = {7, 7};
    EXPECT_FALSE(DockingPoint(7, narrow, 290, 39, &p));
    EXPECT_FALSE(DockingPoint(-1, narrow, 290, 39, &p));
    EXPECT_EQ(p.x, 7);
}
