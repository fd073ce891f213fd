#include "machine/PathExpansion.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using velopass::DataFolderLevels;

namespace {

struct Environment {
    std::map<std::wstring, std::wstring> variables;
    int lookups = 0;

    std::optional<std::wstring> Expand(const std::wstring& path, const std::wstring& brand = L"Zell")
    {
        return velopass::ExpandPathVariables(path, brand, [this](const std::wstring& name) {
            ++lookups;
            const auto found = variables.find(name);
            return found == variables.end() ? std::nullopt : std::optional<std::wstring>(found->second);
        });
    }
};

}  // namespace

TEST(PathExpansion, BrandAndVariables)
{
    Environment env{{{L"TEMP", L"c:\\temp"}, {L"OEM", L"d:\\oem"}}};
    EXPECT_EQ(env.Expand(L"c:\\OEM\\FUB.ini"), L"c:\\OEM\\FUB.ini");
    EXPECT_EQ(env.Expand(L"c:\\OEM\\%brand%\\FUB.ini"), L"c:\\OEM\\Zell\\FUB.ini");
    EXPECT_EQ(env.Expand(L"c:\\OEM\\%brand%\\FUB.ini", L""), L"c:\\OEM\\\\FUB.ini");
    EXPECT_EQ(env.Expand(L"%BRAND%\\FUB.ini"), L"Zell\\FUB.ini");
    EXPECT_EQ(env.Expand(L"%brand%%brand%"), L"ZellZell");
    EXPECT_EQ(env.Expand(L"%TEMP%\\%brand%.ini"), L"c:\\temp\\Zell.ini");
    EXPECT_EQ(env.Expand(L"%OEM%\\x\\%OEM%"), L"d:\\oem\\x\\d:\\oem");
    EXPECT_EQ(env.Expand(L""), L"");
}

TEST(PathExpansion, UnsetVariables)
{
    Environment env{{{L"TEMP", L"c:\\temp"}}};
    // A leading unset name stops everything; further in it is passed over.
    EXPECT_EQ(env.Expand(L"%NOSUCHVAR%\\%brand%\\a.ini"), L"%NOSUCHVAR%\\%brand%\\a.ini");
    EXPECT_EQ(env.Expand(L"c:\\%NOSUCHVAR%\\%brand%\\a.ini"), L"c:\\%NOSUCHVAR%\\Zell\\a.ini");
    // An unclosed brand token stops the scan.
    EXPECT_EQ(env.Expand(L"c:\\%brand"), L"c:\\%brand");
    EXPECT_EQ(env.Expand(L"c:\\%brand\\%TEMP%"), L"c:\\%brand\\%TEMP%");
}

TEST(PathExpansion, ShrinkingTextCarriesTheScanOn)
{
    Environment env{{{L"TEMP", L"c:\\temp"}}};
    EXPECT_EQ(env.Expand(L"0123456789%brand%\\%TEMP%"), L"0123456789Zell\\%TEMP%");
}

TEST(PathExpansion, ResultsThatWouldNotFitAreRefused)
{
    Environment env{{{L"LONG", std::wstring(100, L'x')}}};
    EXPECT_EQ(env.Expand(L"c:\\" + std::wstring(120, L'a')), L"c:\\" + std::wstring(120, L'a'));
    EXPECT_EQ(env.Expand(L"c:\\%LONG%\\" + std::wstring(30, L'a')), std::nullopt);
    EXPECT_EQ(env.Expand(L"%LONG%%LONG%"), std::nullopt);
    EXPECT_EQ(env.Expand(std::wstring(127, L'y')), std::wstring(127, L'y'));
}

TEST(PathExpansion, SelfReferenceEndsWithinItsBound)
{
    Environment env{{{L"A", L"%A%%A%"}}};
    EXPECT_EQ(env.Expand(L"%A%\\x"), std::nullopt);
    EXPECT_LT(env.lookups, 100);  // it gave up long before its 1000 iterations

    Environment same{{{L"B", L"%B%"}}};
    EXPECT_EQ(same.Expand(L"c:\\%B%\\x"), L"c:\\%B%\\x");  // stays put, ends after its iterations
}

TEST(DataFolder, LevelsLeaveOutTheVolume)
{
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(DataFolderLevels(L"c:\\OEM\\Velopass\\"), (Levels{L"c:\\OEM", L"c:\\OEM\\Velopass"}));
    EXPECT_EQ(DataFolderLevels(L"c:\\OEM\\Velopass"), (Levels{L"c:\\OEM"}));
    EXPECT_EQ(DataFolderLevels(L"\\\\server\\share\\OEM\\V\\"),
              (Levels{L"\\\\server\\share\\OEM", L"\\\\server\\share\\OEM\\V"}));
    EXPECT_EQ(DataFolderLevels(L"\\OEM\\"), (Levels{L"\\OEM"}));
    EXPECT_EQ(DataFolderLevels(L"data\\x\\"), (Levels{L"data", L"data\\x"}));
    EXPECT_EQ(DataFolderLevels(L"c:\\a\\\\b\\"), (Levels{L"c:\\a", L"c:\\a\\", L"c:\\a\\\\b"}));
    EXPECT_TRUE(DataFolderLevels(L"").empty());
    EXPECT_TRUE(DataFolderLevels(L"\\").empty());

    std::wstring deep = L"c:";
    for (int i = 0; i < 150; ++i)
        deep += L"\\d";
    deep += L"\\";
    EXPECT_EQ(DataFolderLevels(deep).size(), 99u);  // 100 levels handled, the drive among them
}
