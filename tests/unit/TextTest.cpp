// The card's texts: the language chosen from the locale and the guest message.
#include "app/GuestMessage.h"
#include "text/Language.h"

#include <gtest/gtest.h>

#include <set>

using velopass::LanguageCode;
using Codes = std::vector<LanguageCode>;

TEST(LocaleMapping, FoldsChineseScriptsAndNorwegianLowerCasingAsciiOnly)
{
    const struct { const wchar_t *locale, *code; } cases[] = {
        {L"zh-HK", L"zh-cht"}, {L"zh-mo-cn", L"zh-cht"},  // the traditional tests come first
        {L"ZH-SG", L"zh-chs"}, {L"zh-Hans", L"zh-hans"}, {L"nb-NO", L"no"}, {L"nn-NO", L"no"}, {L"se-NO", L"se-no"},
        {L"DE-\u00C4", L"de-\u00C4"}};
    for (const auto& c : cases)
        EXPECT_EQ(velopass::MapLocaleName(c.locale), c.code) << c.locale;
    EXPECT_EQ(velopass::LocaleNameFromIso(L"", L"DE"), L"");
}

TEST(LanguageResolution, DropsOnePartAtATimeThenFallsBackToEnglishUnasked)
{
    const struct { std::set<LanguageCode> present; const wchar_t *locale, *chosen; Codes asked; } cases[] = {
        {{L"en", L"de"}, L"de-DE", L"de", {L"de-de", L"de"}}, {{L"zh"}, L"zh-TW", L"zh", {L"zh-cht", L"zh"}},
        {{L"de"}, L"sr-Latn-CS", L"en", {L"sr-latn-cs", L"sr-latn", L"sr"}}, {{L"de"}, L"de-", L"de", {L"de-", L"de"}},
        {{L"de"}, L"", L"en", {}}, {{L"de-de"}, L"de-DE", L"de-de", {L"de-de"}}};  // the full name first
    for (const auto& c : cases) {
        Codes asked;
        const auto present = [&](const LanguageCode& code) { return asked.push_back(code), c.present.count(code) > 0; };
        const LanguageCode chosen = velopass::ResolveLanguage(velopass::MapLocaleName(c.locale), present);
        EXPECT_EQ(std::tie(chosen, asked), std::tie(c.chosen, c.asked)) << c.locale;
    }
}

TEST(LanguageList, PiecesUpToTheFirstFullStop)
{
    const struct { const wchar_t* list; Codes codes; } cases[] = {
        {L"en.de/fr.", {L"en"}}, {L"/en/de.", {L"/en", L"de"}},  // the first character never separates
        {L"en//de.", {L"en", L"", L"de"}}, {L"en/de", {L"en", L"de"}}, {L"en/", {L"en"}}, {L"", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(velopass::ParseLanguageList(c.list), c.codes) << c.list;
}

TEST(GuestRefusal, TheFilesMessageWithEveryPlaceholderAsTheTitleOrTheBuiltInOne)
{
    const std::wstring title(127, L't');  // the message may outgrow a card text
    const struct {
        std::optional<std::wstring_view> message; const wchar_t *title, *language; velopass::GuestRefusal shown;
    } cases[] = {
        {L"[{0}] [{0}] {1}", L"a{0}", L"en", {L"[a{0}] [a{0}] {1}", L"a{0}", 0x30}},  // the title is not expanded
        {std::nullopt, L"\u0641", L"ar", {L"built in", L"\u0641", 0x100030}},      // MB_RTLREADING
        {L"{0} {0}", title.c_str(), L"AR", {title + L" " + title, title, 0x30}}};  // the code as written
    for (const auto& c : cases) {
        const velopass::GuestRefusal refusal = velopass::MakeGuestRefusal(c.message, L"built in", c.title, c.language);
        EXPECT_EQ(std::tie(refusal.message, refusal.caption, refusal.boxType),
                  std::tie(c.shown.message, c.shown.caption, c.shown.boxType)) << c.language;
    }
}
