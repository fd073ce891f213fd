// Choosing the text file's section for the user's locale. Portable: the
// locale name and the presence test are handed in.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velopass {

// A section of the text file, in lower case: "en", "de", "zh-cht", ...
using LanguageCode = std::wstring;

// Both exact and case-sensitive, as the codes are written.
inline bool IsRightToLeft(std::wstring_view language) { return language == L"ar"; }
inline bool IsCjkLanguage(std::wstring_view language)
{
    return language == L"ko" || language == L"zh-cht" || language == L"zh-chs" || language == L"ja";
}

inline constexpr wchar_t kFallbackLanguage[] = L"en";

// "language-COUNTRY" from the two ISO names of an older system; empty when the
// language name is. A missing country leaves the name ending in "-".
std::wstring LocaleNameFromIso(std::wstring_view language, std::wstring_view country);

// Lower-cases a locale name and folds the Chinese scripts and the two
// Norwegian forms onto the codes the text file uses.
LanguageCode MapLocaleName(std::wstring_view localeName);

// True when the text file has a section of that name with a non-empty title.
using LanguagePresent = std::function<bool(const LanguageCode&)>;

// The codes of the "SupportedLang" list: pieces separated by "/" up to the
// first "." (the first character never separates). A list that lacks the
// closing "." ends with the text.
std::vector<LanguageCode> ParseLanguageList(std::wstring_view list);

// The command of the language at position `index` of the list: 16, 32, 48, ...
constexpr int LanguageMenuId(int index) { return 16 * (index + 1); }

// Tries the mapped name, then each shorter prefix cut at a "-", then "en".
LanguageCode ResolveLanguage(const LanguageCode& mappedName, const LanguagePresent& isPresent);

}  // namespace velopass
