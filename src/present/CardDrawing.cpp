#include "present/CardDrawing.h"

#include "text/CardField.h"

#include <cwchar>

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
              const CardBanner& banner)
{
    const bool paper = boxes.onPaper;
    if (!paper) {
        const win::UniqueBrush bandBrush(::CreateSolidBrush(CardDesign::m_bandColour));
        const RECT band{boxes.band.left, boxes.band.top, boxes.band.right, boxes.band.bottom};
        ::FillRect(dc, &band, bandBrush.get());
    }
    // The banner is printed unmirrored in every language.
    const bool bannerDrawn =
        paper ? PrintBanner(dc, banner.bitmap, boxes.banner) : PaintBanner(dc, banner.image, boxes.banner);
    ::SetBkMode(dc, TRANSPARENT);
    // On screen the platform mirrors a right-to-left card; on paper each text is set right to left.
    const UINT line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                      (paper && content.rightToLeft ? DT_RTLREADING | DT_RIGHT : 0);
    {
        const win::SelectGuard select(dc, fonts.label);
        for (int row = 0; row < CardFieldCount; ++row)
            DrawBox(dc, content.labels[row].c_str(), boxes.labels[row], line);
        // An ordinary date reads left to right.
        for (int row = 0; paper && row < CardFieldCount; ++row)
            DrawBox(dc, content.values[row].c_str(), boxes.values[row],
                    row == DateOfPurchase ? line & ~DT_RTLREADING : line);
    }
    if (IsTitleWhite(bannerDrawn, content.brand))
        ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    {
        const win::SelectGuard select(dc, fonts.title);
        DrawBox(dc, content.title.c_str(), boxes.title, DT_NOPREFIX | (!paper && content.rightToLeft ? DT_RIGHT : 0));
    }
    if (paper)
        DrawFrame(dc, boxes.frame);
}

std::optional<PrinterDpi> PrintCardPage(HDC printer, const CardContent& content, const wchar_t* bannerPath)
{
    ::PatBlt(printer, 0, 0, ::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES), WHITENESS);
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = L"Velopass";
    if (::StartDocW(printer, &document) < 0)
        return std::nullopt;
    if (::StartPage(printer) < 0) {
        ::AbortDoc(printer);
        return std::nullopt;
    }
    const PrinterDpi dpi{::GetDeviceCaps(printer, LOGPIXELSX), ::GetDeviceCaps(printer, LOGPIXELSY)};
    const CardScale paper = CardScale::Paper(dpi.x, dpi.y);
    const win::UniqueBitmap banner(
        static_cast<HBITMAP>(::LoadImageW(nullptr, bannerPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    // Tahoma in every language, its heights converted along the page's width.
    const win::UniqueFont fieldFont(CreateCardFont(L"Tahoma", paper.X(-CardDesign::kPrintedFieldFontHeight), 0));
    const win::UniqueFont titleFont(CreateCardFont(L"Tahoma", paper.X(-CardDesign::kPrintedTitleFontHeight), FW_BOLD));
    const CardBoxes boxes = ResolveCard(paper, content.rightToLeft, /*osMajorVersion, screen only*/ 0);
    DrawCard(printer, boxes, content, {fieldFont.get(), titleFont.get()}, {nullptr, banner.get()});
    ::EndPage(printer);
    ::EndDoc(printer);
    return dpi;
}

HFONT CreateCardFont(const wchar_t* face, int height, int weight)
{
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    std::wcsncpy(font.lfFaceName, face, 7);
    return ::CreateFontIndirectW(&font);
}

void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, const DpiState& dpi)
{
    static const wchar_t* const kFaces[] = {L"Arial", L"Arial", L"Tahoma", L"Tahoma"};
    for (int index = 0; index < 4; ++index)
        fonts[index].reset(CreateCardFont(kFaces[index], FontHeight(index, designHeight, dpi.dpiY), weight));
}

void ReadScreenDpi(DpiState& dpi)
{
    if (const win::ScreenDC screen; screen)
        ClampDpi(dpi, ::GetDeviceCaps(screen.get(), LOGPIXELSX), ::GetDeviceCaps(screen.get(), LOGPIXELSY));
    dpi.queried = true;
}

bool IsScreenLargeEnough()
{
    const win::ScreenDC screen;
    return screen && ::GetDeviceCaps(screen.get(), VERTRES) >= kMinScaledScreenHeight;
}

}  // namespace velopass
