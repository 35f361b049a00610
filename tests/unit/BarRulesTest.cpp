#include <gtest/gtest.h>

#include "bar/BarDlg.h"
#include "bar/BarMetrics.h"

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
    // DWM tells nothing (Windows 7 classic, Wine): the window rectangle.
    const RECT target{100, 50, 600, 450};
    POINT p;
    ASSERT_TRUE(DockingPoint(0, {target}, 290, 39, kBaseDpi, &p));
    EXPECT_EQ(p.x, 100 + kDockTopLeftX);
    EXPECT_EQ(p.y, 50);
    ASSERT_TRUE(DockingPoint(1, {target}, 290, 39, kBaseDpi, &p));
    EXPECT_EQ(p.x, 600 - 290 - kDockTopRightX);
    EXPECT_EQ(p.y, 50);
    ASSERT_TRUE(DockingPoint(2, {target}, 290, 39, kBaseDpi, &p));
    EXPECT_EQ(p.x, 100 + kDockBottomLeftX);
    EXPECT_EQ(p.y, 450 - 39);
    ASSERT_TRUE(DockingPoint(3, {target}, 290, 39, kBaseDpi, &p));
    EXPECT_EQ(p.x, 600 - 290 - kDockBottomRightX);
    EXPECT_EQ(p.y, 450 - 39);
}

TEST(Docking, NoClampingAndNoUndefinedCorner)
{
    // A target narrower than the bar puts it left of the target's edge.
    const RECT narrow{-50, -20, 100, 80};
    POINT p{7, 7};
    ASSERT_TRUE(DockingPoint(1, {narrow}, 290, 39, kBaseDpi, &p));
    EXPECT_EQ(p.x, 100 - 290 - kDockTopRightX);
    EXPECT_EQ(p.y, -20);
    p = {7, 7};
    EXPECT_FALSE(DockingPoint(7, {narrow}, 290, 39, kBaseDpi, &p));
    EXPECT_FALSE(DockingPoint(-1, {narrow}, 290, 39, kBaseDpi, &p));
    EXPECT_EQ(p.x, 7);
}

TEST(Docking, Windows11VisibleFrameAndCaptionButtonsAt96And144Dpi)
{
    // The window rectangle takes in an invisible border left, right and
    // below (7 px at 96 DPI, 11 at 144); three caption buttons of 46 px (69)
    // end at the visible right edge.
    const TargetFrame at96{{100, 50, 900, 650}, RECT{107, 50, 893, 643}, RECT{655, 1, 793, 31}};
    const TargetFrame at144{{150, 75, 1350, 975}, RECT{161, 75, 1339, 964}, RECT{982, 1, 1189, 46}};
    struct Case {
        const TargetFrame& target;
        UINT nDpi;
        SIZE bar;
        POINT expected[4];
    };
    // At the top right the bar's right edge is 11 px (17 at 144) left of the
    // buttons, which begin at screen x 755 (1132).
    const Case cases[] = {
        {at96, 96, {290, 39}, {{107 + 23, 50}, {755 - 11 - 290, 50}, {107 + 8, 643 - 39}, {893 - 11 - 290, 643 - 39}}},
        {at144, 144, {435, 59}, {{161 + 35, 75}, {1132 - 17 - 435, 75}, {161 + 12, 964 - 59}, {1339 - 17 - 435, 964 - 59}}},
    };
    for (const Case& c : cases)
        for (int pos = 0; pos < 4; ++pos) {
            POINT p{};
            ASSERT_TRUE(DockingPoint(pos, c.target, c.bar.cx, c.bar.cy, c.nDpi, &p));
            EXPECT_EQ(p.x, c.expected[pos].x) << c.nDpi << " DPI, corner " << pos;
            EXPECT_EQ(p.y, c.expected[pos].y) << c.nDpi << " DPI, corner " << pos;
        }
}

TEST(Docking, CaptionButtonsNarrowerThanTheOffsetOrOutsideTheWindow)
{
    POINT p{};
    // A dialog's lone close button: 69 px from the visible frame clear it.
    ASSERT_TRUE(DockingPoint(1, {{100, 50, 500, 350}, RECT{107, 50, 493, 343}, RECT{347, 1, 393, 31}}, 290, 39, 96, &p));
    EXPECT_EQ(p.x, 493 - 69 - 290);
    // Bounds reaching out of the window (a hidden window's) are not believed.
    ASSERT_TRUE(DockingPoint(1, {{100, 50, 900, 650}, RECT{107, 50, 893, 643}, RECT{655, 1, 801, 31}}, 290, 39, 96, &p));
    EXPECT_EQ(p.x, 893 - 69 - 290);
}

TEST(Docking, OffsetsScaleWithTheBarsDpi)
{
    const RECT target{100, 50, 600, 450};
    POINT p;
    // 150 %: 23, 69, 8, 11 become 35 (34.5 rounds up), 104 (103.5), 12, 17 (16.5).
    ASSERT_TRUE(DockingPoint(0, {target}, 435, 59, 144, &p));
    EXPECT_EQ(p.x, 135);
    EXPECT_EQ(p.y, 50);
    ASSERT_TRUE(DockingPoint(1, {target}, 435, 59, 144, &p));
    EXPECT_EQ(p.x, 600 - 435 - 104);
    ASSERT_TRUE(DockingPoint(2, {target}, 435, 59, 144, &p));
    EXPECT_EQ(p.x, 112);
    EXPECT_EQ(p.y, 450 - 59);
    ASSERT_TRUE(DockingPoint(3, {target}, 435, 59, 144, &p));
    EXPECT_EQ(p.x, 600 - 435 - 17);
    // 200 % doubles them; 125 % rounds 28.75 to 29.
    ASSERT_TRUE(DockingPoint(1, {target}, 580, 78, 192, &p));
    EXPECT_EQ(p.x, 600 - 580 - 138);
    ASSERT_TRUE(DockingPoint(0, {target}, 363, 49, 120, &p));
    EXPECT_EQ(p.x, 129);
}

TEST(Scaling, TodaysPixelsAt96AndRoundedToNearestAbove)
{
    for (int px : {2, 5, 6, 7, 8, 11, 16, 23, 69}) EXPECT_EQ(ScaleToDpi(px, 96), px);
    EXPECT_EQ(ScaleToDpi(16, 120), 20);
    EXPECT_EQ(ScaleToDpi(2, 120), 3);    // 2.5
    EXPECT_EQ(ScaleToDpi(5, 120), 6);    // 6.25
    EXPECT_EQ(ScaleToDpi(7, 144), 11);   // 10.5
    EXPECT_EQ(ScaleToDpi(16, 144), 24);
    EXPECT_EQ(ScaleToDpi(11, 192), 22);
}

namespace {
// The bar's size at 96 and at 144 DPI (150 %).
SIZE BarSize(UINT nDpi) { return nDpi == 144 ? SIZE{435, 59} : SIZE{290, 39}; }
const std::vector<MonitorArea> kSideBySide{{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 96},
                                           {{1920, 0, 4800, 2160}, {1920, 0, 4800, 2160}, 144}};
const std::vector<MonitorArea> kStacked{{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 96},
                                        {{0, 1080, 2880, 3240}, {0, 1080, 2880, 3240}, 144}};

RECT Docked(const std::vector<MonitorArea>& monitors, const RECT& target, int nPos)
{
    RECT place{};
    EXPECT_TRUE(DockedPlace(nPos, {target}, monitors, BarSize, &place));
    return place;
}

// Windows gives the moved bar the DPI of the monitor it lies on; sized for
// that DPI, the bar keeps its size, and the next tick (which does not look at
// the bar's size) finds it in place: docking is a fixed point.
void ExpectSizedForItsMonitor(const std::vector<MonitorArea>& monitors, const RECT& place)
{
    const SIZE size = BarSize(monitors[MonitorOfRect(place, monitors)].nDpi);
    EXPECT_EQ(place.right - place.left, size.cx) << place.left << "," << place.top;
    EXPECT_EQ(place.bottom - place.top, size.cy) << place.left << "," << place.top;
}
}  // namespace

TEST(Docking, TargetStraddlingTwoScalesAtEachCorner)
{
    // Side by side: the left corners lie at 96 DPI, the right ones at 144.
    const RECT across{1500, 300, 2300, 800};
    const RECT expectedSide[] = {{1523, 300, 1813, 339}, {1761, 300, 2196, 359},
                                 {1508, 761, 1798, 800}, {1848, 741, 2283, 800}};
    // One above the other: the top corners at 96, the bottom ones at 144.
    const RECT down{300, 800, 1100, 1400};
    const RECT expectedStacked[] = {{323, 800, 613, 839}, {741, 800, 1031, 839},
                                    {312, 1341, 747, 1400}, {648, 1341, 1083, 1400}};
    for (int pos = 0; pos < 4; ++pos) {
        const RECT side = Docked(kSideBySide, across, pos), stacked = Docked(kStacked, down, pos);
        EXPECT_TRUE(::EqualRect(&side, &expectedSide[pos])) << "side by side, corner " << pos;
        EXPECT_TRUE(::EqualRect(&stacked, &expectedStacked[pos])) << "stacked, corner " << pos;
    }
}

TEST(Docking, EveryPlaceNearTheEdgeIsSizedForItsMonitor)
{
    for (int pos = 0; pos < 4; ++pos)
        for (int shift = -700; shift <= 700; shift += 7) {
            ExpectSizedForItsMonitor(kSideBySide, Docked(kSideBySide, {1520 + shift, 300, 2320 + shift, 800}, pos));
            ExpectSizedForItsMonitor(kStacked, Docked(kStacked, {300, 780 + shift, 1100, 1380 + shift}, pos));
        }
}

namespace {
// The main monitor, its taskbar 40 pixels high along the foot; a 144 DPI one
// right of it; one left of and above it.
const MonitorArea kMain{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96};
const MonitorArea kRight{{1920, 0, 4800, 2160}, {1920, 0, 4800, 2120}, 144};
const MonitorArea kLeftAbove{{-1920, -1080, 0, 0}, {-1920, -1080, 0, -40}, 144};

void ExpectStart(POINT saved, const std::vector<MonitorArea>& monitors, const RECT& expected)
{
    const RECT got = StartPlace(saved, monitors, BarSize);
    EXPECT_TRUE(::EqualRect(&got, &expected)) << saved.x << "," << saved.y << " gave " << got.left << "," << got.top;
}
}  // namespace

TEST(StartPlace, OneMonitorZeroOrNegativeBecomes1AndPartlyOffStays)
{
    ExpectStart({-20, 300}, {kMain}, {1, 300, 291, 339});
    ExpectStart({0, 0}, {kMain}, {1, 1, 291, 40});
    ExpectStart({1800, 1020}, {kMain}, {1800, 1020, 2090, 1059});
}

TEST(StartPlace, MonitorGoneOrLeftOfAndAboveTheMainOne)
{
    ExpectStart({2500, 1300}, {kMain}, {1630, 1001, 1920, 1040});
    ExpectStart({5000, 2500}, {kMain, kRight}, {4365, 2061, 4800, 2120});  // sized for 144 DPI
    ExpectStart({-1500, -800}, {kMain, kLeftAbove}, {-1500, -800, -1065, -741});
    ExpectStart({-1500, -800}, {kMain}, {1, 1, 291, 40});
}

TEST(ShellWindow, DesktopAndTaskbarClassesAreLeftOut)
{
    for (const char* name : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"})
        EXPECT_TRUE(IsShellWindowClass(name)) << name;
    EXPECT_FALSE(IsShellWindowClass("CabinetWClass"));
}

TEST(Painting, HighContrastPaintsTheButtonFaceAndTheStoredColourComesBack)
{
    EXPECT_EQ(BarSurfaceColour(0xFF8080, true), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(BarSurfaceColour(0xFF8080, false), 0xFF8080u);
}
