// The application: the card's window class, the program's folder, then the start-up (app/Startup.h).
#pragma once

#include "win/WinApp.h"

class CVLPApp : public win::CWinApp {
public:
    ~CVLPApp() override = default;

    bool InitInstance() override;
    int ExitInstance() override;

private:
    void RegisterCardClass() const;
};
