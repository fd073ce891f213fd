// Thin wrappers of windows the program does not own: the controls of a
// dialog belong to the dialog's window, the wrappers only name them.
#pragma once

#include "win/Handles.h"

#include <string>

namespace win {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND window) { m_hWnd = window; }

    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    void ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

protected:
    HWND m_hWnd = nullptr;
};

class CEdit : public CWnd {};
class CButton : public CWnd {};

// A menu the program made. It owns it until it is handed to another menu,
// which then destroys it with itself; the handle still names the menu.
class CMenu {
public:
    HMENU GetSafeHmenu() const { return m_handle; }
    bool CreatePopupMenu()
    {
        m_owned.reset(::CreatePopupMenu());
        m_handle = m_owned.get();
        return m_handle != nullptr;
    }
    void HandOver() { m_owned.release(); }

private:
    UniqueMenu m_owned;
    HMENU m_handle = nullptr;
};

}  // namespace win
