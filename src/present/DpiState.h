// The screen's DPI as the layout uses it. Portable.
#pragma once

namespace velopass {

struct DpiState {
    int realDpiX = 0;  // the DPI as read, kept only when above the cap
    int realDpiY = 0;
    int dpiX = 96;     // the DPI the layout scales by, never above 144
    int dpiY = 96;
};

}  // namespace velopass
