// Painting the card: grey band, banner, labels, title.
#include "card/VLPDlg.h"

#include "app/VLPApp.h"
#include "text/Language.h"

using velopass::CardFieldCount;

void CVLPDlg::OnPaint()
{
    const win::PaintScope paint(m_hWnd);
    const HDC dc = paint.dc();
    Gdiplus::GpGraphics* created = nullptr;
    win::gdiplus::CreateFromHDC(dc, &created);
    const win::gdiplus::UniqueGraphics graphics(created);

    const win::UniqueBrush bandBrush(::CreateSolidBrush(m_bandColour));
    const RECT band = ToRect(BandRect());
    ::FillRect(dc, &band, bandBrush.get());

    const bool rightToLeft = velopass::IsRightToLeft(m_language.view());
    const velopass::BannerPlacement banner = Banner(rightToLeft, VelopassApp().OsMajorVersion);
    const CGdiPlusImage* image = banner.image == velopass::BannerImage::Mirrored ? m_mirroredBanner.get()
                                                                                  : m_banner.get();
    bool bannerDrawn = false;
    if (image != nullptr && graphics) {
        const velopass::Rect& to = banner.destination;
        bannerDrawn = win::gdiplus::DrawImageRectI(graphics.get(), image->m_nativeImage, to.left, to.top, to.width(),
                                                   to.height()) == Gdiplus::Ok;
    }

    ::SetBkMode(dc, TRANSPARENT);
    const int fontIndex = FontIndex(m_language.view());
    const HFONT labelFont = m_fieldFonts[fontIndex].get();
    if (labelFont != nullptr)
        m_previousFont = static_cast<HFONT>(::SelectObject(dc, labelFont));
    for (int row = 0; row < CardFieldCount; ++row) {
        RECT box = ToRect(LabelRect(row));
        ::DrawTextW(dc, m_labels[row].c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (velopass::IsTitleWhite(bannerDrawn, m_brand.view()))
        ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    if (labelFont != nullptr)
        ::SelectObject(dc, m_previousFont);

    const HFONT titleFont = m_titleFonts[fontIndex].get();
    if (titleFont != nullptr)
        m_previousFont = static_cast<HFONT>(::SelectObject(dc, titleFont));
    RECT title = ToRect(TitleRect());
    ::DrawTextW(dc, m_caption.c_str(), -1, &title, DT_NOPREFIX | (rightToLeft ? DT_RIGHT : 0));
    if (titleFont != nullptr)
        ::SelectObject(dc, m_previousFont);

    for (const win::CEdit& edit : m_valueEdits)
        RedrawNow(edit.GetSafeHwnd());
}
