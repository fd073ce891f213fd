// Ctrl+C on the card copies its seven values, one "label value" line each in
// the card's language, from whichever of the controls that take the focus has
// it; a selection in the date edit is the edit's own to copy, as in any edit.
#pragma once

#include "text/CardField.h"
#include "text/FixedText.h"
#include "win/Window.h"

namespace velopass {

class CardClipboard {
public:
    CardClipboard(const Text (&labels)[CardFieldCount], const win::CEdit (&edits)[CardFieldCount])
        : m_labels(labels), m_edits(edits)
    {
    }
    // Keys reach the focused control: these are the ones that take the focus.
    void Listen(std::initializer_list<HWND> controls) const;

private:
    static LRESULT CALLBACK CopyKeyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    bool IsSelectionToCopy(HWND control) const;
    void CopyValuesToClipboard(HWND owner) const;

    const Text (&m_labels)[CardFieldCount];
    const win::CEdit (&m_edits)[CardFieldCount];
};

}  // namespace velopass
