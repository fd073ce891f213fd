#include "win/Dialog.h"

#include "win/WinApp.h"

namespace win {

INT_PTR CDialog::DoModal()
{
    const INT_PTR result = ::DialogBoxParamW(CWinApp::Current()->Instance(), MAKEINTRESOURCEW(m_templateId), nullptr,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (dialog == nullptr)
        return FALSE;
    return dialog->Dispatch(message, wParam, lParam);
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // Enter and Escape arrive as these two commands.
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    // Of the messages whose dialog-procedure result is the return value itself rather than DWLP_MSGRESULT, a
    // dialog here answers the colour messages alone.
    const bool resultDirectly = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    INT_PTR result = 0;
    if (!OnMessage(message, wParam, lParam, result))
        return FALSE;
    if (resultDirectly)
        return result;
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace win
