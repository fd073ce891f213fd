#include "card/CardClipboard.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace velopass {

void CardClipboard::Listen(std::initializer_list<HWND> buttons) const
{
    const auto listen = [this](HWND control) {
        ::SetWindowSubclass(control, &CardClipboard::CopyKeyProc, 0, reinterpret_cast<DWORD_PTR>(this));
    };
    for (const win::CEdit& edit : m_edits)
        listen(edit.GetSafeHwnd());
    for (const HWND button : buttons)
        listen(button);
}

bool CardClipboard::IsSelectionToCopy(HWND control) const
{
    DWORD start = 0;
    DWORD end = 0;
    for (const win::CEdit& edit : m_edits) {
        if (edit.GetSafeHwnd() == control)
            ::SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    return start != end;
}

// The character Ctrl+C also makes is dropped with it, so the edit does not copy as well.
LRESULT CALLBACK CardClipboard::CopyKeyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR self)
{
    const auto* clipboard = reinterpret_cast<const CardClipboard*>(self);
    const bool copyKey = message == WM_KEYDOWN && wParam == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                         !(::GetKeyState(VK_MENU) & 0x8000);
    const bool copyChar = message == WM_CHAR && wParam == 0x03;  // Ctrl+C as a character
    if ((copyKey || copyChar) && !clipboard->IsSelectionToCopy(control)) {
        if (copyKey)
            clipboard->CopyValuesToClipboard(::GetParent(control));
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(control, &CardClipboard::CopyKeyProc, id);
    return ::DefSubclassProc(control, message, wParam, lParam);
}

void CardClipboard::CopyValuesToClipboard(HWND owner) const
{
    std::wstring text;
    for (int field = 0; field < CardFieldCount; ++field)
        text += m_labels[field].str() + L" " + m_edits[field].GetWindowText() + L"\r\n";
    const win::ClipboardScope clipboard(owner);
    if (!clipboard)
        return;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    win::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* target = memory ? ::GlobalLock(memory.get()) : nullptr;
    if (target == nullptr)
        return;
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    // Once set, the memory is the clipboard's.
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr)
        memory.release();
}

// No "&" of its own: the system's entries, in the user's language, may use any letter.
void CardClipboard::ShowCopyEntry(HWND window, const Text& entry)
{
    const HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    const std::wstring text = entry.str() + L"\tCtrl+C";
    if (::GetMenuState(systemMenu, kCopyValuesCommand, MF_BYCOMMAND) == static_cast<UINT>(-1))
        ::AppendMenuW(systemMenu, MF_STRING, kCopyValuesCommand, text.c_str());
    else
        ::ModifyMenuW(systemMenu, kCopyValuesCommand, MF_BYCOMMAND | MF_STRING, kCopyValuesCommand, text.c_str());
}

}  // namespace velopass
