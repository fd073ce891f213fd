#include "win/GdiPlus.h"

#include "win/SystemLibrary.h"

#include <optional>

namespace win::gdiplus {

namespace {

// Each member is the export of that name, typed as the header declares it.
#define GDIPLUS_FUNCTION(scope, name) decltype(&scope::name) name = Find<decltype(scope::name)>(#name)

struct Api {
    SystemLibrary library{L"gdiplus.dll"};
    int missing = 0;  // exports not found: all of them when the library is not there
    ULONG_PTR token = 0;

    template <typename Function>
    Function* Find(const char* name)
    {
        Function* const found = library.Find<Function>(name);
        missing += found == nullptr;
        return found;
    }

    GDIPLUS_FUNCTION(Gdiplus, GdiplusStartup);
    GDIPLUS_FUNCTION(Gdiplus, GdiplusShutdown);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipLoadImageFromFile);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipDisposeImage);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipImageRotateFlip);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipCreateFromHDC);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipDrawImageRectI);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipDeleteGraphics);
};

#undef GDIPLUS_FUNCTION

// GDI+ is one per process, and so is its library.
std::optional<Api> running;

}  // namespace

bool Startup()
{
    Api& api = running.emplace();
    const Gdiplus::GdiplusStartupInput input;
    const GpStatus status =
        api.missing == 0 ? api.GdiplusStartup(&api.token, &input, nullptr) : Gdiplus::GdiplusNotInitialized;
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
