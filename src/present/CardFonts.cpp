#include "present/CardFonts.h"

#include <cwchar>

namespace velopass {

HFONT CreateCardFont(const wchar_t* face, int height, int weight)
{
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    std::wcsncpy(font.lfFaceName, face, 7);
    return ::CreateFontIndirectW(&font);
}

void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, const ScreenState& screen)
{
    static const wchar_t* const kFaces[] = {L"Arial", L"Arial", L"Tahoma", L"Tahoma"};
    const CardScale scale = CardScale::Screen({screen.dpi.dpiX, screen.fontDpiY}, true);
    for (int index = 0; index < 4; ++index)
        fonts[index].reset(CreateCardFont(kFaces[index], FontHeight(index, designHeight, scale), weight));
}

ScreenState ReadScreen()
{
    ScreenState state;
    if (const win::ScreenDC screen; screen)
        state.dpi = ClampDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX), ::GetDeviceCaps(screen.get(), LOGPIXELSY));
    state.scaled = IsScreenLargeEnough();
    state.fontDpiY = state.scaled ? state.dpi.dpiY : 96;
    return state;
}

bool IsScreenLargeEnough()
{
    const win::ScreenDC screen;
    return screen && ::GetDeviceCaps(screen.get(), VERTRES) >= kMinScaledScreenHeight;
}

}  // namespace velopass
