// Printing the card: ask for a printer, then print the card's page on it.
#include "card/VLPDlg.h"

#include "present/CardDrawing.h"
#include "text/Language.h"

#include <commdlg.h>

#include <algorithm>

void CVLPDlg::PrintCard()
{
    PRINTDLGW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = m_hWnd;
    choice.Flags = PD_RETURNDC;
    m_printDialogOpen = true;
    const bool chosen = ::PrintDlgW(&choice) != FALSE && !m_closeRequested;
    m_printDialogOpen = false;
    // What the dialog allocated is ours to free, chosen or not.
    const win::UniqueGlobal devMode(choice.hDevMode);
    const win::UniqueGlobal devNames(choice.hDevNames);
    const win::UniqueDC printer(choice.hDC);
    if (!chosen || !printer)
        return;
    // The stored values, but the date of purchase as typed, saved or not.
    Text values[velopass::CardFieldCount];
    std::copy(std::begin(m_cardValues), std::end(m_cardValues), std::begin(values));
    values[velopass::DateOfPurchase] = m_valueEdits[velopass::DateOfPurchase].GetWindowText();
    const auto page = velopass::PrintCardPage(
        printer.get(),
        {m_texts.m_labels, values, m_texts.m_caption, m_brand.view(), velopass::IsRightToLeft(m_language.view())},
        m_bannerPath.c_str());
    if (page) {
        m_printerDpiX = page->x;
        m_printerDpiY = page->y;
    }
}
