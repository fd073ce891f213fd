// The application base: one static object of a derived class; the entry
// point runs its InitInstance, a message loop only if that returns true, and
// then its ExitInstance, whose result is the process exit code.
#pragma once

#include <windows.h>

namespace win {

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return m_exitCode; }

    HINSTANCE Instance() const { return m_instance; }
    CWnd* m_pMainWnd = nullptr;

    static CWinApp* Current() { return s_current; }

    // Called by the entry point.
    int Run(HINSTANCE instance);

private:
    int RunMessageLoop();

    static CWinApp* s_current;
    HINSTANCE m_instance = nullptr;
    int m_exitCode = 0;
};

}  // namespace win
