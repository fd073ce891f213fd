#include "present/CardDrawing.h"

#include "text/CardField.h"

namespace velopass {

namespace {

void DrawBox(HDC dc, const wchar_t* text, const Rect& box, UINT format)
{
    RECT rect{box.left, box.top, box.right, box.bottom};
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
