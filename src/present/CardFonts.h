// The card's fonts, and what the screen tells of itself that they and the layout follow.
#pragma once

#include "present/CardLayout.h"
#include "win/Handles.h"

namespace velopass {

// A card font; its face is copied with at most seven characters.
HFONT CreateCardFont(const wchar_t* face, int height, int weight);
// The four screen fonts of one design height (FontIndex order), at the screen's font DPI.
void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, const ScreenState& screen);

// The screen as the card starts on it: its DPI (ClampDpi; 96 when the screen
// cannot be asked), and whether it has the lines the layout needs to scale.
ScreenState ReadScreen();
bool IsScreenLargeEnough();

}  // namespace velopass
