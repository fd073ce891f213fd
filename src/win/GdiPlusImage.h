// Holds one GDI+ image and disposes of it.
#pragma once

#include "win/GdiPlus.h"

class CGdiPlusImage {
public:
    CGdiPlusImage() = default;
    virtual ~CGdiPlusImage();
    CGdiPlusImage(const CGdiPlusImage&) = delete;
    CGdiPlusImage& operator=(const CGdiPlusImage&) = delete;

    // Replaces the held image with the file's; true only when the file loaded.
    bool LoadFromFile(const wchar_t* path);

    Gdiplus::GpImage* m_nativeImage = nullptr;

private:
    void Dispose();
};
