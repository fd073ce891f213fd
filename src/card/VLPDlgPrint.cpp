// Printing the card on one page, the same size on every printer.
#include "card/VLPDlg.h"

#include "card/resource.h"
#include "text/Language.h"

#include <commdlg.h>

#include <cwchar>

using velopass::CardField;
using velopass::CardFieldCount;

namespace {

HFONT CreatePrintFont(int height, int weight)
{
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    std::wcsncpy(font.lfFaceName, L"Tahoma", LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&font);
}

}  // namespace

void CVLPDlg::PrintCard()
{
    PRINTDLGW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = m_hWnd;
    choice.Flags = PD_RETURNDC;
    m_printDialogOpen = true;
    const bool chosen = ::PrintDlgW(&choice) != FALSE && !m_closeRequested;
    m_printDialogOpen = false;
    // What the dialog allocated is ours to free, chosen or not.
    const win::UniqueGlobal devMode(choice.hDevMode);
    const win::UniqueGlobal devNames(choice.hDevNames);
    const win::UniqueDC printerDC(choice.hDC);
    if (!chosen || !printerDC)
        return;
    const HDC dc = printerDC.get();

    ::PatBlt(dc, 0, 0, ::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES), WHITENESS);
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = L"Velopass";
    if (::StartDocW(dc, &document) < 0)
        return;
    if (::StartPage(dc) < 0) {
        ::AbortDoc(dc);
        return;
    }
    m_paper = velopass::PaperLayout(::GetDeviceCaps(dc, LOGPIXELSX), ::GetDeviceCaps(dc, LOGPIXELSY));

    // The banner as a plain bitmap, unmirrored in every language.
    bool bannerPrinted = false;
    const win::UniqueBitmap banner(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, m_bannerPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (banner) {
        BITMAP size{};
        ::GetObjectW(banner.get(), sizeof(size), &size);
        const win::UniqueDC memory(::CreateCompatibleDC(dc));
        const win::SelectGuard select(memory.get(), banner.get());
        ::SetStretchBltMode(dc, HALFTONE);
        const velopass::Rect to = m_paper.PrintedBanner();
        bannerPrinted = ::StretchBlt(dc, to.left, to.top, to.width(), to.height(), memory.get(), 0, 0, size.bmWidth,
                                     size.bmHeight, SRCCOPY) != FALSE;
    }

    ::SetBkMode(dc, TRANSPARENT);
    const bool rightToLeft = velopass::IsRightToLeft(m_language.view());
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (rightToLeft ? DT_RTLREADING | DT_RIGHT : 0);
    const win::UniqueFont fieldFont(CreatePrintFont(m_paper.ToPrinterX(-10), 0));
    const win::UniqueFont titleFont(CreatePrintFont(m_paper.ToPrinterX(-16), FW_BOLD));
    const auto values = [&] {
        for (int row = 0; row < CardFieldCount; ++row) {
            if (row == CardField::DateOfPurchase) {
                // As typed, saved or not; an ordinary date reads left to right.
                wchar_t typed[Text::kCapacity] = {};
                ::GetWindowTextW(m_valueEdits[row].GetSafeHwnd(), typed, Text::kCapacity);
                DrawBox(dc, typed, m_paper.PrintedValue(row, rightToLeft), format & ~DT_RTLREADING);
            } else {
                DrawBox(dc, m_cardValues[row].c_str(), m_paper.PrintedValue(row, rightToLeft), format);
            }
        }
    };
    DrawLabelsAndTitle(dc,
                       {fieldFont.get(), titleFont.get(),
                        [&](int row) { return m_paper.PrintedLabel(row, rightToLeft); }, m_paper.PrintedTitle(),
                        format, DT_NOPREFIX},
                       bannerPrinted, values);

    const win::UniquePen pen(::CreatePen(PS_SOLID, 5, RGB(0, 0, 0)));
    {
        const win::SelectGuard select(dc, pen.get());
        const velopass::Rect frame = m_paper.PrintedFrame();
        ::LineTo(dc, 0, frame.bottom);
        ::LineTo(dc, frame.right, frame.bottom);
        ::LineTo(dc, frame.right, 0);
        ::LineTo(dc, 0, 0);
    }
    ::EndPage(dc);
    ::EndDoc(dc);
}
