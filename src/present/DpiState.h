// The screen's DPI as the layout uses it. Portable.
#pragma once

namespace velopass {

struct DpiState {
    int dpiX = 96;  // the DPI the layout scales by, never above 144
    int dpiY = 96;
};

}  // namespace velopass
