// The screen's DPI as the layout uses it. Portable.
#pragma once

namespace velopass {

struct DpiState {
    bool queried = false;  // the screen's DPI has been read
    int realDpiX = 0;      // the DPI as read, kept only when above the cap
    int realDpiY = 0;
    int dpiX = 96;         // the DPI the layout scales by, never above 144
    int dpiY = 96;
    bool scaleLayout = false;  // the screen is at least 768 lines high
};

}  // namespace velopass
