// Painting the card: take the paint context, draw the card's boxes into it.
#include "card/VLPDlg.h"

#include "present/CardDrawing.h"

namespace {

// The colour scheme's: the labels in the window's text colour; the band in the buttons' face colour once the
// window is not the design's white (a high-contrast scheme), and the design's grey while it is, whatever grey
// the system gives its buttons.
velopass::CardColours SchemeColours()
{
    const bool designWhite = ::GetSysColor(COLOR_WINDOW) == RGB(0xFF, 0xFF, 0xFF);
    return {::GetSysColor(COLOR_WINDOWTEXT),
            designWhite ? velopass::CardDesign::m_bandColour : ::GetSysColor(COLOR_BTNFACE)};
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
