#include "text/LanguageMenu.h"

#include "text/CardTexts.h"
#include "text/OemSettings.h"
#include "text/TextFile.h"

#include <new>
#include <vector>

namespace velopass {

// The entries sit in the system menu: the system keeps a command's low four
// bits for itself, and its own commands start at SC_SIZE. A list in a text
// names fewer languages than it has characters.
static_assert(LanguageMenuId(0) % 16 == 0 && LanguageMenuId(1) - LanguageMenuId(0) == 16 &&
              LanguageMenuId(static_cast<int>(Text::kCapacity)) < SC_SIZE);

void LanguageMenu::BuildLanguageMenu(HWND window, const wchar_t* textFile, const Text& entry)
{
    Text list;
    if (!ReadText(textFile, oem::SupportedLang.section, oem::SupportedLang.key, list))
        return;
    const std::vector<LanguageCode> codes = ParseLanguageList(list.view());  // a text read names one at least
    m_languageCount = static_cast<int>(codes.size());
    m_languageMenuIds.reset(new (std::nothrow) int[codes.size()]());
    m_languageCodes.reset(new (std::nothrow) Text[codes.size()]);
    if (!m_languageMenuIds || !m_languageCodes || !m_languageMenu.CreatePopupMenu()) {
        m_languageCount = 0;
        return;
    }
    for (int k = 0; k < m_languageCount; ++k) {
        m_languageCodes[k] = codes[k];
        m_languageMenuIds[k] = LanguageMenuId(k);
        Text name;
        if (ReadText(textFile, m_languageCodes[k].c_str(), kLanguageNameKey, name))
            ::AppendMenuW(m_languageMenu.GetSafeHmenu(), MF_STRING, m_languageMenuIds[k], name.c_str());
    }
    const HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    const HMENU popup = m_languageMenu.GetSafeHmenu();
    if (::AppendMenuW(systemMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), entry.c_str()))
        m_languageMenu.HandOver();
}

const Text* LanguageMenu::LanguageOf(int command) const
{
    for (int k = 0; k < m_languageCount; ++k) {
        if (m_languageMenuIds[k] == command)
            return &m_languageCodes[k];
    }
    return nullptr;
}

void LanguageMenu::Rename(HWND window, const Text& entry) const
{
    const HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    const auto popup = reinterpret_cast<UINT_PTR>(m_languageMenu.GetSafeHmenu());
    if (popup != 0)
        ::ModifyMenuW(systemMenu, static_cast<UINT>(popup), MF_BYCOMMAND | MF_STRING | MF_POPUP, popup, entry.c_str());
}

void LanguageMenu::Release()
{
    m_languageMenuIds.reset();
    m_languageCodes.reset();
    m_languageCount = 0;
}

}  // namespace velopass
