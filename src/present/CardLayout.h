// The card's geometry: designed in pixels at 96 DPI, scaled for the screen,
// and set at a fixed physical size on paper. Portable: the card supplies the
// screen's DPI and the printer's resolution.
#pragma once

#include "present/DpiState.h"

#include <functional>
#include <string>
#include <string_view>

namespace velopass {

struct Rect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// Windows' MulDiv: 64-bit product, rounded half away from zero; -1 for a zero
// divisor or a result beyond int.
int MulDiv(int value, int numerator, int denominator);

// The DPI the layout may scale by: above 144 is kept as read and capped.
void ClampDpi(DpiState& dpi, int readDpiX, int readDpiY);

// Scaling applies only on screens at least this high.
inline constexpr int kMinScaledScreenHeight = 768;

// The title stands white on the banner; black where no banner was drawn (white
// would not show on the white card) and on the light Brindle Hall banner.
bool IsTitleWhite(bool bannerDrawn, std::wstring_view brand);

enum class BannerImage { Ordinary, Mirrored };

struct BannerPlacement {
    BannerImage image;
    Rect destination;  // left, top, left + width, top + height
};

// The card as designed, in pixels at 96 DPI.
struct CardGeometry {
    int m_cardWidth = 367;
    int m_cardHeight = 428;
    int m_bannerHeight = 82;
    int m_bodyHeight = 302;
    int m_editWidth = 184;
    int m_editHeight = 22;
    int m_editLeft = 153;
    int m_rowGap = 18;
    int m_labelLeft = 25;
    int m_labelGap = 2;
    int m_titleLeft = 25;
    int m_titleTop = 28;
    int m_titleWidth = m_cardWidth - 50;
    int m_titleHeight = 100;
    int m_buttonWidth = 108;
    int m_buttonHeight = 26;
    int m_buttonRightMargin = 16;
    int m_buttonTop = 392;
    int m_buttonGap = 2;

    int RowTop(int row) const { return m_bannerHeight + m_rowGap + row * (m_editHeight + m_rowGap); }
};

// The card on the screen: the design scaled by the screen's DPI, which is
// read once, when a position first needs it.
class ScreenLayout : public CardGeometry {
public:
    // Reads the screen's DPI into the state (ClampDpi).
    using DpiReader = std::function<void(DpiState&)>;
    explicit ScreenLayout(DpiReader readDpi) : m_readDpi(std::move(readDpi)) {}

    int ScaleX(int value);
    int ScaleY(int value);

    // Client size plus the frame terms the card allows for.
    int WindowWidth(int frameWidth);
    int WindowHeight(int frameHeight, int captionHeight);

    Rect EditRect(int row);
    Rect LabelRect(int row);
    Rect CloseButtonRect();
    Rect PrintButtonRect();
    Rect BandRect();
    Rect TitleRect();
    BannerPlacement Banner(bool rightToLeft, int osMajorVersion);

    // ".\PIC\<brand>_Banner[1|2].bmp" by the screen's DPI, whether or not the
    // layout scales; empty for an empty brand.
    std::wstring BannerFile(std::wstring_view brand);

    // 0 Arial scaled, 1 Arial fixed, 2 Tahoma scaled, 3 Tahoma fixed.
    int FontIndex(std::wstring_view language) const;
    // The height of font `index` from its 96-DPI pixel size (negative: character height).
    int FontHeight(int index, int designHeight) const;

    // Reads the screen's DPI unless it was read already.
    void EnsureDpi()
    {
        if (!m_dpi.queried && m_readDpi)
            m_readDpi(m_dpi);
        m_dpi.queried = true;
    }

    DpiState m_dpi;

private:
    Rect Scaled(int left, int top, int right, int bottom);

    DpiReader m_readDpi;
};

// The card on paper: a layout unit is 1/2.7 mm whatever the printer's
// resolution (a resolution of 0 makes every value 1).
class PaperLayout : public CardGeometry {
public:
    PaperLayout() = default;
    PaperLayout(int printerDpiX, int printerDpiY) : m_printerDpiX(printerDpiX), m_printerDpiY(printerDpiY) {}

    int ToPrinterX(int value) const { return ToPrinter(value, m_printerDpiX); }
    int ToPrinterY(int value) const { return ToPrinter(value, m_printerDpiY); }
    static int ToPrinter(int value, int dpi);
    Rect PrintedBanner() const;
    Rect PrintedLabel(int row, bool rightToLeft) const;
    Rect PrintedValue(int row, bool rightToLeft) const;
    Rect PrintedTitle() const;
    Rect PrintedFrame() const;

    int m_printerDpiX = 1;  // 1 until the first print
    int m_printerDpiY = 1;

private:
    Rect Printed(int left, int top, int right, int bottom) const;
};

}  // namespace velopass
