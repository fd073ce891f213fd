#include "present/CardDrawing.h"

#include "text/CardField.h"

#include <usp10.h>

#include <cwchar>

namespace velopass {

namespace {

// One line set flush right by Uniscribe, shaped, measured and placed glyph by glyph as measured, centred in its
// box and cut at its edges; false when it cannot be set. A driver that sets a text by its font's own widths
// (Wine's PostScript one) and a measure of the unshaped text would otherwise leave the line's end short of the
// edge or cut it there.
bool DrawFlushRight(HDC dc, const wchar_t* text, const RECT& box, bool rightToLeftReading)
{
    const int length = static_cast<int>(std::wcslen(text));
    SCRIPT_STATE state{};
    state.uBidiLevel = rightToLeftReading ? 1 : 0;
    SCRIPT_STRING_ANALYSIS line = nullptr;
    if (length == 0 ||
        FAILED(::ScriptStringAnalyse(dc, text, length, length * 3 / 2 + 16, -1,
                                     SSA_GLYPHS | SSA_FALLBACK | (rightToLeftReading ? SSA_RTL : 0), 0, nullptr,
                                     &state, nullptr, nullptr, nullptr, &line)))
        return false;
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const SIZE* size = ::ScriptString_pSize(line);
    const bool drawn = size != nullptr &&
                       SUCCEEDED(::ScriptStringOut(line, box.right - size->cx,
                                                   box.top + (box.bottom - box.top - metrics.tmHeight) / 2,
                                                   ETO_CLIPPED, &box, 0, 0, FALSE));
    ::ScriptStringFree(&line);
    return drawn;
}

void DrawBox(HDC dc, const wchar_t* text, const Rect& box, UINT format)
{
    RECT rect{box.left, box.top, box.right, box.bottom};
    const bool flushRightLine = (format & (DT_SINGLELINE | DT_RIGHT)) == (DT_SINGLELINE | DT_RIGHT);
    if (!flushRightLine || !DrawFlushRight(dc, text, rect, (format & DT_RTLREADING) != 0))
        ::DrawTextW(dc, text, -1, &rect, format);
}

bool PaintBanner(HDC dc, const CGdiPlusImage* image, const Rect& to)
{
    Gdiplus::GpGraphics* created = nullptr;
    win::gdiplus::CreateFromHDC(dc, &created);
    const win::gdiplus::UniqueGraphics graphics(created);
    return image != nullptr && graphics &&
           win::gdiplus::DrawImageRectI(graphics.get(), image->m_nativeImage, to.left, to.top, to.width(),
                                        to.height()) == Gdiplus::Ok;
}

bool PrintBanner(HDC dc, HBITMAP bitmap, const Rect& to)
{
    if (bitmap == nullptr)
        return false;
    BITMAP size{};
    ::GetObjectW(bitmap, sizeof(size), &size);
    const win::UniqueDC memory(::CreateCompatibleDC(dc));
    const win::SelectGuard select(memory.get(), bitmap);
    ::SetStretchBltMode(dc, HALFTONE);
    return ::StretchBlt(dc, to.left, to.top, to.width(), to.height(), memory.get(), 0, 0, size.bmWidth,
                        size.bmHeight, SRCCOPY) != FALSE;
}

void DrawFrame(HDC dc, const Rect& frame)
{
    const win::UniquePen pen(::CreatePen(PS_SOLID, 5, RGB(0, 0, 0)));
    const win::SelectGuard select(dc, pen.get());
    ::LineTo(dc, 0, frame.bottom);
    ::LineTo(dc, frame.right, frame.bottom);
    ::LineTo(dc, frame.right, 0);
    ::LineTo(dc, 0, 0);
}

}  // namespace

void DrawCard(HDC dc, const CardBoxes& boxes, const CardContent& content, const CardFonts& fonts,
              const CardBanner& banner, const CardColours& colours)
{
    const bool paper = boxes.onPaper;
    if (!paper) {
        const win::UniqueBrush bandBrush(::CreateSolidBrush(colours.band));
        const RECT band{boxes.band.left, boxes.band.top, boxes.band.right, boxes.band.bottom};
        ::FillRect(dc, &band, bandBrush.get());
    }
    // The banner is printed unmirrored in every language.
    const bool bannerDrawn =
        paper ? PrintBanner(dc, banner.bitmap, boxes.banner) : PaintBanner(dc, banner.image, boxes.banner);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colours.text);
    // On screen the platform mirrors a right-to-left card; on paper each text is set right to left.
    const UINT line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                      (paper && boxes.rightToLeft ? DT_RTLREADING | DT_RIGHT : 0);
    {
        const win::SelectGuard select(dc, fonts.label);
        for (int row = 0; row < CardFieldCount; ++row)
            DrawBox(dc, content.labels[row].c_str(), boxes.labels[row], line);
        // An ordinary date reads left to right.
        for (int row = 0; paper && row < CardFieldCount; ++row)
            DrawBox(dc, content.values[row].c_str(), boxes.values[row],
                    row == DateOfPurchase ? line & ~DT_RTLREADING : line);
    }
    // Over no banner the title takes the words' colour: a white one would not show on a white card.
    if (bannerDrawn)
        ::SetTextColor(dc, banner.titleColour);
    {
        const win::SelectGuard select(dc, fonts.title);
        DrawBox(dc, content.title.c_str(), boxes.title, DT_NOPREFIX | (!paper && boxes.rightToLeft ? DT_RIGHT : 0));
    }
    if (paper)
        DrawFrame(dc, boxes.frame);
}

}  // namespace velopass
