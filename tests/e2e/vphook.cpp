// What the probe hooks into the card's thread, as Windows or a printer driver would act: WM_APP sets one system colour
// (Wine keeps colours per process); WM_APP + 1 shows a printer driver's Yes/No box over the Print dialog that ignores a
// posted Cancel, as such boxes do on Windows (Wine's end on one), then copies the data file to c:\OEM\box-ended.dat.
#include "machine/DataFile.h"

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
    const std::wstring data = std::wstring(velopass::kDataFolder) + velopass::kDataFileName;
    ::CopyFileW(data.c_str(), L"c:\\OEM\\box-ended.dat", FALSE);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK CardHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    HMODULE self = nullptr;  // the box outlives the hook, asked from the Print dialog's own loop: kept loaded
    if (code == HC_ACTION && call.message == WM_APP) {
        const auto element = static_cast<INT>(call.wParam);
        const auto colour = static_cast<COLORREF>(call.lParam);
        ::SetSysColors(1, &element, &colour);
    } else if (code == HC_ACTION && call.message == WM_APP + 1 &&
               ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                    reinterpret_cast<LPCWSTR>(&CardHook), &self)) {
        ::SetTimer(nullptr, 0, 0, &Ask);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
