// The dialog base: a modal run from a template, control binding, and one
// message-map function per dialog that says whether it handled a message.
#pragma once

#include "win/Window.h"

namespace win {

// The system's dialog box class: a dialog's own class is copied from it.
inline constexpr wchar_t kDialogClass[] = L"#32770";

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
    ~CDialog() override = default;

    // Creates the dialog from its template and runs it until EndDialog.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }

protected:
    // Binds the controls; derived dialogs call the base first.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // The message map. Returns true when the message was handled, with the
    // dialog procedure's result in `result`; false leaves it to the default
    // processing.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    void BindControl(int id, CWnd& control) const { control.Attach(::GetDlgItem(m_hWnd, id)); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
};

}  // namespace win
