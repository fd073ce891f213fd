// Printing the card: ask for a printer, then print the card's page on it.
#include "card/VLPDlg.h"

#include "card/PrintJob.h"
#include "present/CardPrinting.h"

#include <commdlg.h>

#include <algorithm>

void CVLPDlg::PrintCard()
{
    if (m_printing)  // pressed again while the page spools
        return;
    SaveTypedDate();
    PRINTDLGW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = m_hWnd;
    choice.Flags = PD_RETURNDC;
    m_printing = true;
    const bool chosen = ::PrintDlgW(&choice) != FALSE && !m_closeRequested;
    // What the dialog allocated is ours to free, chosen or not.
    const win::UniqueGlobal devMode(choice.hDevMode);
    const win::UniqueGlobal devNames(choice.hDevNames);
    const win::UniqueDC printer(choice.hDC);
    if (chosen && printer) {
        // The card answers its messages while the page spools: what is printed is taken now.
        const velopass::CardTexts texts = m_texts;
        const Text language = m_language;
        const Text bannerPath = m_bannerPath;
        // The stored values, but the date of purchase as typed, saved or not.
        Text values[velopass::CardFieldCount];
        std::copy(std::begin(m_cardValues), std::end(m_cardValues), std::begin(values));
        values[velopass::DateOfPurchase] = m_valueEdits[velopass::DateOfPurchase].GetWindowText();
        ::SetAbortProc(printer.get(), velopass::AnswerMessagesWhileSpooling);
        velopass::PrintCardPage(printer.get(),
                                {{texts.m_labels, values, texts.m_caption}, language.view(), bannerPath.c_str(),
                                 m_titleColour},
                                m_closeRequested);
    }
    m_printing = false;
}
