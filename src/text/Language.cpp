#include "text/Language.h"

#include "text/Ascii.h"

namespace velopass {

namespace {

bool Contains(std::wstring_view text, std::wstring_view part)
{
    return text.find(part) != std::wstring_view::npos;
}

bool ContainsAny(std::wstring_view text, std::initializer_list<std::wstring_view> parts)
{
    for (std::wstring_view part : parts) {
        if (Contains(text, part))
            return true;
    }
    return false;
}

}  // namespace

std::wstring LocaleNameFromIso(std::wstring_view language, std::wstring_view country)
{
    if (language.empty())
        return std::wstring();
    std::wstring name(language);
    name += L'-';
    name += country;
    return name;
}

LanguageCode MapLocaleName(std::wstring_view localeName)
{
    const std::wstring name = LowerAscii(std::wstring(localeName));
    if (Contains(name, L"zh")) {
        if (ContainsAny(name, {L"tw", L"hk", L"mo", L"cht"}))
            return L"zh-cht";
        if (ContainsAny(name, {L"cn", L"sg", L"chs"}))
            return L"zh-chs";
        return name;
    }
    if (name == L"nn-no" || name == L"nb-no")
        return L"no";
    return name;
}

std::vector<LanguageCode> ParseLanguageList(std::wstring_view list)
{
    std::vector<LanguageCode> codes;
    std::size_t start = 0;
    for (std::size_t i = 1; i < list.size(); ++i) {
        if (list[i] != L'/' && list[i] != L'.')
            continue;
        codes.emplace_back(list.substr(start, i - start));
        if (list[i] == L'.')
            return codes;
        start = i + 1;
    }
    if (start < list.size())
        codes.emplace_back(list.substr(start));
    return codes;
}

LanguageCode ResolveLanguage(const LanguageCode& mappedName, const LanguagePresent& isPresent)
{
    if (mappedName.empty())
        return kFallbackLanguage;
    LanguageCode name = mappedName;
    if (isPresent(name))
        return name;
    for (;;) {
        const std::size_t dash = name.rfind(L'-');
        if (dash == LanguageCode::npos)
            return kFallbackLanguage;
        name.erase(dash);
        if (isPresent(name))
            return name;
    }
}

}  // namespace velopass
