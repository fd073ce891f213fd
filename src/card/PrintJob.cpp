#include "card/PrintJob.h"

#include "win/Dialog.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace velopass {

BOOL CALLBACK AnswerMessagesWhileSpooling(HDC, int)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!::IsDialogMessageW(::GetAncestor(message.hwnd, GA_ROOT), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return TRUE;
}

void EndDialogsOver(HWND card)
{
    struct Found {
        HWND card;
        std::vector<std::pair<int, HWND>> dialogs;  // depth under the card, dialog
    } found{card, {}};
    ::EnumWindows([](HWND window, LPARAM param) -> BOOL {
        auto& found = *reinterpret_cast<Found*>(param);
        wchar_t kind[8] = {};
        if (!::IsWindowVisible(window) || !::GetClassNameW(window, kind, 8) ||
            std::wstring_view(kind) != win::kDialogClass)
            return TRUE;
        int depth = 1;
        for (HWND owner = ::GetWindow(window, GW_OWNER); owner != nullptr; owner = ::GetWindow(owner, GW_OWNER)) {
            if (owner == found.card)
                found.dialogs.emplace_back(depth, window);
            ++depth;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    std::sort(found.dialogs.rbegin(), found.dialogs.rend());
    for (const auto& [depth, dialog] : found.dialogs) {
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        if (::GetWindowThreadProcessId(dialog, nullptr) == ::GetCurrentThreadId())
            ::EndDialog(dialog, IDCANCEL);
    }
}

}  // namespace velopass
