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

// Loads gdiplus.dll and starts it: true once it runs; otherwise it stays unloaded.
bool Startup();
// Ends GDI+, where it runs, and unloads it.
void Shutdown();

// The flat functions the card draws with, while GDI+ runs.
GpStatus LoadImageFromFile(const wchar_t* path, GpImage** image);
GpStatus DisposeImage(GpImage* image);
GpStatus ImageRotateFlip(GpImage* image, Gdiplus::RotateFlipType type);
GpStatus CreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus DrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus DeleteGraphics(GpGraphics* graphics);

using UniqueGraphics = UniqueHandle<GpGraphics*, &DeleteGraphics>;

}  // namespace win::gdiplus
