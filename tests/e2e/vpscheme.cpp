// The probe's hook into the card's thread, for a colour scheme: Wine keeps the system's colours per process.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK SchemeHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    const auto element = static_cast<INT>(call->wParam);
    const auto colour = static_cast<COLORREF>(call->lParam);
    if (code == HC_ACTION && call->message == WM_APP)
        ::SetSysColors(1, &element, &colour);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
