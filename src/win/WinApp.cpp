#include "win/WinApp.h"

#include "win/SystemLibrary.h"

namespace win {

CWinApp* CWinApp::s_current = nullptr;

CWinApp::CWinApp() { s_current = this; }

CWinApp::~CWinApp() { s_current = nullptr; }  // the one application object

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
    return win::CWinApp::Current()->Run(instance);
}
