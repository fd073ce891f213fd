// The language entry at the end of the window's system menu, and the list of
// languages below it.
#pragma once

#include "text/FixedText.h"
#include "win/Window.h"

#include <memory>

namespace velopass {

class LanguageMenu {
public:
    // One entry for each language of the text file's "SupportedLang" that has
    // a name of its own, with the command 16, 32, 48, ... of its place in the
    // list; appended to the window's system menu under `entry`. Nothing
    // without a list.
    void BuildLanguageMenu(HWND window, const wchar_t* textFile, const Text& entry);
    // The code of the language whose entry has this command, or null.
    const Text* LanguageOf(int command) const;
    // Gives the entry another name; it keeps its list.
    void Rename(HWND window, const Text& entry) const;
    // Lets go of the codes and commands; the menu, once appended, goes with the window.
    void Release();

private:
    int m_languageCount = 0;
    std::unique_ptr<int[]> m_languageMenuIds;
    std::unique_ptr<Text[]> m_languageCodes;
    win::CMenu m_languageMenu;
};

}  // namespace velopass
