#include "present/CardLayout.h"

#include "machine/Brand.h"
#include "text/Language.h"

#include <cstdint>

namespace velopass {

int MulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = (denominator < 0 ? -std::int64_t{denominator} : denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude =
        ((product < 0 ? -product : product) + half) / (denominator < 0 ? -std::int64_t{denominator} : denominator);
    const std::int64_t result = negative ? -magnitude : magnitude;
    return result > INT32_MAX || result < INT32_MIN ? -1 : static_cast<int>(result);
}

bool IsTitleWhite(bool bannerDrawn, std::wstring_view brand)
{
    return bannerDrawn && brand != kBrindleHall;
}

void ClampDpi(DpiState& dpi, int readDpiX, int readDpiY)
{
    constexpr int kCap = 144;
    dpi.dpiX = readDpiX;
    dpi.dpiY = readDpiY;
    if (dpi.dpiX > kCap) {
        dpi.realDpiX = dpi.dpiX;
        dpi.dpiX = kCap;
    }
    if (dpi.dpiY > kCap) {
        dpi.realDpiY = dpi.dpiY;
        dpi.dpiY = kCap;
    }
}

int ScreenLayout::ScaleX(int value)
{
    if (!m_dpi.scaleLayout)
        return value;
    EnsureDpi();
    return MulDiv(value, m_dpi.dpiX, 96);
}

int ScreenLayout::ScaleY(int value)
{
    if (!m_dpi.scaleLayout)
        return value;
    EnsureDpi();
    return MulDiv(value, m_dpi.dpiY, 96);
}

int ScreenLayout::WindowWidth(int frameWidth) { return ScaleX(m_cardWidth) + frameWidth / 2; }

int ScreenLayout::WindowHeight(int frameHeight, int captionHeight)
{
    return ScaleY(m_cardHeight) + captionHeight + frameHeight / 2;
}

Rect ScreenLayout::Scaled(int left, int top, int right, int bottom)
{
    return Rect{ScaleX(left), ScaleY(top), ScaleX(right), ScaleY(bottom)};
}

Rect ScreenLayout::EditRect(int row)
{
    const int left = ScaleX(m_editLeft);
    const int top = ScaleY(RowTop(row));
    return Rect{left, top, left + ScaleX(m_editWidth), top + ScaleY(m_editHeight)};
}

Rect ScreenLayout::LabelRect(int row)
{
    return Scaled(m_labelLeft, RowTop(row), m_editLeft - m_labelGap, RowTop(row) + m_editHeight);
}

Rect ScreenLayout::CloseButtonRect()
{
    const int left = ScaleX(m_cardWidth - m_buttonRightMargin - m_buttonWidth);
    const int top = ScaleY(m_buttonTop);
    return Rect{left, top, left + ScaleX(m_buttonWidth), top + ScaleY(m_buttonHeight)};
}

Rect ScreenLayout::PrintButtonRect()
{
    const int left = ScaleX(m_cardWidth - 2 * m_buttonWidth - m_buttonGap - m_buttonRightMargin);
    const int top = ScaleY(m_buttonTop);
    return Rect{left, top, left + ScaleX(m_buttonWidth), top + ScaleY(m_buttonHeight)};
}

Rect ScreenLayout::BandRect() { return Scaled(0, m_bannerHeight + m_bodyHeight, m_cardWidth, m_cardHeight); }

Rect ScreenLayout::TitleRect()
{
    return Scaled(m_titleLeft, m_titleTop, m_titleLeft + m_titleWidth, m_titleTop + m_titleHeight);
}

BannerPlacement ScreenLayout::Banner(bool rightToLeft, int osMajorVersion)
{
    const int width = ScaleX(m_cardWidth);
    const int height = ScaleY(m_bannerHeight);
    // Mirrored layouts start one pixel early; older systems get the extra pixel too.
    const int left = rightToLeft ? -1 : 0;
    const int drawnWidth = (rightToLeft || osMajorVersion < 6) ? width + 1 : width;
    const BannerImage image = (rightToLeft && osMajorVersion < 6) ? BannerImage::Mirrored : BannerImage::Ordinary;
    return BannerPlacement{image, Rect{left, 0, left + drawnWidth, height}};
}

std::wstring ScreenLayout::BannerFile(std::wstring_view brand)
{
    if (brand.empty())
        return std::wstring();
    EnsureDpi();
    const wchar_t* variant = m_dpi.dpiX > 120 ? L"2" : m_dpi.dpiX > 96 ? L"1" : L"";
    return L".\\PIC\\" + std::wstring(brand) + L"_Banner" + variant + L".bmp";
}

int PaperLayout::ToPrinter(int value, int dpi)
{
    if (dpi == 0)
        return 1;
    return static_cast<int>(value / (25.4 / dpi) / 2.7);
}

Rect PaperLayout::Printed(int left, int top, int right, int bottom) const
{
    return Rect{ToPrinterX(left), ToPrinterY(top), ToPrinterX(right), ToPrinterY(bottom)};
}

Rect PaperLayout::PrintedBanner() const { return Printed(0, 0, m_cardWidth, m_bannerHeight); }

// Right to left, the label and value columns trade sides of the card.
Rect PaperLayout::PrintedLabel(int row, bool rightToLeft) const
{
    const int left = rightToLeft ? m_cardWidth - (m_editLeft - m_labelGap) : m_labelLeft;
    const int right = rightToLeft ? m_cardWidth - m_labelLeft : m_editLeft - m_labelGap;
    return Printed(left, RowTop(row), right, RowTop(row) + m_editHeight);
}

Rect PaperLayout::PrintedValue(int row, bool rightToLeft) const
{
    const int left = rightToLeft ? m_cardWidth - (m_editLeft + m_editWidth) : m_editLeft;
    const int right = rightToLeft ? m_cardWidth - m_editLeft : m_editLeft + m_editWidth;
    return Printed(left, RowTop(row), right, RowTop(row) + m_editHeight);
}

Rect PaperLayout::PrintedTitle() const
{
    return Printed(m_titleLeft, m_titleTop, m_titleLeft + m_titleWidth, m_titleTop + m_titleHeight);
}

Rect PaperLayout::PrintedFrame() const { return Printed(0, 0, m_cardWidth, m_bannerHeight + m_bodyHeight); }

int ScreenLayout::FontIndex(std::wstring_view language) const
{
    return (IsCjkLanguage(language) ? 2 : 0) + (m_dpi.scaleLayout ? 0 : 1);
}

int ScreenLayout::FontHeight(int index, int designHeight) const
{
    const bool scaled = index % 2 == 0;
    return -(scaled ? MulDiv(designHeight, m_dpi.dpiY, 96) : designHeight);
}

}  // namespace velopass
