// The card drawn on a device context: one routine for the screen and for
// paper, the printed page around it, and what the screen tells of itself.
#pragma once

#include "present/CardLayout.h"
#include "text/FixedText.h"
#include "win/GdiPlusImage.h"
#include "win/Handles.h"

#include <optional>

namespace velopass {

// What the card shows in words.
struct CardContent {
    const Text* labels;  // seven, in CardField order
    const Text* values;  // seven, printed on paper (the date as typed); on screen the edits show them
    const Text& title;
    std::wstring_view brand;
    bool rightToLeft;
};

struct CardFonts {
    HFONT label;  // also the values' on paper; null: the context's own
    HFONT title;
};

// The banner: on screen the picture GDI+ holds, on paper the bitmap file's.
struct CardBanner {
    const CGdiPlusImage* image;
    HBITMAP bitmap;
};

// Band (screen), banner, labels, values (paper), title in its colour over the
// banner, frame (paper): the boxes tell the surface.
void DrawCard(HDC dc, const CardBoxes& boxes, const CardContent& content, const CardFonts& fonts,
              const CardBanner& banner);

// The card on one page of the printer's context, as the document "Velopass",
// with the banner from its bitmap file; the printer's resolution once a page
// has begun, nothing when none could.
struct PrinterDpi {
    int x, y;
};
std::optional<PrinterDpi> PrintCardPage(HDC printer, const CardContent& content, const wchar_t* bannerPath);

// A card font; its face is copied with at most seven characters.
HFONT CreateCardFont(const wchar_t* face, int height, int weight);
// The four screen fonts of one design height (FontIndex order), at the DPI held.
void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, const DpiState& dpi);

// The screen's DPI (ClampDpi), and whether it has the lines the layout needs to scale.
void ReadScreenDpi(DpiState& dpi);
bool IsScreenLargeEnough();

}  // namespace velopass
