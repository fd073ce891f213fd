// The card's fonts, and what the screen tells of itself that they and the layout follow.
#pragma once

#include "present/CardLayout.h"
#include "win/Handles.h"

namespace velopass {

// A card font; its face is copied with at most seven characters.
HFONT CreateCardFont(const wchar_t* face, int height, int weight);
// The four screen fonts of one design height (FontIndex order), at the DPI held.
void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, const DpiState& dpi);

// The screen's DPI (ClampDpi), and whether it has the lines the layout needs to scale.
void ReadScreenDpi(DpiState& dpi);
bool IsScreenLargeEnough();

}  // namespace velopass
