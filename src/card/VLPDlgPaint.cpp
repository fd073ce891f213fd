// Painting the card: take the paint context, draw the card's boxes into it.
#include "card/VLPDlg.h"

#include "present/CardDrawing.h"

namespace {

// The colour scheme's: the labels in the window's text colour, the band in the buttons' face colour (the
// design's grey, 240, 240, 240, in Windows' default scheme).
velopass::CardColours SchemeColours()
{
    return {::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_BTNFACE)};
}

}  // namespace

void CVLPDlg::OnPaint()
{
    {
        const win::PaintScope paint(m_hWnd);
        velopass::DrawCard(paint.dc(), m_screen, {m_texts.m_labels, nullptr, m_texts.m_caption},
                           {m_fieldFonts[m_screen.font].get(), m_titleFonts[m_screen.font].get()},
                           {m_screen.mirroredBanner ? m_mirroredBanner.get() : m_banner.get(), nullptr,
                            m_titleColour},
                           SchemeColours());
    }
    // The dialog does not clip its children: the edits paint over what was drawn.
    for (const win::CEdit& edit : m_valueEdits)
        RedrawNow(edit.GetSafeHwnd());
}
