#include "present/CardLayout.h"

#include "text/Language.h"

#include <algorithm>
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

DpiState ClampDpi(int readDpiX, int readDpiY)
{
    constexpr int kCap = 144;
    return {std::min(readDpiX, kCap), std::min(readDpiY, kCap)};
}

int ToPrinter(int value, int dpi)
{
    if (dpi == 0)
        return 1;
    return static_cast<int>(value / (25.4 / dpi) / 2.7);
}

namespace {

// A box by its edges, each scaled.
Rect Edges(const CardScale& scale, int left, int top, int right, int bottom)
{
    return Rect{scale.X(left), scale.Y(top), scale.X(right), scale.Y(bottom)};
}

// The edits and buttons by their corner and size, each scaled.
Rect Sized(const CardScale& scale, int left, int top, int width, int height)
{
    const int x = scale.X(left), y = scale.Y(top);
    return Rect{x, y, x + scale.X(width), y + scale.Y(height)};
}

// Labels and values, row by row; `swapped`: the columns trade sides.
void ResolveRows(const CardScale& scale, bool swapped, CardBoxes& boxes)
{
    using D = CardDesign;
    const int labelLeft = D::m_labelLeft, labelRight = D::m_editLeft - D::m_labelGap;
    const int valueLeft = D::m_editLeft, valueRight = D::m_editLeft + D::m_editWidth;
    for (int row = 0; row < CardFieldCount; ++row) {
        const int top = D::m_bannerHeight + D::m_rowGap + row * (D::m_editHeight + D::m_rowGap);
        const int bottom = top + D::m_editHeight;
        boxes.labels[row] = swapped ? Edges(scale, D::m_cardWidth - labelRight, top, D::m_cardWidth - labelLeft, bottom)
                                    : Edges(scale, labelLeft, top, labelRight, bottom);
        boxes.values[row] =
            !boxes.onPaper ? Sized(scale, valueLeft, top, D::m_editWidth, D::m_editHeight)
            : swapped      ? Edges(scale, D::m_cardWidth - valueRight, top, D::m_cardWidth - valueLeft, bottom)
                           : Edges(scale, valueLeft, top, valueRight, bottom);
    }
}

}  // namespace

CardBoxes ResolveCard(const CardScale& scale, std::wstring_view language, int osMajorVersion)
{
    using D = CardDesign;
    const bool paper = scale.OnPaper();
    const bool rightToLeft = IsRightToLeft(language);
    CardBoxes boxes{};
    boxes.onPaper = paper;
    boxes.rightToLeft = rightToLeft;
    boxes.font = FontIndex(language, scale.Scaled());
    boxes.client = Edges(scale, 0, 0, D::m_cardWidth, D::m_cardHeight);
    if (paper) {
        boxes.banner = Edges(scale, 0, 0, D::m_cardWidth, D::m_bannerHeight);
    } else {
        // Mirrored layouts start one pixel early; older systems get the extra pixel too.
        const int left = rightToLeft ? -1 : 0;
        const int width = scale.X(D::m_cardWidth) + (rightToLeft || osMajorVersion < 6 ? 1 : 0);
        boxes.banner = Rect{left, 0, left + width, scale.Y(D::m_bannerHeight)};
        boxes.mirroredBanner = rightToLeft && osMajorVersion < 6;
    }
    boxes.band = Edges(scale, 0, D::m_bannerHeight + D::m_bodyHeight, D::m_cardWidth, D::m_cardHeight);
    boxes.title = Edges(scale, D::m_titleLeft, D::m_titleTop, D::m_titleLeft + D::m_titleWidth,
                        D::m_titleTop + D::m_titleHeight);
    // On screen the platform mirrors the window.
    ResolveRows(scale, paper && rightToLeft, boxes);
    const int closeLeft = D::m_cardWidth - D::m_buttonRightMargin - D::m_buttonWidth;
    boxes.closeButton = Sized(scale, closeLeft, D::m_buttonTop, D::m_buttonWidth, D::m_buttonHeight);
    boxes.printButton = Sized(scale, closeLeft - D::m_buttonWidth - D::m_buttonGap, D::m_buttonTop, D::m_buttonWidth,
                              D::m_buttonHeight);
    boxes.frame = Edges(scale, 0, 0, D::m_cardWidth, D::m_bannerHeight + D::m_bodyHeight);
    return boxes;
}

std::wstring BannerFile(std::wstring_view brand, int dpiX)
{
    const wchar_t* variant = dpiX > 120 ? L"2" : dpiX > 96 ? L"1" : L"";
    return L".\\PIC\\" + std::wstring(brand) + L"_Banner" + variant + L".bmp";
}

int FontIndex(std::wstring_view language, bool scaleLayout)
{
    return (IsCjkLanguage(language) ? 2 : 0) + (scaleLayout ? 0 : 1);
}

int FontHeight(int index, int designHeight, const CardScale& scale)
{
    const bool scaled = index % 2 == 0;
    return -(scaled ? scale.Y(designHeight) : designHeight);
}

}  // namespace velopass
