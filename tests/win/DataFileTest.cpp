// The card's INI files and registry key against the platform's own.
#include "machine/DataFile.h"
#include "machine/Registry.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// A fresh path under the temporary folder, removed with all it comes to hold.
struct TempFolder {
    const fs::path path = fs::temp_directory_path() / ("vp-" + std::to_string(::GetTickCount() + count++));
    ~TempFolder()
    {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::wstring folder() const { return path.wstring() + L"\\"; }
    static inline int count = 0;
};

std::string Bytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Unicode(const std::wstring& text)
{
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

const std::wstring kDate = L"\u4E8C\u3007\u4E8C\u516D\u5E74";  // outside every Western ANSI code page

}  // namespace

TEST(DataFile, AMissingFileIsMadeUnicodeAnExistingOneKeepsItsEncoding)
{
    TempFolder unicode, ansi;
    fs::create_directory(unicode.path);
    fs::create_directory(ansi.path);
    ::SetFileAttributesW(unicode.path.c_str(), FILE_ATTRIBUTE_READONLY);
    std::ofstream(ansi.path / "VLP.dat", std::ios::binary) << "[data]\r\nDOP=old\r\n";
    velopass::SavePurchaseDate(unicode.folder().c_str(), kDate);
    velopass::SavePurchaseDate(ansi.folder().c_str(), L"2026-03-01");
    EXPECT_EQ(Bytes(unicode.path / "VLP.dat"), Unicode(L"[data]\r\nDOP=" + kDate + L"\r\n"));
    EXPECT_FALSE(::GetFileAttributesW(unicode.path.c_str()) & FILE_ATTRIBUTE_HIDDEN);  // nothing had to be created
    EXPECT_EQ(Bytes(ansi.path / "VLP.dat"), "[data]\r\nDOP=2026-03-01\r\n");
}

TEST(DataFile, PathsAndEnvironmentValuesThatCannotBeHeldAreNeverUsed)
{
    EXPECT_FALSE(velopass::DataFilePath((L"c:\\" + std::wstring(118, L'a') + L"\\").c_str()).has_value());
    ::SetEnvironmentVariableW(L"VP_FITS", std::wstring(127, L'x').c_str());
    ::SetEnvironmentVariableW(L"VP_LONG", std::wstring(128, L'x').c_str());
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_FITS"), std::wstring(127, L'x'));
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_LONG"), std::nullopt);
}

TEST(TextFile, OnlyAValueOfAtLeastOneCharacterCounts)
{
    TempFolder folder;
    fs::create_directory(folder.path);
    const fs::path file = folder.path / "Velopass.ini";
    std::ofstream(file, std::ios::binary) << Unicode(L"[ZH-CHT]\r\nAppTitle=T\r\nEmpty=\r\n[de]\r\nAppTitle=\r\n");
    velopass::Text value = L"kept";
    EXPECT_FALSE(velopass::ReadText(file.c_str(), L"zh-cht", L"Empty", value));
    EXPECT_EQ(value, L"kept");
    EXPECT_TRUE(velopass::IsLanguagePresent(file.c_str(), L"zh-cht"));  // in any case
    EXPECT_FALSE(velopass::IsLanguagePresent(file.c_str(), L"de"));
    EXPECT_EQ(velopass::ReadTitle(file.c_str(), L"de"), L"Velopass");
}

TEST(Registry, TheKeyIsOpenedForReadingOnly)
{
    const wchar_t *path = L"Software\\VelopassRegistryTest", brand[] = L"Zell";
    const auto data = reinterpret_cast<const BYTE*>(brand);
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr), 0);
    ::RegSetValueExW(created, L"Brand", 0, REG_SZ, data, sizeof(brand));
    ::RegCloseKey(created);
    win::UniqueKey key;
    velopass::Text value;
    EXPECT_TRUE(velopass::ReadRegistryText(HKEY_CURRENT_USER, path, L"Brand", key, value));
    EXPECT_EQ(value, L"Zell");
    // A standard user may open the machine's key for reading only.
    EXPECT_NE(::RegSetValueExW(key.get(), L"Brand", 0, REG_SZ, data, sizeof(brand)), ERROR_SUCCESS);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path);
}
