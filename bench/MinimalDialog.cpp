// The floor the card's start-up is measured against: a dialog of the same
// size that runs the same WMI query and nothing else.
#include "machine/Wmi.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        velopass::SystemProduct product;
        velopass::QuerySystemProduct(product);
        ::SetWindowTextW(dialog, product.name.c_str());
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            ::EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // A template in memory: popup with caption and system menu, 238 by 244 dialog units, no controls.
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialogTemplate = {};
    dialogTemplate.header.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dialogTemplate.header.cx = 238;
    dialogTemplate.header.cy = 244;
    return static_cast<int>(::DialogBoxIndirectParamW(instance, &dialogTemplate.header, nullptr, DialogProc, 0));
}
