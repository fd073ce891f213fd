// The start-up's decisions, in order: one card at a time (a second start brings
// the first instance's window to the front and ends), none for a guest, who is
// told why, and none without GDI+; otherwise the card in the user's language.
#pragma once

#include "app/GuestCheck.h"
#include "machine/Wmi.h"
#include "text/CardTexts.h"
#include "text/Language.h"
#include "win/GdiPlus.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace velopass {

// The single-instance mutex, made and left open until the process ends; the error its creation left:
// ERROR_ALREADY_EXISTS, or ERROR_ACCESS_DENIED where another user's instance holds it, when one runs.
DWORD ClaimSingleInstance();

// What the start-up asks of the system. The program takes the system's own answers; the Windows-side tests give
// those of a machine Wine cannot be (a guest's token, a mutex refused).
struct StartupSystem {
    std::function<DWORD()> claimSingleInstance = ClaimSingleInstance;
    std::function<std::vector<BYTE>()> tokenGroups = ProcessTokenGroups;
    std::function<bool()> startGdiplus = win::gdiplus::Startup;
};

// The text file's section for the user's locale, and the system's major version.
struct UserLanguage {
    LanguageCode code;
    int osMajorVersion;
};
UserLanguage SelectLanguage();

// Shows the card, in that language and its texts, with the machine's values from the query under way, and returns
// when it has closed.
using ShowCard = std::function<void(const UserLanguage& language, const CardTexts& texts, SystemProductQuery& query)>;

void StartUp(const StartupSystem& system, const ShowCard& showCard);

}  // namespace velopass
