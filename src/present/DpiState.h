// The screen's DPI as the layout uses it, and the screen as the card knows it. Portable.
#pragma once

namespace velopass {

struct DpiState {
    int dpiX = 96;  // the DPI the layout scales by, never above 144
    int dpiY = 96;
};

// The screen as the card knows it: its layout, fonts and banner all derive from this one value.
struct ScreenState {
    DpiState dpi;           // read once: the DPI changes only with a new sign-in
    bool scaled = false;    // at least 768 lines (read again at each display change): the layout scales
    int fontDpiY = 96;      // fixed with the fonts, which are made once: an unscaled card's keep 96-DPI heights
};

}  // namespace velopass
