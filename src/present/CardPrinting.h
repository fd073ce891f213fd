// The card's print job: one document of one page on a printer's context, with
// the banner from its bitmap file and Tahoma for paper; CardDrawing draws it.
#pragma once

#include "present/CardDrawing.h"

#include <optional>

namespace velopass {

struct PrinterDpi {
    int x, y;
};

// What the page shows: the words, in their language, under the banner's bitmap file.
struct CardPage {
    CardContent content;
    std::wstring_view language;
    const wchar_t* bannerPath;
    COLORREF titleColour;
};

// The card on one page, as the document "Velopass"; the printer's resolution
// once the page is printed, nothing when it is not. While the job starts and
// spools the card goes on answering its messages; a `stop` set meanwhile (a
// request to close) abandons the document, and nothing reaches the printer.
std::optional<PrinterDpi> PrintCardPage(HDC printer, const CardPage& page, const bool& stop);

}  // namespace velopass
