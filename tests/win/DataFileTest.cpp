// Saving the date of purchase against the platform's own INI writer.
#include "machine/DataFile.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

using velopass::Text;

namespace {

// A fresh folder under the temporary folder, ending in "\", removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + L"vp-data-" + std::to_wstring(::GetTickCount()) + L"-" +
                 std::to_wstring(s_counter++) + L"\\";
    }
    ~TempFolder() { Remove(m_path); }
    const std::wstring& path() const { return m_path; }

private:
    static void Remove(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring full = folder + name;
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(full + L"\\");
                else
                    ::DeleteFileW(full.c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::wstring m_path;
    static inline int s_counter = 0;
};

std::string Bytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Utf16(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

const std::wstring kDate = L"\u4E8C\u3007\u4E8C\u516D\u5E74";  // not in any ANSI code page of the West

}  // namespace

TEST(DataFile, MissingFolderIsCreatedHiddenWithAUnicodeFile)
{
    TempFolder base;
    const Text folder = (base.path() + L"OEM\\Velopass\\").c_str();
    Text shown;
    EXPECT_FALSE(velopass::ReadText((folder.str() + L"VLP.dat").c_str(), L"data", L"DOP", shown));  // as the card does

    velopass::SavePurchaseDate(folder, kDate);

    const std::string bytes = Bytes(folder.str() + L"VLP.dat");
    EXPECT_EQ(bytes, "\xFF\xFE" + Utf16(L"[data]\r\nDOP=" + kDate + L"\r\n"));
    for (const std::wstring& level : {base.path() + L"OEM", base.path() + L"OEM\\Velopass"})
        EXPECT_TRUE(::GetFileAttributesW(level.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(velopass::ReadText((folder.str() + L"VLP.dat").c_str(), L"data", L"DOP", shown));
    EXPECT_EQ(shown.view(), kDate);
}

TEST(DataFile, ExistingFolderGetsAUnicodeFileAndKeepsItsAttributes)
{
    TempFolder folder;
    ASSERT_TRUE(::CreateDirectoryW(folder.path().c_str(), nullptr));
    ::SetFileAttributesW(folder.path().c_str(), FILE_ATTRIBUTE_READONLY);

    velopass::SavePurchaseDate(folder.path().c_str(), kDate);

    EXPECT_EQ(Bytes(folder.path() + L"VLP.dat"), "\xFF\xFE" + Utf16(L"[data]\r\nDOP=" + kDate + L"\r\n"));
    const DWORD attributes = ::GetFileAttributesW(folder.path().c_str());
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_HIDDEN);  // nothing had to be created
}

TEST(DataFile, AnExistingAnsiFileKeepsItsEncoding)
{
    TempFolder folder;
    ASSERT_TRUE(::CreateDirectoryW(folder.path().c_str(), nullptr));
    {
        std::ofstream file((folder.path() + L"VLP.dat").c_str(), std::ios::binary);
        file << "[data]\r\nDOP=old\r\n";
    }
    velopass::SavePurchaseDate(folder.path().c_str(), L"2026-03-01");
    EXPECT_EQ(Bytes(folder.path() + L"VLP.dat"), "[data]\r\nDOP=2026-03-01\r\n");
}

TEST(DataFile, PathsThatWouldNotFitAreNeverUsed)
{
    const Text folder = (L"c:\\" + std::wstring(118, L'a') + L"\\").c_str();  // 122 characters
    EXPECT_FALSE(velopass::DataFilePath(folder).has_value());
    EXPECT_EQ(velopass::DataFilePath(L"c:\\OEM\\")->view(), L"c:\\OEM\\VLP.dat");
}

TEST(DataFile, EnvironmentValuesThatCannotBeHeldCountAsUnset)
{
    ::SetEnvironmentVariableW(L"VP_SHORT", L"value");
    ::SetEnvironmentVariableW(L"VP_LONG", std::wstring(200, L'x').c_str());
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_SHORT"), L"value");
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_LONG"), std::nullopt);
    EXPECT_EQ(velopass::LookupEnvironment(L"VP_NOT_SET"), std::nullopt);
}
