#include "text/UserLocale.h"

#include "text/Language.h"
#include "win/SystemLibrary.h"

#include <windows.h>

namespace velopass {

namespace {

std::wstring LocaleInfo(LCID locale, LCTYPE type)
{
    const int length = ::GetLocaleInfoW(locale, type, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring value(static_cast<std::size_t>(length), L'\0');
    const int copied = ::GetLocaleInfoW(locale, type, value.data(), length);
    value.resize(copied > 0 ? static_cast<std::size_t>(copied - 1) : 0);
    return value;
}

// Systems before version 6 have no locale names; build one from the ISO names.
std::wstring LocaleNameFromIsoNames(LCID locale)
{
    return LocaleNameFromIso(LocaleInfo(locale, LOCALE_SISO639LANGNAME), LocaleInfo(locale, LOCALE_SISO3166CTRYNAME));
}

// Looked up at run time: the function does not exist before version 6.
std::wstring LocaleNameFromSystem(LCID locale)
{
    std::wstring name;
    if (const auto toName = win::Kernel().LCIDToLocaleName) {
        wchar_t buffer[89] = {};
        if (toName(locale, buffer, 89, 0) > 0)
            name = buffer;
    }
    return name;
}

}  // namespace

UserLocale QueryUserLocale()
{
    const LCID locale = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    UserLocale result;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (::GetVersionExW(&version))
        result.osMajorVersion = static_cast<int>(version.dwMajorVersion);
    result.name = result.osMajorVersion < 6 ? LocaleNameFromIsoNames(locale) : LocaleNameFromSystem(locale);
    return result;
}

}  // namespace velopass
