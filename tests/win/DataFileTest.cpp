// The card's INI files, its registry key and the guest's refusal box against the platform's own.
#include "app/GuestCheck.h"
#include "machine/DataFile.h"
#include "machine/Registry.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

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

std::string Unicode(const std::wstring& text)
{
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

}  // namespace

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

TEST(GuestRefusal, TheBoxShowsTheTextFilesMessageOrTheBuiltInOne)
{
    TempFolder folder;
    fs::create_directory(folder.path);
    const fs::path file = folder.path / "Velopass.ini";
    std::ofstream(file, std::ios::binary)
        << Unicode(L"[de]\r\nAppTitle=Velopass DE\r\nMsgGuest=G\u00E4ste: {0} ({0})\r\n[fr]\r\nAppTitle=Velopass FR\r\n");
    for (const auto& [language, caption, message] :
         {std::tuple(L"de", L"Velopass DE", L"G\u00E4ste: Velopass DE (Velopass DE)"),
          std::tuple(L"fr", L"Velopass FR", L"built in")}) {
        // The box is modal: read and answered from another thread, as a user would.
        std::wstring shown[2];
        std::thread user([&shown, owner = ::GetCurrentThreadId()] {
            HWND box = nullptr;
            for (int tries = 0; tries < 200 && box == nullptr; ++tries, ::Sleep(50))
                ::EnumThreadWindows(owner, [](HWND window, LPARAM found) {
                    *reinterpret_cast<HWND*>(found) = window;
                    return FALSE;
                }, reinterpret_cast<LPARAM>(&box));
            wchar_t text[256] = {};
            ::GetWindowTextW(box, text, 256);
            shown[0] = text;
            for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
                if (::GetClassNameW(child, text, 256) && std::wstring(text) == L"Static" && ::GetWindowTextW(child, text, 256))
                    shown[1] = text;
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        velopass::ShowGuestRefusal(file.c_str(), language, L"built in");
        user.join();
        EXPECT_EQ(shown[0], caption);
        EXPECT_EQ(shown[1], message);
    }
}
