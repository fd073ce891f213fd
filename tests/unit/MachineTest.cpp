// What the card makes of the machine's own values: brand, SNID, part number, paths.
#include "machine/Brand.h"
#include "machine/PathExpansion.h"
#include "machine/ProfileText.h"
#include "machine/SystemValues.h"

#include <gtest/gtest.h>

#include <map>

TEST(Brand, RegistryMatchesWholeAndFirstThenVendorInTableOrder)
{
    const struct { std::optional<std::wstring_view> registry; const wchar_t *vendor, *brand; } cases[] = {
        {L"BRINDLE HALL", L"", L"Brindle Hall"}, {L"Marwick", L"Zell Computers", L"Marwick"},
        {L"Zell Computers", L"Lumiframe Ltd", L"Lumiframe"},  // no partial match in the registry
        {std::nullopt, L"lumif & brindl", L"Lumiframe"},      // table order, not text order
        {std::nullopt, L"Tessary Inc.", L""}};                // only the registry names Tessary
    for (const auto& c : cases)
        EXPECT_EQ(velopass::ResolveBrandName(c.registry, c.vendor), c.brand) << c.vendor;
}

TEST(SystemValues, SnidAndPartNumberFromSerialsOfAnyLength)
{
    const struct { const wchar_t *serial, *snid; } cases[] = {
        {L"0123456789KLM0001fXY2", L"KLM000031XY"},  // hex, in any case
        {L"0123456789KLMZZZZZXY", L"KLM000000XY"},   // not hex: 0
        {L"0123456789KLMFFFFFXY", L"KLM048575XY"},   // 1048575: the seventh digit dropped
        {L"0123456789KLMA0a09XY", L"KLM657929XY"},   // A and a, each the first of its range
        {L"0123456789KLM", L"KLM000000"}, {L"0123456789K", L"K"}, {L"0123456789KLMggggg", L"KLM000000"}};
    for (const auto& c : cases)
        EXPECT_EQ(velopass::DeriveSnid(c.serial), c.snid) << c.serial;
    EXPECT_EQ(velopass::DerivePartNumber(L"0123456789KLM0001FXY2"), L"0123456789");
    EXPECT_EQ(velopass::DerivePartNumber(L"01234"), L"01234");
}

TEST(PathExpansion, BrandVariablesAndTheirBounds)
{
    const std::map<std::wstring, std::wstring> environment = {
        {L"TEMP", L"c:\\temp"}, {L"LONG", std::wstring(100, L'x')}, {L"A", L"%A%%A%"}, {L"B", L"%B%"}};
    const auto lookup = [&](const std::wstring& name) {
        return environment.count(name) ? std::optional(environment.at(name)) : std::nullopt;
    };
    const std::wstring longPath = L"c:\\" + std::wstring(124, L'a');
    const struct { std::wstring path; std::optional<std::wstring> expanded; } cases[] = {
        {L"%TEMP%\\%BRAND%.ini", L"c:\\temp\\Zell.ini"}, {L"c:\\%NOSUCHVAR%\\%brand%", L"c:\\%NOSUCHVAR%\\Zell"},
        {L"%NOSUCHVAR%%brand%", L"%NOSUCHVAR%%brand%"},  // a leading unset name stops everything
        {L"c:\\%brand\\%TEMP%", L"c:\\%brand\\%TEMP%"},  // an unclosed brand stops the scan
        {L"0123456789%brand%\\%TEMP%", L"0123456789Zell\\%TEMP%"},  // shrinking text carries the scan on
        {longPath, longPath}, {longPath + L"a", std::nullopt}, {L"c:\\%LONG%\\" + std::wstring(30, L'a'), std::nullopt},
        {L"%A%\\x", std::nullopt}, {L"c:\\%B%\\x", L"c:\\%B%\\x"}, {L"%", L"%"}, {L"", L""},
        {L"c:\\x\\%brand", L"c:\\x\\%brand"}};  // an unclosed brand further in
    for (const auto& c : cases)
        EXPECT_EQ(velopass::ExpandPathVariables(c.path, L"Zell", lookup), c.expanded) << c.path;
}

TEST(DataFolder, LevelsLeaveOutTheVolume)
{
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(velopass::DataFolderLevels(L"\\\\srv\\share\\OEM\\"), (Levels{L"\\\\srv\\share\\OEM"}));
    EXPECT_EQ(velopass::DataFolderLevels(L"\\OEM\\x"), (Levels{L"\\OEM"}));  // x: no level without its backslash
    EXPECT_EQ(velopass::DataFolderLevels(L"ab\\c\\"), (Levels{L"ab", L"ab\\c"}));  // relative: no share, no volume
    EXPECT_EQ(velopass::DataFolderLevels(L"\\"), Levels{});
    std::wstring deep = L"c:";
    for (int i = 0; i < 150; ++i)
        deep += L"\\d";
    EXPECT_EQ(velopass::DataFolderLevels(deep).size(), 99u);  // 100 levels, the drive among them
}

TEST(DataFile, TheDateIsSetAndEveryOtherCharacterKept)
{
    const struct { std::wstring_view before, after; } cases[] = {
        {L"", L"[data]\r\nDOP=new\r\n"},
        {L"[oem]\r\nK=v", L"[oem]\r\nK=v\r\n[data]\r\nDOP=new\r\n"},  // the last line's end given first
        // named in any case; blanks before a line and around a name kept, the old value's own replaced
        {L"[ data ]\r\nDOP=a\r\n[Data] ; x\r\n dop = old \r\n", L"[ data ]\r\nDOP=a\r\n[Data] ; x\r\n dop =new\r\n"},
        {L"[data]\nDOPX=1\n;DOP=old\n\n[oem]\nDOP=o\n", L"[data]\nDOPX=1\n;DOP=old\nDOP=new\r\n\n[oem]\nDOP=o\n"},
        {L"[data]\r\nDOP=first\r\n[data]\r\nDOP=second\r\n", L"[data]\r\nDOP=new\r\n[data]\r\nDOP=second\r\n"},
        {L"[data]\r\n DOP \r\n", L"[data]\r\n DOP=new\r\n"},  // a key without its value
        {L"[data]\rDOP=old\r", L"[data]\rDOP=old\r\r\nDOP=new\r\n"},  // CR alone ends no line
        {L"[data\r\nDOP=x\r\n[data]", L"[data\r\nDOP=x\r\n[data]\r\nDOP=new\r\n"}};  // no header without "]"
    for (const auto& c : cases)
        EXPECT_EQ(velopass::SetProfileValue(c.before, L"data", L"DOP", L"new"), c.after) << std::wstring(c.before);
}
