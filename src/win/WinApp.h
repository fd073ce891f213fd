// The application base: one static object of a derived class. The entry
// point (wWinMain, in WinApp.cpp) runs its InitInstance and then its
// ExitInstance, whose result is the process exit code. A modal card is the
// program's only window, so no message loop of the application's own runs.
#pragma once

#include <windows.h>

namespace win {

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The start-up; the program ends after it whatever it returns, as there
    // is no message loop to go on to.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() = 0;

    HINSTANCE Instance() const { return m_instance; }

    static CWinApp* Current() { return s_current; }

    // Called by the entry point.
    int Run(HINSTANCE instance);

private:
    static CWinApp* s_current;
    HINSTANCE m_instance = nullptr;
};

}  // namespace win
