// The card's layout on the screen: sizes, positions, fonts, reading direction.
#include "card/VLPDlg.h"

#include "card/resource.h"
#include "text/Language.h"

#include <cwchar>

using velopass::CardField;
using velopass::CardFieldCount;
using velopass::Rect;

namespace {

// Font faces are short: at most seven characters are copied.
HFONT CreateCardFont(const wchar_t* face, int height, int weight)
{
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    std::wcsncpy(font.lfFaceName, face, 7);
    return ::CreateFontIndirectW(&font);
}

void CreateFontSet(win::UniqueFont (&fonts)[4], const velopass::ScreenLayout& layout, int designHeight, int weight)
{
    static const wchar_t* const kFaces[] = {L"Arial", L"Arial", L"Tahoma", L"Tahoma"};
    for (int index = 0; index < 4; ++index)
        fonts[index].reset(CreateCardFont(kFaces[index], layout.FontHeight(index, designHeight), weight));
}

void Place(HWND window, const Rect& rect)
{
    ::SetWindowPos(window, HWND_TOP, rect.left, rect.top, rect.width(), rect.height(), SWP_NOREDRAW);
}

}  // namespace

void CVLPDlg::ReadScreenDpi(velopass::DpiState& dpi)
{
    if (const win::ScreenDC screen; screen)
        velopass::ClampDpi(dpi, ::GetDeviceCaps(screen.get(), LOGPIXELSX), ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

void CVLPDlg::DecideScaleLayout()
{
    const win::ScreenDC screen;
    const int height = screen ? ::GetDeviceCaps(screen.get(), VERTRES) : 0;
    m_screen.m_dpi.scaleLayout = height >= velopass::kMinScaledScreenHeight;
}

void CVLPDlg::SizeCard()
{
    const int width = m_screen.WindowWidth(::GetSystemMetrics(SM_CXFRAME));
    const int height = m_screen.WindowHeight(::GetSystemMetrics(SM_CYFRAME), ::GetSystemMetrics(SM_CYCAPTION));
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
}

void CVLPDlg::ApplyReadingDirection()
{
    m_savedExStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetReadingDirection();
    m_editExStyle = ::GetWindowLongW(m_valueEdits[CardField::ProductName].GetSafeHwnd(), GWL_EXSTYLE);
}

// From the style the dialog was made with, so that leaving Arabic undoes it.
void CVLPDlg::SetReadingDirection() const
{
    const LONG rtl = velopass::IsRightToLeft(m_language.view()) ? WS_EX_LAYOUTRTL : 0;
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, m_savedExStyle | rtl);
}

void CVLPDlg::PlaceEdits()
{
    for (int row = 0; row < CardFieldCount; ++row)
        Place(m_valueEdits[row].GetSafeHwnd(), m_screen.EditRect(row));
}

void CVLPDlg::LayoutEditColumn()
{
    PlaceEdits();
    const LONG alignment = velopass::IsRightToLeft(m_language.view()) ? WS_EX_RIGHT : 0;
    for (win::CEdit& edit : m_valueEdits)
        ::SetWindowLongW(edit.GetSafeHwnd(), GWL_EXSTYLE, m_editExStyle | alignment);
    m_valueEdits[CardField::DateOfPurchase].SendMessage(EM_LIMITTEXT, 12);
}

void CVLPDlg::CreateFieldFonts() { CreateFontSet(m_fieldFonts, m_screen, 12, 0); }

void CVLPDlg::CreateTitleFonts() { CreateFontSet(m_titleFonts, m_screen, 18, FW_BOLD); }

void CVLPDlg::ChooseBanner()
{
    if (!m_brand.empty())
        m_bannerPath = m_screen.BannerFile(m_brand.view());
}

void CVLPDlg::LayoutButtons()
{
    Place(m_closeButton.GetSafeHwnd(), m_screen.CloseButtonRect());
    Place(m_printButton.GetSafeHwnd(), m_screen.PrintButtonRect());
}

void CVLPDlg::ApplyControlFonts()
{
    const HFONT font = m_fieldFonts[m_screen.FontIndex(m_language.view())].get();
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
    m_screen.EnsureDpi();
    if (m_screen.m_dpi.dpiX <= 96)
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

void CVLPDlg::OnActivate(WPARAM state)
{
    if (!m_displayChangePending || HIWORD(state) != 0)
        return;
    m_displayChangePending = false;
    DecideScaleLayout();
    RelayoutCard();
    RedrawNow(m_hWnd);
}
