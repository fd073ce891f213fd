// The card on the screen: its size, the controls' places and fonts, the
// reading direction, and laying it out again when the display changes.
#include "card/VLPDlg.h"

#include "present/CardFonts.h"

using velopass::CardField;
using velopass::CardFieldCount;

namespace {

// The controls keep the template's order, which is the order of Tab and of a screen reader.
void Place(HWND window, const velopass::Rect& rect)
{
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.width(), rect.height(), SWP_NOREDRAW | SWP_NOZORDER);
}

// An edit's alignment, ES_LEFT or ES_RIGHT, is fixed when it is made: an edit's styles cannot change afterwards,
// except those its documentation names, and WS_EX_RIGHT right-aligns only where the system's own language reads
// right to left. An edit of the other alignment is made in its place, at its size before it takes the text (an
// edit scrolls a text it cannot show): unmirrored, as the template's edits were made, with the old one's id,
// place in the Tab order, text, selection, font and focus. Returns the edit to use.
HWND RemakeEdit(HWND edit, LONG style, LONG exStyle, const velopass::Rect& place)
{
    const HWND card = ::GetParent(edit);
    const LONG cardExStyle = ::GetWindowLongW(card, GWL_EXSTYLE);
    ::SetWindowLongW(card, GWL_EXSTYLE, cardExStyle | WS_EX_NOINHERITLAYOUT);
    const HWND made = ::CreateWindowExW(exStyle, L"Edit", nullptr, style, place.left, place.top, place.width(),
                                        place.height(), card,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(::GetDlgCtrlID(edit))),
                                        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(edit, GWLP_HINSTANCE)),
                                        nullptr);
    ::SetWindowLongW(card, GWL_EXSTYLE, cardExStyle);
    if (made == nullptr)
        return edit;
    win::CEdit old;
    old.Attach(edit);
    ::SendMessageW(made, WM_SETFONT, old.SendMessage(WM_GETFONT), FALSE);
    ::SetWindowTextW(made, old.GetWindowText().c_str());
    DWORD start = 0;
    DWORD end = 0;
    old.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    ::SendMessageW(made, EM_SETSEL, start, end);
    ::SetWindowPos(made, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool focused = ::GetFocus() == edit;
    ::DestroyWindow(edit);
    if (focused)
        ::SetFocus(made);
    return made;
}

}  // namespace

void CVLPDlg::DecideScaleLayout()
{
    m_display.scaled = velopass::IsScreenLargeEnough();
    ResolveScreen();
}

// An unscaled layout is the 96-DPI one.
void CVLPDlg::ResolveScreen()
{
    const velopass::DpiState dpi = m_display.scaled ? m_display.dpi : velopass::DpiState{};
    m_screen = velopass::ResolveCard(velopass::CardScale::Screen(dpi, m_display.scaled), m_language.view(),
                                     m_osMajorVersion);
}

// The client size plus half a frame, and the caption: no other border is allowed for.
void CVLPDlg::SizeCard()
{
    const int width = m_screen.client.width() + ::GetSystemMetrics(SM_CXFRAME) / 2;
    const int height =
        m_screen.client.height() + ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFRAME) / 2;
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
}

// From the style the dialog was made with, so that leaving Arabic undoes it.
void CVLPDlg::SetReadingDirection() const
{
    const LONG rtl = m_screen.rightToLeft ? WS_EX_LAYOUTRTL : 0;
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, m_savedExStyle | rtl);
}

void CVLPDlg::PlaceEdits()
{
    for (int row = 0; row < CardFieldCount; ++row)
        Place(m_valueEdits[row].GetSafeHwnd(), m_screen.values[row]);
}

void CVLPDlg::LayoutEditColumn()
{
    const LONG alignment = m_screen.rightToLeft ? ES_RIGHT : ES_LEFT;
    const LONG exStyle = m_editExStyle | (m_screen.rightToLeft ? WS_EX_RIGHT : 0);
    for (int row = 0; row < CardFieldCount; ++row) {
        win::CEdit& edit = m_valueEdits[row];
        const LONG style = ::GetWindowLongW(edit.GetSafeHwnd(), GWL_STYLE);
        if ((style & (ES_CENTER | ES_RIGHT)) != alignment)
            edit.Attach(RemakeEdit(edit.GetSafeHwnd(), (style & ~(ES_CENTER | ES_RIGHT)) | alignment, exStyle,
                                   m_screen.values[row]));
        ::SetWindowLongW(edit.GetSafeHwnd(), GWL_EXSTYLE, exStyle);
    }
    PlaceEdits();
    m_valueEdits[CardField::DateOfPurchase].SendMessage(EM_LIMITTEXT, 12);
}

// Once: a card started unscaled keeps its 96-DPI fonts even once the layout scales.
void CVLPDlg::MakeScreenFonts()
{
    velopass::CreateScreenFonts(m_fieldFonts, velopass::CardDesign::kFieldFontHeight, 0, m_display);
    velopass::CreateScreenFonts(m_titleFonts, velopass::CardDesign::kTitleFontHeight, FW_BOLD, m_display);
}

// By the DPI alone, whether or not the layout scales; an empty brand keeps Zell's.
void CVLPDlg::ChooseBanner()
{
    if (!m_brand.empty())
        m_bannerPath = velopass::BannerFile(m_brand.view(), m_display.dpi.dpiX);
}

void CVLPDlg::LayoutButtons()
{
    Place(m_closeButton.GetSafeHwnd(), m_screen.closeButton);
    Place(m_printButton.GetSafeHwnd(), m_screen.printButton);
}

void CVLPDlg::ApplyControlFonts()
{
    const HFONT font = m_fieldFonts[m_screen.font].get();
    if (font == nullptr)
        return;
    // The date keeps the template's font.
    for (int field : {CardField::ProductName, CardField::SerialNumber, CardField::Snid, CardField::PartNumber,
                      CardField::Fub, CardField::Dlr})
        m_valueEdits[field].SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_closeButton.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_printButton.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void CVLPDlg::RelayoutCard()
{
    SizeCard();
    PlaceEdits();
    LayoutButtons();
    ApplyControlFonts();
}

void CVLPDlg::RedrawNow(HWND window) const
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CVLPDlg::OnDisplayChange()
{
    if (m_display.dpi.dpiX <= 96)
        return;
    // A minimised card lays itself out when it is shown again.
    if (::IsIconic(m_hWnd)) {
        m_displayChangePending = true;
        return;
    }
    DecideScaleLayout();
    RelayoutCard();
    RedrawNow(m_hWnd);
}

void CVLPDlg::OnActivate(UINT, bool minimised)
{
    if (!m_displayChangePending || minimised)
        return;
    m_displayChangePending = false;
    DecideScaleLayout();
    RelayoutCard();
    RedrawNow(m_hWnd);
}
