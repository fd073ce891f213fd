// The card's geometry: designed once, in pixels at 96 DPI, and resolved for a
// surface, the screen by its DPI or paper at a fixed size. Portable.
#pragma once

#include "present/DpiState.h"
#include "text/CardField.h"

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

// The card as designed: pixels at 96 DPI on screen, units of 1/2.7 mm on paper.
struct CardDesign {
    static constexpr int m_cardWidth = 367;
    static constexpr int m_cardHeight = 428;
    static constexpr int m_bannerHeight = 82;
    static constexpr int m_bodyHeight = 302;
    static constexpr int m_editWidth = 184;
    static constexpr int m_editHeight = 22;
    static constexpr int m_editLeft = 153;
    static constexpr int m_rowGap = 18;
    static constexpr int m_labelLeft = 25;
    static constexpr int m_labelGap = 2;
    static constexpr int m_titleLeft = 25;
    static constexpr int m_titleTop = 28;
    static constexpr int m_titleWidth = m_cardWidth - 50;
    static constexpr int m_titleHeight = 100;
    static constexpr int m_buttonWidth = 108;
    static constexpr int m_buttonHeight = 26;
    static constexpr int m_buttonRightMargin = 16;
    static constexpr int m_buttonTop = 392;
    static constexpr int m_buttonGap = 2;
    static constexpr int kFieldFontHeight = 12;  // screen, Tahoma or Arial
    static constexpr int kTitleFontHeight = 18;
    static constexpr int kPrintedFieldFontHeight = 10;  // paper, Tahoma
    static constexpr int kPrintedTitleFontHeight = 16;
};

// Windows' MulDiv: 64-bit product, rounded half away from zero; -1 for a zero
// divisor or a result beyond int.
int MulDiv(int value, int numerator, int denominator);

// The DPI the layout may scale by: as read, but never above 144.
DpiState ClampDpi(int readDpiX, int readDpiY);

// Scaling applies only on screens at least this high.
inline constexpr int kMinScaledScreenHeight = 768;

// A layout unit on paper is 1/2.7 mm whatever the resolution; a resolution of
// 0 makes every value 1.
int ToPrinter(int value, int dpi);

// How design numbers become a surface's pixels, each axis on its own: on
// screen ScaleX and ScaleY (by the DPI, only while the layout scales), on
// paper ToPrinterX and ToPrinterY.
class CardScale {
public:
    static CardScale Screen(const DpiState& dpi, bool scaleLayout)
    {
        return CardScale(false, dpi.dpiX, dpi.dpiY, scaleLayout);
    }
    static CardScale Paper(int printerDpiX, int printerDpiY) { return CardScale(true, printerDpiX, printerDpiY, true); }

    int X(int value) const { return m_paper ? ToPrinter(value, m_x) : m_scaled ? MulDiv(value, m_x, 96) : value; }
    int Y(int value) const { return m_paper ? ToPrinter(value, m_y) : m_scaled ? MulDiv(value, m_y, 96) : value; }
    bool OnPaper() const { return m_paper; }
    bool Scaled() const { return m_scaled; }

private:
    CardScale(bool paper, int x, int y, bool scaled) : m_paper(paper), m_x(x), m_y(y), m_scaled(scaled) {}

    bool m_paper;
    int m_x, m_y;  // the DPI on screen, the resolution on paper
    bool m_scaled;
};

// Every box of the card on one surface, in its pixels, with what the language
// makes of them.
struct CardBoxes {
    bool onPaper;
    bool rightToLeft;
    int font;             // the screen font (FontIndex); paper has Tahoma alone
    Rect client;          // the card's client area
    Rect banner;          // where the banner is stretched to
    bool mirroredBanner;  // the mirrored copy goes there (right to left, before version 6)
    Rect band;            // the grey band behind the buttons
    Rect title;
    Rect labels[CardFieldCount];
    Rect values[CardFieldCount];  // the edits on screen, the printed values on paper
    Rect closeButton, printButton;
    Rect frame;           // drawn round banner and body on paper
};

// The boxes for a surface in a language. On screen the window itself is
// mirrored for a right-to-left language, and only the banner moves; on paper
// the label and value columns trade sides.
CardBoxes ResolveCard(const CardScale& scale, std::wstring_view language, int osMajorVersion);

// ".\PIC\<brand>_Banner[1|2].bmp" by the screen's DPI, whether or not the
// layout scales.
std::wstring BannerFile(std::wstring_view brand, int dpiX);

// The screen fonts: 0 Arial scaled, 1 Arial fixed, 2 Tahoma scaled, 3 Tahoma fixed.
int FontIndex(std::wstring_view language, bool scaleLayout);
// The height of font `index` from its 96-DPI pixel size (negative: character height), scaled as the boxes are.
int FontHeight(int index, int designHeight, const CardScale& scale);

}  // namespace velopass
