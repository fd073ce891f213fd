// Painting the card: take the paint context, draw the card's boxes into it.
#include "card/VLPDlg.h"

#include "present/CardDrawing.h"
#include "text/Language.h"

void CVLPDlg::OnPaint()
{
    const int font = velopass::FontIndex(m_language.view(), m_dpi.scaleLayout);
    {
        const win::PaintScope paint(m_hWnd);
        velopass::DrawCard(paint.dc(), m_screen,
                           {m_texts.m_labels, nullptr, m_texts.m_caption, m_brand.view(),
                            velopass::IsRightToLeft(m_language.view())},
                           {m_fieldFonts[font].get(), m_titleFonts[font].get()},
                           {m_screen.mirroredBanner ? m_mirroredBanner.get() : m_banner.get(), nullptr});
    }
    // The dialog does not clip its children: the edits paint over what was drawn.
    for (const win::CEdit& edit : m_valueEdits)
        RedrawNow(edit.GetSafeHwnd());
}
