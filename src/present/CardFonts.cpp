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

void CreateScreenFonts(win::UniqueFont (&fonts)[4], int designHeight, int weight, int dpiY)
{
    static const wchar_t* const kFaces[] = {L"Arial", L"Arial", L"Tahoma", L"Tahoma"};
    for (int index = 0; index < 4; ++index)
        fonts[index].reset(CreateCardFont(kFaces[index], FontHeight(index, designHeight, dpiY), weight));
}

DpiState ReadScreenDpi()
{
    if (const win::ScreenDC screen; screen)
        return ClampDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX), ::GetDeviceCaps(screen.get(), LOGPIXELSY));
    return DpiState{};
}

bool IsScreenLargeEnough()
{
    const win::ScreenDC screen;
    return screen && ::GetDeviceCaps(screen.get(), VERTRES) >= kMinScaledScreenHeight;
}

}  // namespace velopass
