// GDI+ through its flat interface, loaded from System32 when it starts.
// (GDI+ needs the OLE property types, which WIN32_LEAN_AND_MEAN leaves out.)
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "win/Handles.h"

namespace win::gdiplus {

using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpStatus;

// Loads gdiplus.dll and starts it; on anything but Ok it stays unloaded.
GpStatus Startup(ULONG_PTR* token);
// Ends GDI+ and unloads it.
void Shutdown(ULONG_PTR token);

// The flat functions the card draws with; each answers GdiplusNotInitialized
// while GDI+ is not running.
GpStatus LoadImageFromFile(const wchar_t* path, GpImage** image);
GpStatus DisposeImage(GpImage* image);
GpStatus ImageRotateFlip(GpImage* image, Gdiplus::RotateFlipType type);
GpStatus CreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus DrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus DeleteGraphics(GpGraphics* graphics);

using UniqueGraphics = UniqueHandle<GpGraphics*, &DeleteGraphics>;

}  // namespace win::gdiplus
