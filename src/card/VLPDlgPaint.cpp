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
    const RECT band = ToRect(m_screen.BandRect());
    ::FillRect(dc, &band, bandBrush.get());

    const bool rightToLeft = velopass::IsRightToLeft(m_language.view());
    const velopass::BannerPlacement banner = m_screen.Banner(rightToLeft, VelopassApp().OsMajorVersion);
    const CGdiPlusImage* image = banner.image == velopass::BannerImage::Mirrored ? m_mirroredBanner.get()
                                                                                  : m_banner.get();
    bool bannerDrawn = false;
    if (image != nullptr && graphics) {
        const velopass::Rect& to = banner.destination;
        bannerDrawn = win::gdiplus::DrawImageRectI(graphics.get(), image->m_nativeImage, to.left, to.top, to.width(),
                                                   to.height()) == Gdiplus::Ok;
    }

    ::SetBkMode(dc, TRANSPARENT);
    const int fontIndex = m_screen.FontIndex(m_language.view());
    DrawLabelsAndTitle(dc,
                       {m_fieldFonts[fontIndex].get(), m_titleFonts[fontIndex].get(),
                        [this](int row) { return m_screen.LabelRect(row); }, m_screen.TitleRect(),
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, DT_NOPREFIX | (rightToLeft ? DT_RIGHT : 0u)},
                       bannerDrawn);

    for (const win::CEdit& edit : m_valueEdits)
        RedrawNow(edit.GetSafeHwnd());
}

void CVLPDlg::DrawBox(HDC dc, const wchar_t* text, const velopass::Rect& box, UINT format)
{
    RECT rect = ToRect(box);
    ::DrawTextW(dc, text, -1, &rect, format);
}

void CVLPDlg::DrawLabelsAndTitle(HDC dc, const TextLayout& text, bool bannerDrawn,
                                 const std::function<void()>& alsoInLabelFont) const
{
    {
        const win::SelectGuard select(dc, text.labelFont);
        for (int row = 0; row < CardFieldCount; ++row)
            DrawBox(dc, m_labels[row].c_str(), text.labelBox(row), text.labelFormat);
        if (alsoInLabelFont)
            alsoInLabelFont();
    }
    if (velopass::IsTitleWhite(bannerDrawn, m_brand.view()))
        ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    const win::SelectGuard select(dc, text.titleFont);
    DrawBox(dc, m_caption.c_str(), text.titleBox, text.titleFormat);
}
