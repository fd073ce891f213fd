// A printer driver's Yes/No box over the Print dialog, in the card's thread, ignoring a posted Cancel as such boxes
// do on Windows (Wine's end on one). The probe hooks this into the card's thread and sends the card WM_APP; once the
// box has gone, the card's data file as it is then is copied to c:\OEM\box-ended.dat.
#include <windows.h>

static LRESULT CALLBACK IgnoringCancel(int code, WPARAM wParam, LPARAM lParam)
{
    auto& message = *reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && message.message == WM_COMMAND && LOWORD(message.wParam) == IDCANCEL &&
        message.hwnd == ::GetActiveWindow())  // the box
        message.message = WM_NULL;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

static void CALLBACK Ask(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    ::SetWindowsHookExW(WH_GETMESSAGE, &IgnoringCancel, nullptr, ::GetCurrentThreadId());
    ::MessageBoxW(::GetActiveWindow(), L"Print on both sides?", L"Printer driver", MB_YESNO);
    ::CopyFileW(L"c:\\OEM\\Velopass\\VLP.dat", L"c:\\OEM\\box-ended.dat", FALSE);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK DriverHook(int code, WPARAM wParam, LPARAM lParam)
{
    HMODULE self = nullptr;  // kept loaded: the box outlives the hook; asked from the Print dialog's own loop
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_APP &&
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                             reinterpret_cast<LPCWSTR>(&DriverHook), &self))
        ::SetTimer(nullptr, 0, 0, &Ask);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
