// The card's fonts, and what the screen tells of itself that they and the layout follow.
#pragma once

#include "present/CardLayout.h"
#include "win/Handles.h"

namespace velopass {

// A card font; its face is copied with at most seven characters.
HFONT CreateCardFont(const wchar_t* face, int height, int weight);
// The four screen fonts of one design height (FontIndex order), at that vertical DPI.
void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, int dpiY);

// The screen's DPI (ClampDpi; 96 when the screen cannot be asked), and whether
// it has the lines the layout needs to scale.
DpiState ReadScreenDpi();
bool IsScreenLargeEnough();

}  // namespace velopass
