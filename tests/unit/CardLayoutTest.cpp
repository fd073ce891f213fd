#include "present/CardLayout.h"

#include <gtest/gtest.h>

using velopass::BannerImage;
using velopass::Rect;

namespace {

// A card on a screen of the given DPI; counts how often the screen is asked.
class ScreenLayout : public velopass::CardLayout {
public:
    ScreenLayout(int dpi, bool scale) : m_screenDpi(dpi) { m_dpi.scaleLayout = scale; }
    int reads = 0;

protected:
    void ReadDpi() override
    {
        ++reads;
        velopass::ClampDpi(m_dpi, m_screenDpi, m_screenDpi);
        m_dpi.queried = true;
    }

private:
    int m_screenDpi;
};

}  // namespace

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(velopass::MulDiv(367, 144, 96), 551);  // 550.5
    EXPECT_EQ(velopass::MulDiv(-367, 144, 96), -551);
    EXPECT_EQ(velopass::MulDiv(25, 120, 96), 31);     // 31.25
    EXPECT_EQ(velopass::MulDiv(162, 120, 96), 203);   // 202.5
    EXPECT_EQ(velopass::MulDiv(7, 1, 0), -1);
    EXPECT_EQ(velopass::MulDiv(2000000000, 3, 2), -1);  // overflow, as the platform answers
}

TEST(CardLayout, At96DpiEverythingIsAsDesigned)
{
    ScreenLayout layout(96, true);
    EXPECT_EQ(layout.EditRect(0), (Rect{153, 100, 337, 122}));
    EXPECT_EQ(layout.EditRect(6), (Rect{153, 340, 337, 362}));
    EXPECT_EQ(layout.LabelRect(0), (Rect{25, 100, 151, 122}));
    EXPECT_EQ(layout.LabelRect(6), (Rect{25, 340, 151, 362}));
    EXPECT_EQ(layout.CloseButtonRect(), (Rect{243, 392, 351, 418}));
    EXPECT_EQ(layout.PrintButtonRect(), (Rect{133, 392, 241, 418}));
    EXPECT_EQ(layout.BandRect(), (Rect{0, 384, 367, 428}));
    EXPECT_EQ(layout.TitleRect(), (Rect{25, 28, 342, 128}));
    EXPECT_EQ(layout.WindowWidth(9), 367 + 4);
    EXPECT_EQ(layout.WindowHeight(9, 23), 428 + 23 + 4);
}

TEST(CardLayout, At120DpiEachValueIsScaledWhole)
{
    ScreenLayout layout(120, true);
    for (int row = 0; row < 7; ++row) {
        const Rect edit = layout.EditRect(row);
        EXPECT_EQ(edit.left, 191);
        EXPECT_EQ(edit.top, 125 + 50 * row);
        EXPECT_EQ(edit.width(), 230);
        EXPECT_EQ(edit.height(), 28);
    }
    EXPECT_EQ(layout.LabelRect(1), (Rect{31, 175, 189, 203}));
    EXPECT_EQ(layout.CloseButtonRect(), (Rect{304, 490, 439, 523}));
    EXPECT_EQ(layout.PrintButtonRect(), (Rect{166, 490, 301, 523}));
    EXPECT_EQ(layout.BandRect().top, 480);
    EXPECT_EQ(layout.WindowWidth(0), 459);
    EXPECT_EQ(layout.FontHeight(0, 12), -15);
    EXPECT_EQ(layout.FontHeight(1, 12), -12);
    EXPECT_EQ(layout.FontHeight(2, 18), -23);
    EXPECT_EQ(layout.reads, 1);
}

TEST(CardLayout, DpiAbove144IsCappedButKept)
{
    for (int dpi : {144, 192, 480}) {
        ScreenLayout layout(dpi, true);
        EXPECT_EQ(layout.WindowWidth(0), 551) << dpi;
        EXPECT_EQ(layout.EditRect(0), (Rect{230, 150, 506, 183})) << dpi;
        EXPECT_EQ(layout.m_dpi.dpiX, 144);
        EXPECT_EQ(layout.m_dpi.realDpiX, dpi > 144 ? dpi : 0);
    }
}

TEST(CardLayout, SmallScreensKeepTheDesignButNotTheBannerChoice)
{
    ScreenLayout layout(120, false);
    EXPECT_EQ(layout.EditRect(2), (Rect{153, 180, 337, 202}));
    EXPECT_EQ(layout.reads, 0);  // no scaling, no need to ask
    EXPECT_EQ(layout.BannerFile(L"Marwick"), L".\\PIC\\Marwick_Banner1.bmp");
    EXPECT_EQ(layout.reads, 1);
    EXPECT_EQ(layout.FontIndex(L"de"), 1);
    EXPECT_EQ(layout.FontIndex(L"ja"), 3);
}

TEST(CardLayout, BannerFileByDpi)
{
    EXPECT_EQ(ScreenLayout(96, true).BannerFile(L"Zell"), L".\\PIC\\Zell_Banner.bmp");
    EXPECT_EQ(ScreenLayout(97, true).BannerFile(L"Zell"), L".\\PIC\\Zell_Banner1.bmp");
    EXPECT_EQ(ScreenLayout(120, true).BannerFile(L"Brindle Hall"), L".\\PIC\\Brindle Hall_Banner1.bmp");
    EXPECT_EQ(ScreenLayout(121, true).BannerFile(L"Tessary"), L".\\PIC\\Tessary_Banner2.bmp");
    ScreenLayout noBrand(192, true);
    EXPECT_EQ(noBrand.BannerFile(L""), L"");
}

TEST(CardLayout, BannerRowsForDirectionAndSystem)
{
    ScreenLayout layout(96, true);
    const auto ltr6 = layout.Banner(false, 6);
    EXPECT_EQ(ltr6.image, BannerImage::Ordinary);
    EXPECT_EQ(ltr6.destination, (Rect{0, 0, 367, 82}));
    const auto rtl6 = layout.Banner(true, 10);
    EXPECT_EQ(rtl6.image, BannerImage::Ordinary);
    EXPECT_EQ(rtl6.destination, (Rect{-1, 0, 367, 82}));
    const auto ltr5 = layout.Banner(false, 5);
    EXPECT_EQ(ltr5.image, BannerImage::Ordinary);
    EXPECT_EQ(ltr5.destination, (Rect{0, 0, 368, 82}));
    const auto rtl5 = layout.Banner(true, 5);
    EXPECT_EQ(rtl5.image, BannerImage::Mirrored);
    EXPECT_EQ(rtl5.destination, (Rect{-1, 0, 367, 82}));
}

TEST(CardLayout, FontsFollowLanguageAndScaling)
{
    ScreenLayout layout(120, true);
    EXPECT_EQ(layout.FontIndex(L"en"), 0);
    EXPECT_EQ(layout.FontIndex(L"ar"), 0);
    for (const wchar_t* cjk : {L"ja", L"ko", L"zh-cht", L"zh-chs"})
        EXPECT_EQ(layout.FontIndex(cjk), 2) << cjk;
    for (const wchar_t* other : {L"zh", L"JA", L"ko-kr"})
        EXPECT_EQ(layout.FontIndex(other), 0) << other;
}

TEST(PrintedCard, MeasuresTheSameOnEveryPrinter)
{
    ScreenLayout layout(96, true);
    layout.m_printerDpiX = layout.m_printerDpiY = 600;
    EXPECT_EQ(layout.PrintedBanner(), (Rect{0, 0, 3210, 717}));
    EXPECT_EQ(layout.PrintedFrame(), (Rect{0, 0, 3210, 3359}));
    EXPECT_EQ(layout.PrintedLabel(0, false), (Rect{218, 874, 1321, 1067}));
    EXPECT_EQ(layout.PrintedValue(0, false), (Rect{1338, 874, 2948, 1067}));
    EXPECT_EQ(layout.PrintedTitle(), (Rect{218, 244, 2992, 1119}));
    EXPECT_EQ(layout.ToPrinterX(-10), -87);
    EXPECT_EQ(layout.ToPrinterX(-16), -139);

    layout.m_printerDpiX = layout.m_printerDpiY = 300;
    EXPECT_EQ(layout.PrintedBanner(), (Rect{0, 0, 1605, 358}));
    EXPECT_EQ(layout.PrintedFrame(), (Rect{0, 0, 1605, 1679}));
    EXPECT_EQ(layout.ToPrinterX(-10), -43);
    EXPECT_EQ(layout.ToPrinterX(-16), -69);

    layout.m_printerDpiX = 0;
    EXPECT_EQ(layout.ToPrinterX(367), 1);
    EXPECT_EQ(layout.ToPrinterX(-16), 1);
}

TEST(PrintedCard, RightToLeftSwapsTheColumns)
{
    ScreenLayout layout(96, true);
    layout.m_printerDpiX = layout.m_printerDpiY = 300;
    const Rect label = layout.PrintedLabel(2, true);
    const Rect value = layout.PrintedValue(2, true);
    EXPECT_EQ(label.left, layout.ToPrinterX(216));
    EXPECT_EQ(label.right, layout.ToPrinterX(342));
    EXPECT_EQ(value.left, layout.ToPrinterX(30));
    EXPECT_EQ(value.right, layout.ToPrinterX(214));
    EXPECT_EQ(value.top, layout.ToPrinterY(180));
}
