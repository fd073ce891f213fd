#include "text/Language.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using velopass::LanguageCode;
using velopass::MapLocaleName;
using velopass::ResolveLanguage;

namespace {

// A text file as the resolution sees it: the sections that have a title,
// and a record of every section it asked about.
struct FakeTextFile {
    std::set<LanguageCode> present;
    std::vector<LanguageCode> asked;

    LanguageCode Resolve(const std::wstring& localeName)
    {
        return ResolveLanguage(MapLocaleName(localeName), [this](const LanguageCode& code) {
            asked.push_back(code);
            return present.count(code) != 0;
        });
    }
};

}  // namespace

TEST(LocaleMapping, FoldsChineseScriptsAndNorwegian)
{
    struct Case {
        const wchar_t* locale;
        const wchar_t* code;
    } const cases[] = {
        {L"zh-TW", L"zh-cht"},   {L"zh-HK", L"zh-cht"},     {L"zh-MO", L"zh-cht"},
        {L"zh-Hant-TW", L"zh-cht"}, {L"zh-CN", L"zh-chs"},  {L"zh-SG", L"zh-chs"},
        {L"ZH-CHS", L"zh-chs"},  {L"zh-Hans", L"zh-hans"},  {L"zh", L"zh"},
        {L"zh-mo-cn", L"zh-cht"},  // the traditional tests come first
        {L"nb-NO", L"no"},       {L"nn-NO", L"no"},         {L"se-NO", L"se-no"},
        {L"de-DE", L"de-de"},    {L"sr-Latn-CS", L"sr-latn-cs"}, {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapLocaleName(c.locale), c.code) << c.locale;
}

TEST(LocaleMapping, LowerCasesAsciiOnly)
{
    EXPECT_EQ(velopass::LowerAscii(L"AZaz-09\u00C4"), L"azaz-09\u00C4");
    EXPECT_EQ(velopass::LocaleNameFromIso(L"de", L"DE"), L"de-DE");
    EXPECT_EQ(velopass::LocaleNameFromIso(L"de", L""), L"de-");
    EXPECT_EQ(velopass::LocaleNameFromIso(L"", L"DE"), L"");
}

TEST(LanguageResolution, WorkedExamples)
{
    FakeTextFile file{{L"en", L"de", L"zh-cht", L"no"}, {}};
    EXPECT_EQ(file.Resolve(L"de-DE"), L"de");
    EXPECT_EQ(file.Resolve(L"fr-FR"), L"en");
    EXPECT_EQ(file.Resolve(L"zh-HK"), L"zh-cht");
    EXPECT_EQ(file.Resolve(L"nb-NO"), L"no");

    file.asked.clear();
    EXPECT_EQ(file.Resolve(L"sr-Latn-CS"), L"en");
    EXPECT_EQ(file.asked, (std::vector<LanguageCode>{L"sr-latn-cs", L"sr-latn", L"sr"}));
}

TEST(LanguageResolution, FallsBackWithoutAskingForEnglish)
{
    FakeTextFile file{{L"zh"}, {}};
    EXPECT_EQ(file.Resolve(L"zh-TW"), L"zh");  // zh-cht absent, then zh

    FakeTextFile empty;
    EXPECT_EQ(empty.Resolve(L"zh-TW"), L"en");
    EXPECT_EQ(empty.asked, (std::vector<LanguageCode>{L"zh-cht", L"zh"}));

    empty.asked.clear();
    EXPECT_EQ(empty.Resolve(L""), L"en");
    EXPECT_TRUE(empty.asked.empty());

    empty.asked.clear();
    EXPECT_EQ(empty.Resolve(L"en-US"), L"en");
    EXPECT_EQ(empty.asked, (std::vector<LanguageCode>{L"en-us", L"en"}));
}

TEST(LanguageResolution, NameEndingInDashTriesTheLanguageAlone)
{
    FakeTextFile file{{L"de"}, {}};
    EXPECT_EQ(file.Resolve(L"de-"), L"de");
    EXPECT_EQ(file.asked, (std::vector<LanguageCode>{L"de-", L"de"}));
}

TEST(LanguageResolution, ArabicKeepsItsCountryWhenTheFileHasIt)
{
    FakeTextFile withCountry{{L"ar", L"ar-sa"}, {}};
    EXPECT_EQ(withCountry.Resolve(L"ar-SA"), L"ar-sa");
    FakeTextFile languageOnly{{L"ar"}, {}};
    EXPECT_EQ(languageOnly.Resolve(L"ar-SA"), L"ar");
}

TEST(LanguageList, PiecesUpToTheClosingFullStop)
{
    using Codes = std::vector<LanguageCode>;
    EXPECT_EQ(velopass::ParseLanguageList(L"en/de/fr."), (Codes{L"en", L"de", L"fr"}));
    EXPECT_EQ(velopass::ParseLanguageList(L"en.de/fr."), (Codes{L"en"}));  // the rest is ignored
    EXPECT_EQ(velopass::ParseLanguageList(L"zh-cht.x"), (Codes{L"zh-cht"}));
    EXPECT_EQ(velopass::ParseLanguageList(L"/en/de."), (Codes{L"/en", L"de"}));  // the first character never separates
    EXPECT_EQ(velopass::ParseLanguageList(L"en//de."), (Codes{L"en", L"", L"de"}));
    EXPECT_EQ(velopass::ParseLanguageList(L"de/de."), (Codes{L"de", L"de"}));
    EXPECT_EQ(velopass::ParseLanguageList(L"EN/AR."), (Codes{L"EN", L"AR"}));
    EXPECT_EQ(velopass::ParseLanguageList(L"en/"), (Codes{L"en"}));
}

TEST(LanguageList, WithoutAFullStopTheTextEndsTheList)
{
    using Codes = std::vector<LanguageCode>;
    EXPECT_EQ(velopass::ParseLanguageList(L"en/de"), (Codes{L"en", L"de"}));
    EXPECT_EQ(velopass::ParseLanguageList(L"en"), (Codes{L"en"}));
    EXPECT_EQ(velopass::ParseLanguageList(L""), Codes{});
    EXPECT_EQ(velopass::LanguageMenuId(0), 16);
    EXPECT_EQ(velopass::LanguageMenuId(2), 48);
}
