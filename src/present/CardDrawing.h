// The card drawn on a device context: one routine for the screen and for paper.
#pragma once

#include "present/CardLayout.h"
#include "text/FixedText.h"
#include "win/GdiPlusImage.h"
#include "win/Handles.h"

namespace velopass {

// What the card shows in words.
struct CardContent {
    const Text* labels;  // seven, in CardField order
    const Text* values;  // seven, printed on paper (the date as typed); on screen the edits show them
    const Text& title;
};

struct CardFonts {
    HFONT label;  // also the values' on paper; null: the context's own
    HFONT title;
};

// The banner: on screen the picture GDI+ holds, on paper the bitmap file's;
// and the colour the title takes over it (where none was drawn, the context's own).
struct CardBanner {
    const CGdiPlusImage* image;
    HBITMAP bitmap;
    COLORREF titleColour;
};

// The words' colour and the band's (screen only): the colour scheme's on
// screen; paper stays black on white.
struct CardColours {
    COLORREF text;
    COLORREF band;
};
inline constexpr CardColours kPaperColours{RGB(0, 0, 0), RGB(0xFF, 0xFF, 0xFF)};

// Band (screen), banner, labels, values (paper), title in its colour over the
// banner, frame (paper): the boxes tell the surface.
void DrawCard(HDC dc, const CardBoxes& boxes, const CardContent& content, const CardFonts& fonts,
              const CardBanner& banner, const CardColours& colours = kPaperColours);

}  // namespace velopass
