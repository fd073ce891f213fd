// A printer driver's question, asked in the card's own thread from inside the
// Print dialog, as a driver's user interface does: a Yes/No box. On Windows
// such a box ignores a Cancel (IDCANCEL: Escape, a posted command); Wine's
// boxes end on it, so this one is made to ignore it. The probe hooks this
// into the card's thread and sends the card WM_APP. Once the box has gone,
// the card's data file as it is then is copied to c:\OEM\box-ended.dat.
#include <windows.h>

namespace {

WNDPROC s_boxProcedure;

LRESULT CALLBACK IgnoringCancel(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        return 0;
    return ::CallWindowProcW(s_boxProcedure, box, message, wParam, lParam);
}

LRESULT CALLBACK BoxShown(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && s_boxProcedure == nullptr)
        s_boxProcedure = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IgnoringCancel)));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK Ask(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    const HHOOK shown = ::SetWindowsHookExW(WH_CBT, &BoxShown, nullptr, ::GetCurrentThreadId());
    ::MessageBoxW(::GetActiveWindow(), L"Print on both sides?", L"Printer driver", MB_YESNO);
    ::UnhookWindowsHookEx(shown);
    ::CopyFileW(L"c:\\OEM\\Velopass\\VLP.dat", L"c:\\OEM\\box-ended.dat", FALSE);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DriverHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_APP) {
        HMODULE self = nullptr;  // kept loaded: the box outlives the hook
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                             reinterpret_cast<LPCWSTR>(&DriverHook), &self);
        ::SetTimer(nullptr, 0, 0, &Ask);  // asked from the Print dialog's own loop, not from inside the hook
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
