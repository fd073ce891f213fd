#include "win/WinApp.h"

#include "win/SystemLibrary.h"

namespace win {

CWinApp* CWinApp::s_current = nullptr;

CWinApp::CWinApp() { s_current = this; }

CWinApp::~CWinApp()
{
    if (s_current == this)
        s_current = nullptr;
}

int CWinApp::Run(HINSTANCE instance)
{
    m_instance = instance;
    InitInstance();
    return ExitInstance();
}

}  // namespace win

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    win::RestrictDllSearch();
    win::CWinApp* app = win::CWinApp::Current();
    return app ? app->Run(instance) : 1;
}
