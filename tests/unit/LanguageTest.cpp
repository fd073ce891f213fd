#include "text/Language.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using velopass::LanguageCode;
using Codes = std::vector<LanguageCode>;

TEST(LocaleMapping, FoldsChineseScriptsAndNorwegianLowerCasingAsciiOnly)
{
    const struct { const wchar_t* locale; const wchar_t* code; } cases[] = {
        {L"zh-HK", L"zh-cht"}, {L"zh-mo-cn", L"zh-cht"},  // the traditional tests come first
        {L"ZH-SG", L"zh-chs"}, {L"zh-Hans", L"zh-hans"}, {L"nb-NO", L"no"},
        {L"se-NO", L"se-no"},  {L"DE-\u00C4", L"de-\u00C4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velopass::MapLocaleName(c.locale), c.code) << c.locale;
    EXPECT_EQ(velopass::LocaleNameFromIso(L"de", L"DE"), L"de-DE");
    EXPECT_EQ(velopass::LocaleNameFromIso(L"", L"DE"), L"");
}

TEST(LanguageResolution, DropsOnePartAtATimeThenFallsBackToEnglishUnasked)
{
    const struct { std::set<LanguageCode> present; const wchar_t* locale, *chosen; Codes asked; } cases[] = {
        {{L"en", L"de"}, L"de-DE", L"de", {L"de-de", L"de"}},
        {{L"ar", L"ar-sa"}, L"ar-SA", L"ar-sa", {L"ar-sa"}},
        {{L"zh"}, L"zh-TW", L"zh", {L"zh-cht", L"zh"}},
        {{L"de"}, L"sr-Latn-CS", L"en", {L"sr-latn-cs", L"sr-latn", L"sr"}},
        {{L"de"}, L"de-", L"de", {L"de-", L"de"}},
        {{L"de"}, L"", L"en", {}},
    };
    for (const auto& c : cases) {
        Codes asked;
        const LanguageCode chosen =
            velopass::ResolveLanguage(velopass::MapLocaleName(c.locale), [&](const LanguageCode& code) {
                asked.push_back(code);
                return c.present.count(code) != 0;
            });
        EXPECT_EQ(chosen, c.chosen) << c.locale;
        EXPECT_EQ(asked, c.asked) << c.locale;
    }
}

TEST(LanguageList, PiecesUpToTheFirstFullStop)
{
    const struct { const wchar_t* list; Codes codes; } cases[] = {
        {L"en.de/fr.", {L"en"}},
        {L"/en/de.", {L"/en", L"de"}},  // the first character never separates
        {L"en//de.", {L"en", L"", L"de"}},
        {L"en/de", {L"en", L"de"}},
        {L"en/", {L"en"}},
        {L"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velopass::ParseLanguageList(c.list), c.codes) << c.list;
}
