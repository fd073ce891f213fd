// Copying the card's seven values, one "label value" line each in the card's
// language: Ctrl+C on whichever control has the focus, or the window menu's
// Copy entry. A selection in an edit is the edit's own to copy, as in any edit.
#pragma once

#include "text/CardField.h"
#include "text/FixedText.h"
#include "text/Language.h"
#include "win/Window.h"

namespace velopass {

// The Copy entry's command in the window menu: as the language entries' (a
// multiple of 16, below the system's own from SC_SIZE) and past the last of them.
inline constexpr int kCopyValuesCommand = 0xE000;
static_assert(kCopyValuesCommand % 16 == 0 && kCopyValuesCommand < 0xF000 /*SC_SIZE*/ &&
              kCopyValuesCommand > LanguageMenuId(static_cast<int>(Text::kCapacity)));

class CardClipboard {
public:
    CardClipboard(const Text (&labels)[CardFieldCount], const win::CEdit (&edits)[CardFieldCount])
        : m_labels(labels), m_edits(edits)
    {
    }
    // Keys reach the focused control: the edits and `buttons` are the ones that take the focus.
    void Listen(std::initializer_list<HWND> buttons) const;
    void CopyValuesToClipboard(HWND owner) const;
    // The window menu's Copy entry, named `entry` with the key that does the same: appended, or renamed.
    static void ShowCopyEntry(HWND window, const Text& entry);

private:
    static LRESULT CALLBACK CopyKeyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    bool IsSelectionToCopy(HWND control) const;

    const Text (&m_labels)[CardFieldCount];
    const win::CEdit (&m_edits)[CardFieldCount];
};

}  // namespace velopass
