#include "card/VLPDlg.h"

#include "app/VLPApp.h"
#include "card/resource.h"
#include "machine/Brand.h"
#include "machine/DataFile.h"
#include "machine/Registry.h"
#include "machine/SystemValues.h"
#include "machine/Wmi.h"
#include "win/WinApp.h"

#include <commctrl.h>

#include <cstring>
#include <new>
#include <vector>

using velopass::CardField;
using velopass::CardFieldCount;
using velopass::ReadText;

CVLPDlg::CVLPDlg(win::CWnd* parent) : CDialog(IDD_CARD, parent)
{
    m_language = VelopassApp().m_language;
    m_whiteBrush.reset(::CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
}

// Fonts, images and the language arrays are normally gone with CloseCard; the
// owners release whatever a card that never closed still holds.
CVLPDlg::~CVLPDlg() = default;

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

    QuerySystemProduct();
    ResolveBrand(m_wmiValues[0]);
    FillSystemValues();
    m_dataFolderUsable = ExpandPathVariables(m_dataFolder);
    ReadCardDataFile();

    SetCardIcon();
    ReadCardText(L"AppTitle", m_caption);
    SetWindowText(m_caption.c_str());

    DecideScaleLayout();
    SizeCard();
    ApplyReadingDirection();
    LayoutEditColumn();
    CreateFieldFonts();
    for (int field = 0; field < CardFieldCount; ++field)
        m_valueEdits[field].SetWindowText(m_cardValues[field].c_str());
    CreateTitleFonts();
    ReadLabels();
    ChooseBanner();
    LoadBanner();
    LayoutButtons();

    ReadCardText(L"BtnClose", m_closeText);
    ReadCardText(L"BtnPrint", m_printText);
    m_closeButton.SetWindowText(m_closeText.c_str());
    m_printButton.SetWindowText(m_printText.c_str());
    ApplyControlFonts();
    BuildLanguageMenu();
    EnableAssistance();
    return TRUE;
}

void CVLPDlg::SetCardIcon()
{
    m_iconFromFile.reset(static_cast<HICON>(
        ::LoadImageW(nullptr, m_iconPath.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
    m_hIcon = m_iconFromFile ? m_iconFromFile.get()
                             : ::LoadIconW(win::CWinApp::Current()->Instance(), MAKEINTRESOURCEW(IDI_VELOPASS));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
}

void CVLPDlg::ReadLabels()
{
    static const struct {
        CardField field;
        const wchar_t* key;
    } kLabelKeys[] = {
        {CardField::ProductName, L"lblProductName"},
        {CardField::SerialNumber, L"lblSerialNb"},
        {CardField::PartNumber, L"lblPartNb"},
        {CardField::DateOfPurchase, L"lblDOP"},
    };
    for (const auto& label : kLabelKeys) {
        Text text;
        if (!ReadCardText(label.key, text))
            continue;
        // The colon always shows: a label that fills its text gives up its last character.
        Text& shown = m_labels[label.field];
        shown = text.view().substr(0, Text::kMaxLength - 1);
        shown.Append(L":");
    }
}

void CVLPDlg::LoadBanner()
{
    m_banner.reset(new (std::nothrow) CGdiPlusImage);
    if (m_banner && !m_banner->LoadFromFile(m_bannerPath.c_str()))
        m_banner.reset();
    if (VelopassApp().OsMajorVersion >= 6)
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
        return HandleSystemCommand(wParam);
    case WM_COMMAND:
        // Wine delivers the entries below the system menu as menu commands, not system commands.
        if (lParam == 0 && HIWORD(wParam) == 0 && SwitchToLanguageOf(LOWORD(wParam)))
            return true;
        if (HIWORD(wParam) != BN_CLICKED)
            return false;
        if (LOWORD(wParam) == IDC_CLOSE) {
            RequestClose();
            return true;
        }
        if (LOWORD(wParam) == IDC_PRINT) {
            PrintCard();
            if (m_closeRequested)
                CloseCard(1);
            return true;
        }
        return false;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        result = reinterpret_cast<INT_PTR>(m_whiteBrush.get());
        return true;
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_ERASEBKGND:
        // Erased with the white brush the dialog answers for itself.
        return false;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        result = 0;
        return true;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return false;  // the default processing restores the focus
    case WM_CLOSE:
        // End task asks this way; it closes the card as the Close button does.
        RequestClose();
        return true;
    case WM_QUERYENDSESSION:
        result = TRUE;  // never hold up a log-off
        return true;
    case WM_ENDSESSION:
        // An installer (ENDSESSION_CLOSEAPP) closes the card as Close does. At a log-off the process may be
        // ended at any moment after this: keep the typed date now.
        if (wParam && (lParam & ENDSESSION_CLOSEAPP))
            RequestClose();
        else if (wParam)
            SavePurchaseDate(m_valueEdits[CardField::DateOfPurchase].GetWindowText());
        result = 0;
        return true;
    default:
        return false;
    }
}

bool CVLPDlg::HandleSystemCommand(WPARAM command)
{
    const int id = static_cast<int>(command & 0xFFF0);
    if (id == SC_CLOSE) {
        RequestClose();
        return true;
    }
    return SwitchToLanguageOf(id);
}

bool CVLPDlg::SwitchToLanguageOf(int command)
{
    for (int k = 0; k < m_languageCount; ++k) {
        if (m_languageMenuIds[k] == command) {
            SwitchLanguage(m_languageCodes[k]);
            return true;
        }
    }
    return false;
}

void CVLPDlg::BuildLanguageMenu()
{
    Text list;
    if (!ReadText(m_textFilePath.c_str(), L"common", L"SupportedLang", list))
        return;
    const std::vector<velopass::LanguageCode> codes = velopass::ParseLanguageList(list.view());
    if (codes.empty())
        return;
    m_languageCount = static_cast<int>(codes.size());
    m_languageMenuIds.reset(new (std::nothrow) int[codes.size()]());
    m_languageCodes.reset(new (std::nothrow) Text[codes.size()]);
    if (!m_languageMenuIds || !m_languageCodes || !m_languageMenu.CreatePopupMenu()) {
        m_languageCount = 0;
        return;
    }
    for (int k = 0; k < m_languageCount; ++k) {
        m_languageCodes[k] = codes[k];
        m_languageMenuIds[k] = velopass::LanguageMenuId(k);
        Text name;
        if (ReadText(m_textFilePath.c_str(), m_languageCodes[k].c_str(), L"lblLangText", name))
            ::AppendMenuW(m_languageMenu.GetSafeHmenu(), MF_STRING, m_languageMenuIds[k], name.c_str());
    }
    const HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (systemMenu == nullptr)
        return;
    Text entry = L"Language";
    ReadCardText(L"lblSwitchLang", entry);
    const HMENU popup = m_languageMenu.GetSafeHmenu();
    if (::AppendMenuW(systemMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), entry.c_str()))
        m_languageMenu.HandOver();
}

void CVLPDlg::SwitchLanguage(const Text& language)
{
    m_language = language;
    if (ReadCardText(L"AppTitle", m_caption))
        SetWindowText(m_caption.c_str());
    ApplyControlFonts();
    if (ReadCardText(L"BtnClose", m_closeText))
        m_closeButton.SetWindowText(m_closeText.c_str());
    if (ReadCardText(L"BtnPrint", m_printText))
        m_printButton.SetWindowText(m_printText.c_str());
    ReadLabels();

    Text entry;
    const HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (systemMenu != nullptr && ReadCardText(L"lblSwitchLang", entry)) {
        const auto popup = reinterpret_cast<UINT_PTR>(m_languageMenu.GetSafeHmenu());
        ::ModifyMenuW(systemMenu, static_cast<UINT>(popup), MF_BYCOMMAND | MF_STRING | MF_POPUP, popup, entry.c_str());
    }

    SetReadingDirection();
    // The caption follows the new direction only once the frame is redone.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutEditColumn();
    LayoutButtons();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    for (const win::CEdit& edit : m_valueEdits)
        RedrawNow(edit.GetSafeHwnd());
}

int CVLPDlg::QuerySystemProduct() { return velopass::QuerySystemProduct(m_wmiPropertyNames, m_wmiValues); }

bool CVLPDlg::ReadBrandValue()
{
    return velopass::ReadRegistryText(m_metadataRoot, m_metadataKeyPath.c_str(), m_brandValueName.c_str(),
                                      m_hMetadataKey, m_brandValue);
}

void CVLPDlg::ResolveBrand(const Text& vendor)
{
    std::optional<std::wstring_view> registryValue;
    if (ReadBrandValue())
        registryValue = m_brandValue.view();
    const std::wstring_view brand = velopass::ResolveBrandName(registryValue, vendor.view());
    if (!brand.empty())
        m_brand = brand;
}

void CVLPDlg::FillSystemValues()
{
    const std::wstring_view serial = m_wmiValues[2].view();
    m_cardValues[CardField::ProductName] = m_wmiValues[1];
    m_cardValues[CardField::SerialNumber] = serial;
    m_cardValues[CardField::Snid] = velopass::DeriveSnid(serial);
    m_cardValues[CardField::PartNumber] = velopass::DerivePartNumber(serial);
}

bool CVLPDlg::ExpandPathVariables(Text& path) const
{
    const std::optional<std::wstring> expanded =
        velopass::ExpandPathVariables(path.view(), m_brand.view(), velopass::LookupEnvironment);
    path = expanded ? expanded->c_str() : L"";
    return expanded.has_value();
}

void CVLPDlg::ReadCardDataFile()
{
    const wchar_t* textFile = m_textFilePath.c_str();
    const std::optional<Text> dataFile = m_dataFolderUsable ? velopass::DataFilePath(m_dataFolder) : std::nullopt;
    Text& date = m_cardValues[CardField::DateOfPurchase];
    if (!dataFile || !ReadText(dataFile->c_str(), velopass::kDataSection, velopass::kDateKey, date)) {
        Text regIniFile;
        if (ReadText(textFile, L"common", L"RegIniFile", regIniFile) && ExpandPathVariables(regIniFile))
            ReadText(regIniFile.c_str(), L"DATA", L"DOP", date);
    }
    Text fubIniFile;
    if (ReadText(textFile, L"common", L"FUBIniFile", fubIniFile) && ExpandPathVariables(fubIniFile)) {
        ReadText(fubIniFile.c_str(), L"FUB", L"FUB", m_cardValues[CardField::Fub]);
        ReadText(fubIniFile.c_str(), L"FUB", L"DLR", m_cardValues[CardField::Dlr]);
    }
}

void CVLPDlg::SavePurchaseDate(const std::wstring& text) const
{
    if (m_dataFolderUsable)
        velopass::SavePurchaseDate(m_dataFolder, text);
}

void CVLPDlg::RequestClose()
{
    if (!m_printDialogOpen) {
        CloseCard(1);
        return;
    }
    // The Print dialog goes first, as Cancel would take it; the card closes once it has returned.
    m_closeRequested = true;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM card) {
            if (::GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(card))
                ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(m_hWnd));
}

void CVLPDlg::CloseCard(INT_PTR result)
{
    ShowWindow(SW_HIDE);
    SavePurchaseDate(m_valueEdits[CardField::DateOfPurchase].GetWindowText());
    ReleaseCardObjects();
    EndDialog(result);
}

void CVLPDlg::EnableAssistance()
{
    for (int field = 0; field < CardFieldCount; ++field) {
        m_accessibleNames[field] = [this, field] {
            std::wstring name(m_labels[field].view());
            if (!name.empty() && name.back() == L':')
                name.pop_back();
            return name;
        };
        velopass::NameEditForScreenReaders(m_valueEdits[field].GetSafeHwnd(), &m_accessibleNames[field]);
    }
    // Keys reach the focused control, and only three controls take the focus.
    for (const HWND control : {m_valueEdits[CardField::DateOfPurchase].GetSafeHwnd(), m_printButton.GetSafeHwnd(),
                               m_closeButton.GetSafeHwnd()})
        ::SetWindowSubclass(control, &CVLPDlg::CopyKeyProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// A selection in the date edit is the edit's own to copy, as in any edit.
bool CVLPDlg::IsSelectionToCopy(HWND control) const
{
    if (control != m_valueEdits[CardField::DateOfPurchase].GetSafeHwnd())
        return false;
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start != end;
}

// Ctrl+C copies the card's values; the character it also makes is dropped
// with it, so the edit does not copy as well.
LRESULT CALLBACK CVLPDlg::CopyKeyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR card)
{
    const auto* self = reinterpret_cast<const CVLPDlg*>(card);
    const bool copyKey = message == WM_KEYDOWN && wParam == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                         !(::GetKeyState(VK_MENU) & 0x8000);
    const bool copyChar = message == WM_CHAR && wParam == 0x03;  // Ctrl+C as a character
    if ((copyKey || copyChar) && !self->IsSelectionToCopy(control)) {
        if (copyKey)
            self->CopyValuesToClipboard();
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(control, &CVLPDlg::CopyKeyProc, id);
    return ::DefSubclassProc(control, message, wParam, lParam);
}

void CVLPDlg::CopyValuesToClipboard() const
{
    std::wstring text;
    for (int field = 0; field < CardFieldCount; ++field)
        text += m_labels[field].str() + L" " + m_valueEdits[field].GetWindowText() + L"\r\n";
    const win::ClipboardScope clipboard(m_hWnd);
    if (!clipboard)
        return;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    win::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* target = memory ? ::GlobalLock(memory.get()) : nullptr;
    if (target == nullptr)
        return;
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    // Once set, the memory is the clipboard's.
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr)
        memory.release();
}

void CVLPDlg::ReleaseCardObjects()
{
    for (win::UniqueFont& font : m_fieldFonts)
        font.reset();
    for (win::UniqueFont& font : m_titleFonts)
        font.reset();
    m_banner.reset();
    m_mirroredBanner.reset();
    m_languageMenuIds.reset();
    m_languageCodes.reset();
    m_languageCount = 0;
}
