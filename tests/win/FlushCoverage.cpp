// GCC writes the counts to their .gcda files as a process exits normally. A scenario that ends its Wine prefix ends
// the card with no exit, as Windows does once the card has answered WM_ENDSESSION, and ExitProcess (a DLL that cannot
// be loaded) runs no exit handlers. So the coverage build's card adds its counts to the files four times a second,
// after each WM_ENDSESSION, as ExitProcess ends it, and last of all at exit. Each write but the last runs on the card's
// own thread, asked for by a message: counts the card made while another thread wrote would be lost to the reset.
#include <windows.h>

#include <cstdlib>

extern "C" void __gcov_dump(), __gcov_reset();

namespace {

const DWORD g_cardThread = ::GetCurrentThreadId();
HANDLE g_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
const UINT g_write = ::RegisterWindowMessageW(L"VelopassCoverageWrite");

LRESULT CALLBACK Answered(int code, WPARAM wParam, LPARAM lParam)
{
    const UINT message = reinterpret_cast<const CWPRETSTRUCT*>(lParam)->message;
    if (message == WM_ENDSESSION || message == g_write) {
        __gcov_dump();
        __gcov_reset();  // nothing added twice
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK AskToWrite(HWND window, LPARAM)
{
    ::SendMessageTimeoutW(window, g_write, 0, 0, SMTO_NORMAL, 1000, nullptr);
    return FALSE;  // one is enough: the hook sees every window of the thread
}

DWORD WINAPI Flush(void*)
{
    bool hooked = false;
    while (::WaitForSingleObject(g_stop, 250) == WAIT_TIMEOUT) {
        if (!hooked && ::GetModuleHandleW(L"user32.dll") != nullptr)  // loaded by the card, not before it
            hooked = ::SetWindowsHookExW(WH_CALLWNDPROCRET, Answered, nullptr, g_cardThread) != nullptr;
        if (hooked)
            ::EnumThreadWindows(g_cardThread, AskToWrite, 0);
    }
    return 0;
}

HANDLE g_flushing = ::CreateThread(nullptr, 0, Flush, nullptr, 0, nullptr);

void Stop()
{
    ::SetEvent(g_stop);
    ::WaitForSingleObject(g_flushing, INFINITE);
    __gcov_dump();
}

// Registered before any static object is made, so it runs after each one's destructor.
__attribute__((constructor(101))) void WriteLast() { std::atexit(Stop); }

}  // namespace

extern "C" {

// GCC's own write at exit (-Wl,--wrap), which would come before the static objects' destructors: Stop's instead.
void __wrap___gcov_exit() {}

// ExitProcess runs no exit handlers: the program's own calls come here (-Wl,--wrap).
extern void(WINAPI* __real___imp_ExitProcess)(UINT);
void(WINAPI* __wrap___imp_ExitProcess)(UINT) = [](UINT code) {
    Stop();
    __real___imp_ExitProcess(code);
};

}  // extern "C"
