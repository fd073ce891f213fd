// The card's INI files against the platform's own INI reader and writer.
#include "machine/DataFile.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// A fresh path under the temporary folder, removed with all it comes to hold.
struct TempFolder {
    ~TempFolder()
    {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::wstring folder() const { return path.wstring() + L"\\"; }
    static inline int count = 0;
    const fs::path path = fs::temp_directory_path() / ("vp-" + std::to_string(::GetTickCount()) + "-" + std::to_string(count++));
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

TEST(DataFile, MissingFolderIsCreatedHiddenWithAUnicodeFile)
{
    TempFolder base;
    const std::wstring folder = base.folder() + L"OEM\\Velopass\\";
    velopass::SavePurchaseDate(folder.c_str(), kDate);
    EXPECT_EQ(Bytes(folder + L"VLP.dat"), Unicode(L"[data]\r\nDOP=" + kDate + L"\r\n"));
    for (const std::wstring& level : {base.folder() + L"OEM", base.folder() + L"OEM\\Velopass"})
        EXPECT_TRUE(::GetFileAttributesW(level.c_str()) & FILE_ATTRIBUTE_HIDDEN) << level;
}

TEST(DataFile, ExistingFolderGetsAUnicodeFileAndKeepsItsAttributes)
{
    TempFolder folder;
    ASSERT_TRUE(::CreateDirectoryW(folder.path.c_str(), nullptr));
    ::SetFileAttributesW(folder.path.c_str(), FILE_ATTRIBUTE_READONLY);
    velopass::SavePurchaseDate(folder.folder().c_str(), kDate);
    EXPECT_EQ(Bytes(folder.path / "VLP.dat"), Unicode(L"[data]\r\nDOP=" + kDate + L"\r\n"));
    EXPECT_FALSE(::GetFileAttributesW(folder.path.c_str()) & FILE_ATTRIBUTE_HIDDEN);  // nothing had to be created
}

TEST(DataFile, AnExistingAnsiFileKeepsItsEncoding)
{
    TempFolder folder;
    fs::create_directory(folder.path);
    std::ofstream(folder.path / "VLP.dat", std::ios::binary) << "[data]\r\nDOP=old\r\n";
    velopass::SavePurchaseDate(folder.folder().c_str(), L"2026-03-01");
    EXPECT_EQ(Bytes(folder.path / "VLP.dat"), "[data]\r\nDOP=2026-03-01\r\n");
}

TEST(DataFile, PathsAndEnvironmentValuesThatCannotBeHeldAreNeverUsed)
{
    EXPECT_FALSE(velopass::DataFilePath((L"c:\\" + std::wstring(118, L'a') + L"\\").c_str()).has_value());
    ::SetEnvironmentVariableW(L"VP_FITS", std::wstring(127, L'x').c_str());
    ::SetEnvironmentVariableW(L"VP_LONG", std::wstring(128, L'x').c_str());
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_FITS"), std::wstring(127, L'x'));
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_LONG"), std::nullopt);
}

TEST(TextFile, OnlyAValueOfAtLeastOneCharacterCountsAndLongOnesAreCut)
{
    TempFolder folder;
    fs::create_directory(folder.path);
    const fs::path file = folder.path / "Velopass.ini";
    const std::wstring title(300, L'\u6F22');
    std::ofstream(file, std::ios::binary) << Unicode(L"[ZH-CHT]\r\nAppTitle=" + title + L"\r\nEmpty=\r\n[de]\r\nAppTitle=\r\n");
    velopass::Text value = L"kept";
    EXPECT_FALSE(velopass::ReadText(file.c_str(), L"zh-cht", L"Empty", value));
    EXPECT_FALSE(velopass::ReadText(L".\\no such file.ini", L"zh-cht", L"AppTitle", value));
    EXPECT_EQ(value, L"kept");
    EXPECT_TRUE(velopass::IsLanguagePresent(file.c_str(), L"zh-cht"));  // in any case
    EXPECT_FALSE(velopass::IsLanguagePresent(file.c_str(), L"de"));
    EXPECT_EQ(velopass::ReadTitle(file.c_str(), L"de"), L"Velopass");
    EXPECT_EQ(velopass::ReadTitle(file.c_str(), L"zh-cht"), title.substr(0, 127));
}
