#include "win/GdiPlus.h"

#include "win/SystemLibrary.h"

#include <optional>

namespace win::gdiplus {

namespace {

struct Api {
    SystemLibrary library{L"gdiplus.dll"};
    DllFunctions dll{library.Module()};
    ULONG_PTR token = 0;
    WIN_FUNCTION(dll, Gdiplus, GdiplusStartup);
    WIN_FUNCTION(dll, Gdiplus, GdiplusShutdown);
    WIN_FUNCTION(dll, Gdiplus::DllExports, GdipLoadImageFromFile);
    WIN_FUNCTION(dll, Gdiplus::DllExports, GdipDisposeImage);
    WIN_FUNCTION(dll, Gdiplus::DllExports, GdipImageRotateFlip);
    WIN_FUNCTION(dll, Gdiplus::DllExports, GdipCreateFromHDC);
    WIN_FUNCTION(dll, Gdiplus::DllExports, GdipDrawImageRectI);
    WIN_FUNCTION(dll, Gdiplus::DllExports, GdipDeleteGraphics);
};

// GDI+ is one per process, and so is its library.
std::optional<Api> running;

}  // namespace

bool Startup()
{
    Api& api = running.emplace();
    const Gdiplus::GdiplusStartupInput input;
    const GpStatus status =
        api.dll.Complete() ? api.GdiplusStartup(&api.token, &input, nullptr) : Gdiplus::GdiplusNotInitialized;
    if (status != Gdiplus::Ok)
        running.reset();
    return status == Gdiplus::Ok;
}

void Shutdown()
{
    if (!running)
        return;
    running->GdiplusShutdown(running->token);
    running.reset();
}

GpStatus LoadImageFromFile(const wchar_t* path, GpImage** image)
{
    return running->GdipLoadImageFromFile(path, image);
}

GpStatus DisposeImage(GpImage* image)
{
    return running->GdipDisposeImage(image);
}

GpStatus ImageRotateFlip(GpImage* image, Gdiplus::RotateFlipType type)
{
    return running->GdipImageRotateFlip(image, type);
}

GpStatus CreateFromHDC(HDC dc, GpGraphics** graphics)
{
    return running->GdipCreateFromHDC(dc, graphics);
}

GpStatus DrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height)
{
    return running->GdipDrawImageRectI(graphics, image, x, y, width, height);
}

GpStatus DeleteGraphics(GpGraphics* graphics)
{
    return running->GdipDeleteGraphics(graphics);
}

}  // namespace win::gdiplus
