#include "present/CardLayout.h"

#include <gtest/gtest.h>

using velopass::Rect;

namespace {

// A card on a screen of the given DPI; counts how often the screen is asked.
struct ScreenLayout : velopass::ScreenLayout {
    explicit ScreenLayout(int dpi, bool scale = true)
        : velopass::ScreenLayout([this, dpi](velopass::DpiState& state) { ++reads, velopass::ClampDpi(state, dpi, dpi); })
    {
        m_dpi.scaleLayout = scale;
    }
    int reads = 0;
};

}  // namespace

TEST(CardLayout, TheScreenIsAskedOnceOnlyWhenNeededAndChoosesTheBanner)
{
    ScreenLayout layout(120);
    EXPECT_EQ(layout.EditRect(1), (Rect{191, 175, 421, 203}));
    EXPECT_EQ(layout.FontHeight(2, 18), -23);  // 22.5, rounded away from zero
    EXPECT_EQ(layout.FontHeight(1, 18), -18);
    EXPECT_EQ(layout.reads, 1);

    ScreenLayout unscaled(120, false);
    EXPECT_EQ(unscaled.EditRect(2), (Rect{153, 180, 337, 202}));
    EXPECT_EQ(unscaled.FontIndex(L"ja"), 3);
    EXPECT_EQ(unscaled.reads, 0);
    EXPECT_EQ(unscaled.BannerFile(L"Brindle Hall"), L".\\PIC\\Brindle Hall_Banner1.bmp");
    EXPECT_EQ(ScreenLayout(97).BannerFile(L"Zell"), L".\\PIC\\Zell_Banner1.bmp");
    EXPECT_EQ(ScreenLayout(121).BannerFile(L"Tessary"), L".\\PIC\\Tessary_Banner2.bmp");
    EXPECT_EQ(ScreenLayout(121).BannerFile(L""), L"");
}

TEST(CardLayout, TahomaForEastAsianLanguagesOnly)
{
    for (const wchar_t* cjk : {L"ja", L"ko", L"zh-cht", L"zh-chs"})
        EXPECT_EQ(ScreenLayout(96).FontIndex(cjk), 2) << cjk;
    for (const wchar_t* other : {L"ar", L"zh", L"JA", L"ko-kr"})
        EXPECT_EQ(ScreenLayout(96).FontIndex(other), 0) << other;
}

TEST(PrintedCard, EachAxisByItsOwnResolutionAndRightToLeftColumnsSwapped)
{
    using velopass::PaperLayout;
    EXPECT_EQ(PaperLayout(600, 1200).PrintedFrame(), (Rect{0, 0, 3210, 6719}));  // truncated
    EXPECT_EQ(PaperLayout(600, 1200).ToPrinterX(-16), -139);
    const PaperLayout paper(300, 300);
    EXPECT_EQ(paper.PrintedLabel(0, false), (Rect{109, 437, 660, 533}));
    EXPECT_EQ(paper.PrintedLabel(2, true), (Rect{944, 787, 1496, 883}));
    EXPECT_EQ(paper.PrintedValue(2, true), (Rect{131, 787, 936, 883}));
    EXPECT_EQ(PaperLayout(0, 0).ToPrinterX(367), 1);
}
