#include "win/GdiPlus.h"

#include "win/SystemLibrary.h"

#include <memory>
#include <new>

namespace win::gdiplus {

namespace {

// Each member is the export of that name, typed as the header declares it.
#define GDIPLUS_FUNCTION(scope, name) decltype(&scope::name) name = library.Find<decltype(scope::name)>(#name)

struct Api {
    SystemLibrary library{L"gdiplus.dll"};
    GDIPLUS_FUNCTION(Gdiplus, GdiplusStartup);
    GDIPLUS_FUNCTION(Gdiplus, GdiplusShutdown);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipLoadImageFromFile);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipDisposeImage);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipImageRotateFlip);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipCreateFromHDC);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipDrawImageRectI);
    GDIPLUS_FUNCTION(Gdiplus::DllExports, GdipDeleteGraphics);

    bool complete() const
    {
        return GdiplusStartup && GdiplusShutdown && GdipLoadImageFromFile && GdipDisposeImage &&
               GdipImageRotateFlip && GdipCreateFromHDC && GdipDrawImageRectI && GdipDeleteGraphics;
    }
};

#undef GDIPLUS_FUNCTION

// GDI+ is one per process, and so is its library.
std::unique_ptr<Api> running;

template <typename Call>
GpStatus IfRunning(Call call)
{
    return running ? call(*running) : Gdiplus::GdiplusNotInitialized;
}

}  // namespace

GpStatus Startup(ULONG_PTR* token)
{
    auto api = std::unique_ptr<Api>(new (std::nothrow) Api);
    if (!api || !api->complete())
        return Gdiplus::GdiplusNotInitialized;
    const Gdiplus::GdiplusStartupInput input;
    const GpStatus status = api->GdiplusStartup(token, &input, nullptr);
    if (status == Gdiplus::Ok)
        running = std::move(api);
    return status;
}

void Shutdown(ULONG_PTR token)
{
    if (!running)
        return;
    running->GdiplusShutdown(token);
    running.reset();
}

GpStatus LoadImageFromFile(const wchar_t* path, GpImage** image)
{
    return IfRunning([&](const Api& api) { return api.GdipLoadImageFromFile(path, image); });
}

GpStatus DisposeImage(GpImage* image)
{
    return IfRunning([&](const Api& api) { return api.GdipDisposeImage(image); });
}

GpStatus ImageRotateFlip(GpImage* image, Gdiplus::RotateFlipType type)
{
    return IfRunning([&](const Api& api) { return api.GdipImageRotateFlip(image, type); });
}

GpStatus CreateFromHDC(HDC dc, GpGraphics** graphics)
{
    return IfRunning([&](const Api& api) { return api.GdipCreateFromHDC(dc, graphics); });
}

GpStatus DrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height)
{
    return IfRunning([&](const Api& api) { return api.GdipDrawImageRectI(graphics, image, x, y, width, height); });
}

GpStatus DeleteGraphics(GpGraphics* graphics)
{
    return IfRunning([&](const Api& api) { return api.GdipDeleteGraphics(graphics); });
}

}  // namespace win::gdiplus
