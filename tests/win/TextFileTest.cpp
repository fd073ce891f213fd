// The text read against the platform's own INI reader.
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

using velopass::Text;

namespace {

// A UTF-16LE INI file with its byte-order mark, removed again after the test.
class IniFile {
public:
    explicit IniFile(const std::wstring& content)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        ::GetTempFileNameW(folder, L"vpt", 0, m_path);
        FILE* file = _wfopen(m_path, L"wb");
        const unsigned char bom[] = {0xFF, 0xFE};
        fwrite(bom, 1, sizeof(bom), file);
        fwrite(content.data(), sizeof(wchar_t), content.size(), file);
        fclose(file);
    }
    ~IniFile() { ::DeleteFileW(m_path); }
    const wchar_t* path() const { return m_path; }

private:
    wchar_t m_path[MAX_PATH] = {};
};

}  // namespace

TEST(TextFile, OnlyAValueOfAtLeastOneCharacterCounts)
{
    IniFile ini(L"[en]\r\nAppTitle=Velopass EN\r\nEmpty=\r\nQuoted=\"  \"\r\n[de]\r\nAppTitle=\r\n");
    Text value = L"kept";
    EXPECT_FALSE(velopass::ReadText(ini.path(), L"en", L"Empty", value));
    EXPECT_FALSE(velopass::ReadText(ini.path(), L"en", L"Missing", value));
    EXPECT_FALSE(velopass::ReadText(ini.path(), L"fr", L"AppTitle", value));
    EXPECT_FALSE(velopass::ReadText(L".\\no such file.ini", L"en", L"AppTitle", value));
    EXPECT_EQ(value, L"kept");

    EXPECT_TRUE(velopass::ReadText(ini.path(), L"en", L"AppTitle", value));
    EXPECT_EQ(value, L"Velopass EN");

    EXPECT_TRUE(velopass::IsLanguagePresent(ini.path(), L"en"));
    EXPECT_FALSE(velopass::IsLanguagePresent(ini.path(), L"de"));  // title present but empty
    EXPECT_EQ(velopass::ReadTitle(ini.path(), L"de"), L"Velopass");
}

TEST(TextFile, SectionNamesMatchInAnyCaseAndLongValuesAreCut)
{
    const std::wstring longTitle(300, L'\u6F22');
    IniFile ini(L"[ZH-CHT]\r\nAppTitle=" + longTitle + L"\r\n");
    EXPECT_TRUE(velopass::IsLanguagePresent(ini.path(), L"zh-cht"));
    const Text title = velopass::ReadTitle(ini.path(), L"zh-cht");
    EXPECT_EQ(title.size(), 127u);
    EXPECT_EQ(title.view(), longTitle.substr(0, 127));
}
