#include "app/VLPApp.h"

#include "app/GuestCheck.h"
#include "card/VLPDlg.h"
#include "card/resource.h"
#include "text/CardTexts.h"
#include "text/TextFile.h"
#include "text/UserLocale.h"
#include "win/GdiPlus.h"

#include <commctrl.h>

namespace {

CVLPApp theApp;

constexpr wchar_t kCardClass[] = L"" CARD_CLASS;
constexpr wchar_t kInstanceMutex[] = L"Zell_Velopass_VLP_GUID_For_Single_Instance";

// Relative paths (the text file, the pictures) are meant from the program's folder.
void EnterProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = L'\0';
    wchar_t* lastSlash = wcsrchr(path, L'\\');
    if (lastSlash == nullptr)
        return;
    *lastSlash = L'\0';
    ::SetCurrentDirectoryW(path);
}

// Above everything once, without staying topmost.
void BringToTop(HWND window)
{
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

}  // namespace

bool CVLPApp::InitInstance()
{
    RegisterCardClass();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    EnterProgramFolder();

    m_instanceMutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutex);
    const DWORD mutexError = ::GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) {
        // The handle lapses with the process; only the first instance releases the mutex.
        m_instanceMutex = nullptr;
        RaiseRunningInstance();
        return false;
    }

    if (velopass::IsGuestUser()) {
        RefuseGuest();
        return false;
    }

    if (win::gdiplus::Startup(&m_gdiplusToken) != Gdiplus::Ok)
        return false;

    SelectLanguage(m_language);

    CVLPDlg card(m_language, OsMajorVersion);
    card.DoModal();
    return false;
}

int CVLPApp::ExitInstance()
{
    if (m_gdiplusToken != 0)
        win::gdiplus::Shutdown(m_gdiplusToken);
    if (m_instanceMutex != nullptr)
        ::ReleaseMutex(m_instanceMutex);
    return CWinApp::ExitInstance();
}

void CVLPApp::SelectLanguage(velopass::LanguageCode& language)
{
    const velopass::UserLocale locale = velopass::QueryUserLocale();
    OsMajorVersion = locale.osMajorVersion;
    language = velopass::ResolveLanguage(velopass::MapLocaleName(locale.name), [](const velopass::LanguageCode& code) {
        return velopass::IsLanguagePresent(velopass::kTextFilePath, code);
    });
}

// The card's template names this class: without it the card cannot be made. As a copy of the dialog class it keeps
// that class's window procedure and the window bytes the dialog manager uses.
void CVLPApp::RegisterCardClass() const
{
    WNDCLASSW cardClass{};
    if (::GetClassInfoW(Instance(), kCardClass, &cardClass))
        return;
    ::GetClassInfoW(Instance(), win::kDialogClass, &cardClass);
    cardClass.hInstance = Instance();
    cardClass.lpszClassName = kCardClass;
    ::RegisterClassW(&cardClass);
}

void CVLPApp::RaiseRunningInstance()
{
    if (const HWND card = ::FindWindowW(kCardClass, nullptr)) {
        if (::IsIconic(card))
            ::ShowWindowAsync(card, SW_RESTORE);
        BringToTop(card);
        return;
    }
    // The first instance may be showing its guest refusal, captioned with the title.
    SelectLanguage(m_language);
    const velopass::Text title = velopass::ReadTitle(velopass::kTextFilePath, m_language);
    if (const HWND window = ::FindWindowW(nullptr, title.c_str()))
        BringToTop(window);
}

void CVLPApp::RefuseGuest()
{
    SelectLanguage(m_language);
    velopass::ShowGuestRefusal(velopass::kTextFilePath, m_language, m_guestMessage.view());
}
