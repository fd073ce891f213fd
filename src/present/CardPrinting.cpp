#include "present/CardPrinting.h"

#include "present/CardFonts.h"

namespace velopass {

namespace {

// The page: banner, fonts for paper, the card drawn at the printer's resolution.
void PrintPage(HDC printer, const CardPage& page)
{
    const CardScale paper =
        CardScale::Paper(::GetDeviceCaps(printer, LOGPIXELSX), ::GetDeviceCaps(printer, LOGPIXELSY));
    const win::UniqueBitmap banner(
        static_cast<HBITMAP>(::LoadImageW(nullptr, page.bannerPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    // Tahoma in every language, its heights converted along the page's width.
    const win::UniqueFont fieldFont(CreateCardFont(L"Tahoma", paper.X(-CardDesign::kPrintedFieldFontHeight), 0));
    const win::UniqueFont titleFont(CreateCardFont(L"Tahoma", paper.X(-CardDesign::kPrintedTitleFontHeight), FW_BOLD));
    const CardBoxes boxes = ResolveCard(paper, page.language, /*osMajorVersion, screen only*/ 0);
    DrawCard(printer, boxes, page.content, {fieldFont.get(), titleFont.get()},
             {nullptr, banner.get(), page.titleColour});
}

}  // namespace

bool PrintCardPage(HDC printer, const CardPage& page, const bool& stop)
{
    ::PatBlt(printer, 0, 0, ::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES), WHITENESS);
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = L"Velopass";
    if (::StartDocW(printer, &document) <= 0)  // a job id on success; zero too is a failure
        return false;
    // Once started, the document is ended only when its page came out whole and no stop was asked at any point
    // before; every other way abandons it.
    const bool started = !stop && ::StartPage(printer) > 0;
    if (started) {
        PrintPage(printer, page);
        ::EndPage(printer);
    }
    if (!started || stop) {
        ::AbortDoc(printer);
        return false;
    }
    ::EndDoc(printer);
    return true;
}

}  // namespace velopass
