// The dialog base: a modal run from a template, control binding, and one
// message-map function per dialog that says whether it handled a message.
#pragma once

#include "win/Window.h"

namespace win {

// The system's dialog box class: a dialog's own class is copied from it.
inline constexpr wchar_t kDialogClass[] = L"#32770";

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    ~CDialog() override = default;

    // Creates the dialog from its template, with no owner, and runs it until EndDialog.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }

protected:
    // Binds the controls; derived dialogs call the base first.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() = 0;
    virtual void OnOK() = 0;
    virtual void OnCancel() = 0;

    // The message map. Returns true when the message was handled, with the
    // dialog procedure's result in `result`; false leaves it to the default
    // processing.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;

    void BindControl(int id, CWnd& control) const { control.Attach(::GetDlgItem(m_hWnd, id)); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};

}  // namespace win
