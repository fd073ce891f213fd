#include "win/GdiPlusImage.h"

CGdiPlusImage::~CGdiPlusImage() { Dispose(); }

void CGdiPlusImage::Dispose()
{
    if (m_nativeImage != nullptr) {
        win::gdiplus::DisposeImage(m_nativeImage);
        m_nativeImage = nullptr;
    }
}

bool CGdiPlusImage::LoadFromFile(const wchar_t* path)
{
    Dispose();
    const Gdiplus::GpStatus status = win::gdiplus::LoadImageFromFile(path, &m_nativeImage);
    return status == Gdiplus::Ok;
}
