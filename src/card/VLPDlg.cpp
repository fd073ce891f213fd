#include "card/VLPDlg.h"

#include "card/AccessibleEdit.h"
#include "card/PrintJob.h"
#include "card/SessionEnd.h"
#include "card/resource.h"
#include "machine/Brand.h"
#include "machine/DataFile.h"
#include "machine/Registry.h"
#include "machine/SystemValues.h"
#include "machine/Wmi.h"
#include "present/CardFonts.h"
#include "text/TextFile.h"
#include "win/SystemLibrary.h"
#include "win/WinApp.h"

#include <new>
#include <string_view>
#include <utility>

using velopass::CardField;
using velopass::CardFieldCount;

CVLPDlg::CVLPDlg(const velopass::LanguageCode& language, int osMajorVersion, const velopass::CardTexts& texts,
                 velopass::SystemProductQuery& query)
    : CDialog(IDD_CARD), m_osMajorVersion(osMajorVersion), m_query(query), m_language(language),
      m_textFilePath(velopass::kTextFilePath), m_texts(texts)
{
}

// Fonts, images and the language arrays are normally gone with CloseCard; the
// owners release whatever a card that never closed still holds.
CVLPDlg::~CVLPDlg() { win::SetLoadFailureRescue({}); }

void CVLPDlg::DoDataExchange()
{
    for (int field = 0; field < CardFieldCount; ++field)
        BindControl(IDC_PRODUCT_NAME + field, m_valueEdits[field]);
    BindControl(IDC_PRINT, m_printButton);
    BindControl(IDC_CLOSE, m_closeButton);
}

BOOL CVLPDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // First what needs nothing of the machine, while the query runs beside; the card shows only once all is done.
    SetCardIcon();
    SetWindowText(m_texts.m_caption.c_str());
    m_display = velopass::ReadScreen();
    ResolveScreen();
    SizeCard();
    m_savedExStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetReadingDirection();
    m_editExStyle = ::GetWindowLongW(m_valueEdits[CardField::ProductName].GetSafeHwnd(), GWL_EXSTYLE);
    LayoutEditColumn();
    MakeScreenFonts();
    LayoutButtons();
    ShowButtonTexts();
    velopass::CardClipboard::ShowCopyEntry(m_hWnd, m_texts.m_copyValuesText);  // before the language entry, last
    m_languageMenu.BuildLanguageMenu(m_hWnd, m_textFilePath.c_str(), m_texts.m_switchLanguageText);
    // A brand the registry names needs no vendor: its banner is decoded before the query has answered.
    const bool named = ReadBrandValue() && ResolveBrand(Text());
    if (named)
        LoadBanner();

    QuerySystemProduct();
    if (m_closed)  // by a log-off or an installer meanwhile
        return FALSE;
    if (!named) {
        ResolveBrand(m_product.vendor);
        LoadBanner();
    }
    FillSystemValues();
    m_dataFolderUsable = velopass::ExpandPathInPlace(m_dataFolder, m_brand.view());
    ReadCardDataFile();
    for (int field = 0; field < CardFieldCount; ++field)
        m_valueEdits[field].SetWindowText(m_cardValues[field].c_str());
    ApplyControlFonts();

    ServeValueEdits();
    // A system DLL that fails from now on (the Print dialog's, say) ends the card with the date saved.
    win::SetLoadFailureRescue(
        {m_hWnd, [](const void* card) { static_cast<void>(static_cast<const CVLPDlg*>(card)->SavePurchaseDate()); },
         this});
    // The first Tab stop is the product name; the card opens with the focus on Print.
    ::SetFocus(m_printButton.GetSafeHwnd());
    return FALSE;
}

// Beyond the card's own duties: screen readers hear each value edit named after its label, and Ctrl+C copies
// the values. Again for edits made anew in another alignment.
void CVLPDlg::ServeValueEdits()
{
    for (int field = 0; field < CardFieldCount; ++field)
        velopass::NameEditForScreenReaders(m_valueEdits[field].GetSafeHwnd(), &m_texts.m_labels[field]);
    m_clipboard.Listen({m_printButton.GetSafeHwnd(), m_closeButton.GetSafeHwnd()});
}

void CVLPDlg::SetCardIcon()
{
    m_iconFromFile.reset(static_cast<HICON>(
        ::LoadImageW(nullptr, m_iconPath.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
    m_hIcon = m_iconFromFile ? m_iconFromFile.get()
                             : ::LoadIconW(win::CWinApp::Current()->Instance(), MAKEINTRESOURCEW(IDI_VELOPASS));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
}

// The buttons' texts; the caption and the labels are shown where they are used.
void CVLPDlg::ShowButtonTexts()
{
    m_closeButton.SetWindowText(m_texts.m_closeText.c_str());
    m_printButton.SetWindowText(m_texts.m_printText.c_str());
}

void CVLPDlg::LoadBanner()
{
    ChooseBanner();
    m_banner.reset(new (std::nothrow) CGdiPlusImage);
    if (m_banner && !m_banner->LoadFromFile(m_bannerPath.c_str()))
        m_banner.reset();
    if (m_osMajorVersion >= 6)
        return;
    // Older systems cannot mirror a picture while drawing it: keep a mirrored copy.
    m_mirroredBanner.reset(new (std::nothrow) CGdiPlusImage);
    if (m_mirroredBanner && m_mirroredBanner->LoadFromFile(m_bannerPath.c_str()))
        win::gdiplus::ImageRotateFlip(m_mirroredBanner->m_nativeImage, Gdiplus::RotateNoneFlipX);
    else
        m_mirroredBanner.reset();
}

bool CVLPDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam));
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        result = reinterpret_cast<INT_PTR>(OnCtlColor(message, reinterpret_cast<HDC>(wParam)));
        return true;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        OnColoursChanged(message);
        return false;
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        result = 0;
        return true;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0 && m_focusBeforeMinimise != nullptr)
            ::SetFocus(std::exchange(m_focusBeforeMinimise, nullptr));
        OnActivate(LOWORD(wParam), HIWORD(wParam) != 0);
        return false;  // the default processing restores the focus
    case WM_CLOSE:  // End task asks this way
        RequestClose(Closer::Windows);
        return true;
    case WM_DESTROY:  // not closed, so a quit posted to the card's thread ended its loop: the date is not lost
        if (!m_closed)
            SavePurchaseDate();
        return false;
    case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        OnEndSession(wParam != FALSE, static_cast<UINT>(lParam));
        result = 0;
        return true;
    default:  // WM_ERASEBKGND among them: erased with the brush the dialog answers for itself
        return false;
    }
}

// The scheme's colours, as a system dialog takes them: the values, read-only, grey, the date in the window's
// text colour, both on the window's colour, as is the body. The system owns these brushes.
HBRUSH CVLPDlg::OnCtlColor(UINT message, HDC dc) const
{
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
        ::SetTextColor(dc, ::GetSysColor(message == WM_CTLCOLORSTATIC ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    }
    return ::GetSysColorBrush(COLOR_WINDOW);
}

// A new scheme (a high-contrast one, say) shows at once; the controls hear of it from their window.
void CVLPDlg::OnColoursChanged(UINT message)
{
    if (message == WM_SYSCOLORCHANGE) {
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
            ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool CVLPDlg::OnCommand(UINT id, UINT code, HWND control)
{
    // Wine delivers the entries below the system menu as menu commands, not system commands.
    if (control == nullptr && code == 0 && OnWindowMenuEntry(static_cast<int>(id)))
        return true;
    if (id == IDC_DATE_OF_PURCHASE && code == EN_KILLFOCUS) {
        SaveTypedDate();
        return true;
    }
    if (code != BN_CLICKED || (id != IDC_CLOSE && id != IDC_PRINT))
        return false;
    if (id == IDC_CLOSE) {
        RequestClose(Closer::Person);
        return true;
    }
    PrintCard();
    if (m_closeRequested)  // while printing
        CloseCard(1);
    return true;
}

bool CVLPDlg::OnSysCommand(UINT command)
{
    // The system keeps a system command's low four bits for itself.
    const int id = static_cast<int>(command & 0xFFF0);
    // Windows' dialogs give the focus back after a minimise; Wine's give it to the first Tab stop.
    if (id == SC_MINIMIZE)
        m_focusBeforeMinimise = ::GetFocus();
    if (id == SC_CLOSE) {
        RequestClose(Closer::Person);
        return true;
    }
    return OnWindowMenuEntry(id);
}

bool CVLPDlg::OnWindowMenuEntry(int command)
{
    if (command == velopass::kCopyValuesCommand) {
        m_clipboard.CopyValuesToClipboard(m_hWnd);
        return true;
    }
    const Text* language = m_languageMenu.LanguageOf(command);
    if (language != nullptr)
        SwitchLanguage(*language);
    return language != nullptr;
}

void CVLPDlg::OnEndSession(bool ending, UINT flags)
{
    switch (velopass::AtSessionEnd(ending, flags)) {
    case velopass::SessionEnd::Close:
        RequestClose(Closer::Windows);
        break;
    case velopass::SessionEnd::SaveDate:
        SavePurchaseDate();
        break;
    case velopass::SessionEnd::Nothing:
        break;
    }
}

void CVLPDlg::SwitchLanguage(const Text& language)
{
    m_language = language;
    velopass::ReadCardTexts(m_textFilePath.c_str(), m_language.c_str(), m_texts);
    velopass::ReportLoadFailuresIn(m_texts, m_language.view());
    SetWindowText(m_texts.m_caption.c_str());
    ResolveScreen();
    ApplyControlFonts();
    ShowButtonTexts();
    m_languageMenu.Rename(m_hWnd, m_texts.m_switchLanguageText);
    velopass::CardClipboard::ShowCopyEntry(m_hWnd, m_texts.m_copyValuesText);

    SetReadingDirection();
    // The caption follows the new direction only once the frame is redone.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutEditColumn();
    ServeValueEdits();
    LayoutButtons();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    for (const win::CEdit& edit : m_valueEdits)
        RedrawNow(edit.GetSafeHwnd());
}

void CVLPDlg::QuerySystemProduct()
{
    if (const velopass::SystemProduct* answer = m_query.Answer(m_closed))
        m_product = *answer;
}

bool CVLPDlg::ReadBrandValue()
{
    m_brandValueRead = velopass::ReadRegistryText(m_metadataRoot, m_metadataKeyPath.c_str(),
                                                  m_brandValueName.c_str(), m_hMetadataKey, m_brandValue);
    return m_brandValueRead;
}

// From the registry's value as read (ReadBrandValue), or else the vendor; true when that names one of the brands.
bool CVLPDlg::ResolveBrand(const Text& vendor)
{
    std::optional<std::wstring_view> registryValue;
    if (m_brandValueRead)
        registryValue = m_brandValue.view();
    const std::wstring_view brand = velopass::ResolveBrandName(registryValue, vendor.view());
    if (!brand.empty())
        m_brand = brand;
    m_titleColour = velopass::TitleColour(m_brand.view());
    return !brand.empty();
}

void CVLPDlg::FillSystemValues()
{
    const std::wstring_view serial = m_product.identifyingNumber.view();
    m_cardValues[CardField::ProductName] = m_product.name;
    m_cardValues[CardField::SerialNumber] = serial;
    m_cardValues[CardField::Snid] = velopass::DeriveSnid(serial);
    m_cardValues[CardField::PartNumber] = velopass::DerivePartNumber(serial);
}

// A data folder that is a link is not read through: the card then has no data file.
void CVLPDlg::ReadCardDataFile()
{
    const bool own = m_dataFolderUsable && velopass::IsOwnFolder(m_dataFolder);
    m_dataFileUnread = !velopass::ReadCardData(m_textFilePath.c_str(),
                                               own ? velopass::DataFilePath(m_dataFolder) : std::nullopt,
                                               m_brand.view(), m_cardValues[CardField::DateOfPurchase],
                                               m_cardValues[CardField::Fub], m_cardValues[CardField::Dlr]);
    m_keptDate = m_cardValues[CardField::DateOfPurchase];
}

velopass::SaveResult CVLPDlg::SavePurchaseDate() const
{
    const std::wstring date = m_valueEdits[CardField::DateOfPurchase].GetWindowText();
    if (m_dataFileUnread && m_keptDate == date)
        return {};
    if (!m_dataFolderUsable)
        return {velopass::SaveProblem::Folder, ERROR_FILENAME_EXCED_RANGE};
    return velopass::SavePurchaseDate(m_dataFolder, date);
}

void CVLPDlg::SaveTypedDate()
{
    const std::wstring date = m_valueEdits[CardField::DateOfPurchase].GetWindowText();
    if (m_closing || m_keptDate == date || !SavePurchaseDate())
        return;  // a failure is tried again, and told, at Close
    m_keptDate = date;
    m_dataFileUnread = false;
}

void CVLPDlg::RequestClose(Closer closer)
{
    if (m_asking && closer == Closer::Person)
        return;  // the question over the card is the person's to answer first
    m_windowsCloses = m_windowsCloses || closer == Closer::Windows;
    if (!m_printing && !m_asking) {
        CloseCard(1);
        return;
    }
    // The date as typed is saved at once, whatever the dialogs over the card do next; they go (the page is
    // abandoned, a question left unanswered), and the card closes once they have.
    static_cast<void>(SavePurchaseDate());
    m_closeRequested = true;
    velopass::EndDialogsOver(m_hWnd);
}

bool CVLPDlg::AskToRetrySave(const velopass::SaveResult& failure)
{
    using velopass::SaveProblem;
    const velopass::CardTexts& t = m_texts;
    const Text* reason = failure.problem == SaveProblem::DiskFull ? &t.m_diskFullText
                         : failure.problem == SaveProblem::InUse  ? &t.m_fileInUseText
                         : failure.problem == SaveProblem::Denied ? &t.m_accessDeniedText
                         : failure.problem == SaveProblem::Folder ? &t.m_folderUnusableText
                                                                  : &t.m_saveErrorText;  // by the error's number
    const std::wstring why = velopass::Substitute(reason->view(), L"{0}", std::to_wstring(failure.error));
    const std::optional<Text> file = velopass::DataFilePath(m_dataFolder);
    const std::wstring message = velopass::Substitute(t.m_saveFailedText.view(), L"{0}",
                                                      (file ? *file : m_dataFolder).view()) +
                                 L"\n\n" + why + L"\n\n" + t.m_retrySaveText.str();
    const UINT rightToLeft = velopass::IsRightToLeft(m_language.view()) ? MB_RTLREADING | MB_RIGHT : 0;
    ShowWindow(SW_SHOW);
    m_asking = true;
    const int answer = ::MessageBoxW(m_hWnd, message.c_str(), t.m_caption.c_str(),
                                     MB_RETRYCANCEL | MB_ICONWARNING | rightToLeft);
    m_asking = false;
    return answer == IDRETRY && !m_windowsCloses;
}

void CVLPDlg::CloseCard(INT_PTR result)
{
    m_closing = true;
    ShowWindow(SW_HIDE);
    // Only the person can answer for a typed date that would be lost; Windows' own requests save once.
    for (velopass::SaveResult saved = SavePurchaseDate();
         !saved && !m_windowsCloses && m_keptDate != m_valueEdits[CardField::DateOfPurchase].GetWindowText() &&
         AskToRetrySave(saved);)
        saved = SavePurchaseDate();
    m_closed = true;
    win::SetLoadFailureRescue({});  // saved: nothing left to save after this
    ReleaseCardObjects();
    EndDialog(result);
}

void CVLPDlg::ReleaseCardObjects()
{
    for (win::UniqueFont& font : m_fieldFonts)
        font.reset();
    for (win::UniqueFont& font : m_titleFonts)
        font.reset();
    m_banner.reset();
    m_mirroredBanner.reset();
    m_languageMenu.Release();
}
