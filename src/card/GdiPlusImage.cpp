#include "card/GdiPlusImage.h"

CGdiPlusImage::~CGdiPlusImage() { Dispose(); }

void CGdiPlusImage::Dispose()
{
    if (m_nativeImage != nullptr) {
        Gdiplus::DllExports::GdipDisposeImage(m_nativeImage);
        m_nativeImage = nullptr;
    }
}

bool CGdiPlusImage::LoadFromFile(const wchar_t* path)
{
    Dispose();
    const Gdiplus::GpStatus status = Gdiplus::DllExports::GdipLoadImageFromFile(path, &m_nativeImage);
    return status == Gdiplus::Ok;
}
