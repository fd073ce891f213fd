#include "present/CardLayout.h"

#include <gtest/gtest.h>

using velopass::CardScale;
using velopass::Rect;
using velopass::ResolveCard;

TEST(CardLayout, OnScreenEachAxisByItsCappedDpiEachRowFromItsOwnTopAndOnlyOnLargeScreens)
{
    const velopass::DpiState dpi = velopass::ClampDpi(192, 120);
    const velopass::CardBoxes scaled = ResolveCard(CardScale::Screen(dpi, true), L"en", 6);
    EXPECT_EQ(scaled.values[1], (Rect{230, 175, 506, 203}));  // 144 across, 120 down
    EXPECT_EQ(scaled.client.right, 551);                      // 550.5, rounded away from zero
    EXPECT_EQ(dpi.realDpiX, 192);
    EXPECT_EQ(ResolveCard(CardScale::Screen(dpi, false), L"en", 6).values[2], (Rect{153, 180, 337, 202}));
}

TEST(CardLayout, TheBannerOnScreenByReadingDirectionAndSystemVersion)
{
    // Mirrored layouts start one pixel early; older systems get the extra pixel too, and a mirrored copy.
    const struct { bool rightToLeft; int osMajorVersion; Rect banner; bool mirrored; } cases[] = {
        {false, 6, {0, 0, 367, 82}, false}, {true, 6, {-1, 0, 367, 82}, false},
        {false, 5, {0, 0, 368, 82}, false}, {true, 5, {-1, 0, 367, 82}, true}};
    for (const auto& c : cases) {
        const velopass::CardBoxes boxes = ResolveCard(CardScale::Screen({}, false), c.rightToLeft ? L"ar" : L"en", c.osMajorVersion);
        EXPECT_EQ(boxes.banner, c.banner) << c.rightToLeft << c.osMajorVersion;
        EXPECT_EQ(boxes.mirroredBanner, c.mirrored) << c.rightToLeft << c.osMajorVersion;
    }
}

TEST(CardLayout, TahomaForEastAsianLanguagesOnly)
{
    for (const wchar_t* cjk : {L"ja", L"ko", L"zh-cht", L"zh-chs"})
        EXPECT_EQ(velopass::FontIndex(cjk, true), 2) << cjk;
    for (const wchar_t* other : {L"ar", L"zh", L"JA", L"ko-kr"})
        EXPECT_EQ(velopass::FontIndex(other, true), 0) << other;
    EXPECT_EQ(velopass::FontIndex(L"ja", false), 3);
}

TEST(PrintedCard, EachAxisByItsOwnResolutionAndRightToLeftColumnsSwapped)
{
    EXPECT_EQ(ResolveCard(CardScale::Paper(600, 1200), L"en", 6).frame, (Rect{0, 0, 3210, 6719}));  // truncated
    EXPECT_EQ(CardScale::Paper(600, 1200).X(-16), -139);
    const velopass::CardBoxes ltr = ResolveCard(CardScale::Paper(300, 300), L"en", 6);
    const velopass::CardBoxes rtl = ResolveCard(CardScale::Paper(300, 300), L"ar", 6);
    EXPECT_EQ(ltr.labels[0], (Rect{109, 437, 660, 533}));
    EXPECT_EQ(rtl.labels[2], (Rect{944, 787, 1496, 883}));
    EXPECT_EQ(rtl.values[2], (Rect{131, 787, 936, 883}));
    EXPECT_EQ(CardScale::Paper(0, 0).X(367), 1);
}
