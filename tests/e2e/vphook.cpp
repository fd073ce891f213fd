// What the probe hooks into the card's thread, as Windows or a printer driver would act: WM_APP sets one system colour
// (Wine keeps colours per process); WM_APP + 1 shows a printer driver's Yes/No box over the Print dialog that ignores a
// posted Cancel, as such boxes do on Windows (Wine's end on one), then copies the data file to c:\OEM\box-ended.dat;
// WM_APP + 2 writes the icons the card answers for. A message box over the card keeps the type it was asked for.
#include "machine/DataFile.h"

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

// c:\OEM\iconN.bgra: WM_GETICON's big, small and caption's (ICON_SMALL2), then the class's big and small; each its
// width, height and rows, top first, as colour and alpha. Read in the card: Wine lends no icon to another process.
static void WriteIcons(HWND card)
{
    const ULONG_PTR icons[] = {static_cast<ULONG_PTR>(::SendMessageW(card, WM_GETICON, ICON_BIG, 0)),
                               static_cast<ULONG_PTR>(::SendMessageW(card, WM_GETICON, ICON_SMALL, 0)),
                               static_cast<ULONG_PTR>(::SendMessageW(card, WM_GETICON, ICON_SMALL2, 0)),
                               ::GetClassLongPtrW(card, GCLP_HICON), ::GetClassLongPtrW(card, GCLP_HICONSM)};
    for (int i = 0; i < 5; ++i) {
        ICONINFO icon{};
        BITMAP size{};
        if (!::GetIconInfo(reinterpret_cast<HICON>(icons[i]), &icon))
            continue;
        ::GetObjectW(icon.hbmColor, sizeof(size), &size);
        std::vector<LONG> bits(2 + size.bmWidth * size.bmHeight);
        bits[0] = size.bmWidth, bits[1] = size.bmHeight;
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        const HDC screen = ::GetDC(nullptr);
        ::GetDIBits(screen, icon.hbmColor, 0, size.bmHeight, &bits[2], &format, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        ::DeleteObject(icon.hbmColor);
        ::DeleteObject(icon.hbmMask);
        ::CreateDirectoryW(L"c:\\OEM", nullptr);
        std::ofstream("c:\\OEM\\icon" + std::to_string(i) + ".bgra", std::ios::binary)
            .write(reinterpret_cast<const char*>(bits.data()), static_cast<std::streamsize>(4 * bits.size()));
    }
}

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
    if (code == HC_ACTION && call.message == WM_INITDIALOG && call.lParam != 0 &&  // a box's: its parameters
        reinterpret_cast<const MSGBOXPARAMSW*>(call.lParam)->cbSize == sizeof(MSGBOXPARAMSW)) {
        const auto type = reinterpret_cast<const MSGBOXPARAMSW*>(call.lParam)->dwStyle;
        ::SetPropW(call.hwnd, L"BoxType", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(type)));
    } else if (code == HC_ACTION && call.message == WM_APP + 2) {
        WriteIcons(call.hwnd);
    } else if (code == HC_ACTION && call.message == WM_APP) {
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
