// The card's print job: one document of one page on a printer's context, with
// the banner from its bitmap file and Tahoma for paper; CardDrawing draws it.
#pragma once

#include "present/CardDrawing.h"

namespace velopass {

// What the page shows: the words, in their language, under the banner's bitmap file.
struct CardPage {
    CardContent content;
    std::wstring_view language;
    const wchar_t* bannerPath;
    COLORREF titleColour;
};

// The card on one page, as the document "Velopass"; whether it was printed. A
// `stop` set while the job starts and spools (a request to close, heard by the
// job's abort procedure) abandons the document: nothing reaches the printer.
bool PrintCardPage(HDC printer, const CardPage& page, const bool& stop);

}  // namespace velopass
