// The card's INI files and its registry key against the platform's own.
#include "WinTest.h"
#include "machine/DataFile.h"
#include "machine/Registry.h"
#include "text/CardTexts.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

TEST(DataFile, PathsAndEnvironmentValuesThatCannotBeHeldAreNeverUsed)
{
    EXPECT_FALSE(velopass::DataFilePath((L"c:\\" + std::wstring(118, L'a') + L"\\").c_str()).has_value());
    ::SetEnvironmentVariableW(L"VP_FITS", std::wstring(127, L'x').c_str());
    ::SetEnvironmentVariableW(L"VP_LONG", std::wstring(128, L'x').c_str());
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_FITS"), std::wstring(127, L'x'));
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_LONG"), std::nullopt);
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_NEVER_SET"), std::nullopt);
}

TEST(DataFile, ASaveKeepsTheFilesEncodingAndAttributesAndLeavesAReadOnlyFileAlone)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vp-save";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / velopass::kDataFileName;
    const velopass::Text name = (folder.wstring() + L"\\").c_str();
    const auto bytes = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    using namespace std::string_literals;
    const struct { std::string before; const wchar_t* date; std::string after; } cases[] = {
        {"[oem]\r\nK=v", L"2026", "[oem]\r\nK=v\r\n[data]\r\nDOP=2026\r\n"},  // ANSI, as it was
        {"K=v", L"\u4e00",  // a date ANSI cannot hold: the file becomes UTF-16LE rather than lose it
         "\xFF\xFEK\0=\0v\0\r\0\n\0[\0d\0a\0t\0a\0]\0\r\0\n\0D\0O\0P\0=\0" "\x00\x4e" "\r\0\n\0"s},
        {"\xFE\xFF\0[\0d\0a\0t\0a\0]\0\n"s, L"1", "\xFE\xFF\0[\0d\0a\0t\0a\0]\0\n\0D\0O\0P\0=\0" "1\0\r\0\n"s},
        {"\xEF\xBB\xBF[data]\nDOP=\xC3\xA9\n", L"\u00e9t\u00e9", "\xEF\xBB\xBF[data]\nDOP=\xC3\xA9t\xC3\xA9\n"}};
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary) << c.before;
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(velopass::SavePurchaseDate(name, c.date)) << c.after;
        EXPECT_EQ(bytes(), c.after);
        EXPECT_EQ(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    }
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(velopass::SavePurchaseDate(name, L"2027").problem, velopass::SaveProblem::Denied);
    EXPECT_EQ(bytes(), cases[3].after);
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(folder);
}

TEST(TextFile, OnlyAValueOfAtLeastOneCharacterCountsAndTextsAreCutOnCharacters)
{
    const std::wstring pair = L"\U0001F600", title(126, L't'), label(125, L'l');
    const TempTextFile text(L"[ZH-CHT]\r\nAppTitle=T\r\nEmpty=\r\n[de]\r\nAppTitle=\r\n[cut]\r\nAppTitle=" + title +
                            pair + L"\r\nlblProductName=" + label + pair + L"\r\n");
    const wchar_t* file = text.path.c_str();
    velopass::CardTexts cut;
    velopass::ReadCardTexts(file, L"cut", cut);
    EXPECT_EQ(cut.m_caption, title);                 // cut by the platform at 127 units
    EXPECT_EQ(cut.m_labels[0], label + L":");        // a label at 126, before its colon
    EXPECT_EQ(velopass::Text(title + pair), title);  // any text at 127
    alignas(velopass::Text) unsigned char memory[sizeof(velopass::Text)] = {'x', 'x'};  // its first unit not NUL
    EXPECT_TRUE((new (memory) velopass::Text)->empty());  // a new text, whatever its memory held
    velopass::Text none = static_cast<const wchar_t*>(nullptr);  // no text, given or assigned, is an empty one
    EXPECT_TRUE(none.empty() && (none = L"x", none = static_cast<const wchar_t*>(nullptr)).empty());
    EXPECT_EQ(velopass::WholeCharacters(pair, 0), L"");
    velopass::Text value = L"kept";
    EXPECT_FALSE(velopass::ReadText(file, L"zh-cht", L"Empty", value));
    EXPECT_EQ(value, L"kept");
    EXPECT_TRUE(velopass::IsLanguagePresent(file, L"zh-cht"));  // in any case
    EXPECT_FALSE(velopass::IsLanguagePresent(file, L"de"));
    EXPECT_EQ(velopass::ReadTitle(file, L"de"), L"Velopass");
}

TEST(Registry, TheKeyIsOpenedForReadingOnly)
{
    const wchar_t *path = L"Software\\VelopassRegistryTest", brand[] = L"Zell";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, path, L"Brand", REG_SZ, brand, sizeof(brand)), ERROR_SUCCESS);
    win::UniqueKey key;
    velopass::Text value;
    EXPECT_TRUE(velopass::ReadRegistryText(HKEY_CURRENT_USER, path, L"Brand", key, value));
    EXPECT_EQ(value, L"Zell");
    // A standard user may open the machine's key for reading only.
    EXPECT_NE(::RegSetKeyValueW(key.get(), nullptr, L"Brand", REG_SZ, brand, sizeof(brand)), ERROR_SUCCESS);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path);
}
