// The application: start-up checks, the language, and the one card.
#pragma once

#include "text/FixedText.h"
#include "text/Language.h"
#include "win/WinApp.h"

#include <string>

class CVLPApp : public win::CWinApp {
public:
    ~CVLPApp() override = default;

    bool InitInstance() override;
    int ExitInstance() override;

    // Picks the text file's section for the user and records the system's major version.
    void SelectLanguage(velopass::LanguageCode& language);

    int OsMajorVersion = 6;
    velopass::LanguageCode m_language = velopass::kFallbackLanguage;
    HANDLE m_instanceMutex = nullptr;
    velopass::Text m_guestMessage = L"Guest users cannot run Velopass";
    ULONG_PTR m_gdiplusToken = 0;

private:
    void RegisterCardClass() const;
    void RaiseRunningInstance();
    void RefuseGuest();
};
