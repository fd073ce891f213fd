#include "present/CardLayout.h"

#include <gtest/gtest.h>

using namespace velopass;

TEST(CardLayout, TheBannerOnScreenByReadingDirectionAndSystemVersion)
{
    // Mirrored layouts start one pixel early; older systems get the extra pixel too, and a mirrored copy.
    const struct { const wchar_t* language; int osMajorVersion; Rect banner; bool mirrored; } cases[] = {
        {L"en", 6, {0, 0, 367, 82}, false}, {L"ar", 6, {-1, 0, 367, 82}, false},
        {L"en", 5, {0, 0, 368, 82}, false}, {L"ar", 5, {-1, 0, 367, 82}, true}};
    for (const auto& c : cases) {
        const CardBoxes boxes = ResolveCard(CardScale::Screen({}, false), c.language, c.osMajorVersion);
        EXPECT_EQ(boxes.banner, c.banner) << c.language << c.osMajorVersion;
        EXPECT_EQ(boxes.mirroredBanner, c.mirrored) << c.language << c.osMajorVersion;
    }
}

TEST(CardLayout, TahomaForEastAsianLanguagesOnly)
{
    for (const wchar_t* cjk : {L"ja", L"ko", L"zh-cht", L"zh-chs"})
        EXPECT_EQ(FontIndex(cjk, true), 2) << cjk;
    for (const wchar_t* other : {L"ar", L"zh", L"JA", L"ko-kr"})
        EXPECT_EQ(FontIndex(other, true), 0) << other;
    EXPECT_EQ(FontIndex(L"ja", false), 3);
}

TEST(PrintedCard, EachAxisByItsOwnResolution)
{
    EXPECT_EQ(ResolveCard(CardScale::Paper(600, 1200), L"en", 6).frame, (Rect{0, 0, 3210, 6719}));  // truncated
    EXPECT_EQ(CardScale::Paper(600, 1200).X(-16), -139);
    EXPECT_EQ(CardScale::Paper(0, 0).X(367), 1);
    EXPECT_EQ((std::vector<int>{MulDiv(-5, 3, 2), MulDiv(5, 3, -2), MulDiv(1, 1, 0), MulDiv(INT32_MAX, 2, 1),
                                MulDiv(INT32_MIN, 2, 1)}), (std::vector<int>{-8, -8, -1, -1, -1}));  // as Windows'
}
