#include "app/Startup.h"

#include "card/resource.h"
#include "text/CardTexts.h"
#include "text/TextFile.h"
#include "text/UserLocale.h"

namespace velopass {

namespace {

constexpr wchar_t kInstanceMutex[] = L"Zell_Velopass_VLP_GUID_For_Single_Instance";

// Above everything once, without staying topmost.
void BringToTop(HWND window)
{
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

// The running card, restored; or else the first instance's guest refusal, captioned with the title.
void RaiseRunningInstance()
{
    if (const HWND card = ::FindWindowW(L"" CARD_CLASS, nullptr)) {
        if (::IsIconic(card))
            ::ShowWindowAsync(card, SW_RESTORE);
        BringToTop(card);
        return;
    }
    const Text title = ReadTitle(kTextFilePath, SelectLanguage().code);
    if (const HWND window = ::FindWindowW(nullptr, title.c_str()))
        BringToTop(window);
}

}  // namespace

DWORD ClaimSingleInstance()
{
    ::CreateMutexW(nullptr, FALSE, kInstanceMutex);
    return ::GetLastError();
}

UserLanguage SelectLanguage()
{
    const UserLocale locale = QueryUserLocale();
    return {ResolveLanguage(MapLocaleName(locale.name),
                            [](const LanguageCode& code) { return IsLanguagePresent(kTextFilePath, code); }),
            locale.osMajorVersion};
}

void StartUp(const StartupSystem& system, const ShowCard& showCard)
{
    const DWORD claimed = system.claimSingleInstance();
    if (claimed == ERROR_ALREADY_EXISTS || claimed == ERROR_ACCESS_DENIED)
        return RaiseRunningInstance();
    if (IsGuest(system.tokenGroups()))
        return ShowGuestRefusal(kTextFilePath, SelectLanguage().code, kBuiltInGuestMessage);
    // The card will show: the machine's values are asked for now, and the rest of the start goes on beside.
    SystemProductQuery query;
    const UserLanguage language = SelectLanguage();
    CardTexts texts;
    ReadCardTexts(kTextFilePath, language.code.c_str(), texts);
    ReportLoadFailuresIn(texts, language.code);  // a DLL may fail before the card has read its texts
    if (system.startGdiplus())
        showCard(language, texts, query);
}

}  // namespace velopass
