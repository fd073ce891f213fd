#include "present/CardPrinting.h"

#include "present/CardFonts.h"

namespace velopass {

namespace {

// Asked by the system while a job starts and spools (and where a driver shows
// a dialog of its own, that dialog's loop answers them too): the card's
// messages are answered meanwhile, so a request to close is heard at once.
BOOL CALLBACK AnswerMessages(HDC, int)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!::IsDialogMessageW(::GetAncestor(message.hwnd, GA_ROOT), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return TRUE;
}

// The page: banner, fonts for paper, the card drawn; the printer's resolution.
PrinterDpi PrintPage(HDC printer, const CardPage& page)
{
    const PrinterDpi dpi{::GetDeviceCaps(printer, LOGPIXELSX), ::GetDeviceCaps(printer, LOGPIXELSY)};
    const CardScale paper = CardScale::Paper(dpi.x, dpi.y);
    const win::UniqueBitmap banner(
        static_cast<HBITMAP>(::LoadImageW(nullptr, page.bannerPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    // Tahoma in every language, its heights converted along the page's width.
    const win::UniqueFont fieldFont(CreateCardFont(L"Tahoma", paper.X(-CardDesign::kPrintedFieldFontHeight), 0));
    const win::UniqueFont titleFont(CreateCardFont(L"Tahoma", paper.X(-CardDesign::kPrintedTitleFontHeight), FW_BOLD));
    const CardBoxes boxes = ResolveCard(paper, page.language, /*osMajorVersion, screen only*/ 0);
    DrawCard(printer, boxes, page.content, {fieldFont.get(), titleFont.get()},
             {nullptr, banner.get(), page.titleColour});
    return dpi;
}

}  // namespace

std::optional<PrinterDpi> PrintCardPage(HDC printer, const CardPage& page, const bool& stop)
{
    ::PatBlt(printer, 0, 0, ::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES), WHITENESS);
    ::SetAbortProc(printer, AnswerMessages);
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = L"Velopass";
    if (::StartDocW(printer, &document) <= 0)  // a job id on success; zero too is a failure
        return std::nullopt;
    // Once started, the document is ended only when its page came out whole and no stop was asked at any point
    // before; every other way abandons it.
    std::optional<PrinterDpi> dpi;
    if (!stop && ::StartPage(printer) > 0) {
        dpi = PrintPage(printer, page);
        ::EndPage(printer);
    }
    if (!dpi || stop) {
        ::AbortDoc(printer);
        return std::nullopt;
    }
    ::EndDoc(printer);
    return dpi;
}

}  // namespace velopass
