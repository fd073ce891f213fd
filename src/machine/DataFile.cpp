#include "machine/DataFile.h"

#include "text/OemSettings.h"
#include "text/TextFile.h"
#include "win/Handles.h"

namespace velopass {

namespace {

bool WriteDate(const Text& path, const std::wstring& date)
{
    return ::WritePrivateProfileStringW(kDataSection, kDateKey, date.c_str(), path.c_str()) != FALSE;
}

}  // namespace

std::optional<Text> DataFilePath(const Text& folder)
{
    Text path = folder;
    if (!path.Append(kDataFileName))
        return std::nullopt;
    return path;
}

bool ExpandPathInPlace(Text& path, std::wstring_view brand)
{
    const std::optional<std::wstring> expanded = ExpandPathVariables(path.view(), brand, LookupEnvironment);
    path = expanded ? expanded->c_str() : L"";
    return expanded.has_value();
}

void ReadCardData(const wchar_t* textFile, const std::optional<Text>& dataFile, std::wstring_view brand, Text& date,
                  Text& fub, Text& dlr)
{
    if (!dataFile || !ReadText(dataFile->c_str(), kDataSection, kDateKey, date)) {
        Text regIniFile;
        if (ReadText(textFile, oem::RegIniFile.section, oem::RegIniFile.key, regIniFile) &&
            ExpandPathInPlace(regIniFile, brand))
            ReadText(regIniFile.c_str(), L"DATA", kDateKey, date);
    }
    Text fubIniFile;
    if (ReadText(textFile, oem::FUBIniFile.section, oem::FUBIniFile.key, fubIniFile) &&
        ExpandPathInPlace(fubIniFile, brand)) {
        ReadText(fubIniFile.c_str(), L"FUB", L"FUB", fub);
        ReadText(fubIniFile.c_str(), L"FUB", L"DLR", dlr);
    }
}

void SavePurchaseDate(const Text& folder, const std::wstring& date)
{
    const std::optional<Text> path = DataFilePath(folder);
    if (!path)
        return;
    // The private-profile functions would create a missing file in the ANSI
    // code page, turning characters outside it into "?".
    CreateUnicodeFile(path->c_str());
    if (WriteDate(*path, date) || folder.empty())
        return;
    CreateFolderLevels(folder);
    CreateUnicodeFile(path->c_str());
    WriteDate(*path, date);
}

void CreateFolderLevels(const Text& folder)
{
    for (const std::wstring& level : DataFolderLevels(folder.view())) {
        ::CreateDirectoryW(level.c_str(), nullptr);
        // Only folders are hidden: a file where a level should be is not ours to touch.
        const DWORD attributes = ::GetFileAttributesW(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            ::SetFileAttributesW(level.c_str(), (attributes & ~FILE_ATTRIBUTE_DIRECTORY) | FILE_ATTRIBUTE_HIDDEN);
    }
}

bool CreateUnicodeFile(const wchar_t* path)
{
    const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const win::UniqueKernelHandle owner(file);
    static const BYTE kByteOrderMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    return ::WriteFile(file, kByteOrderMark, sizeof(kByteOrderMark), &written, nullptr) && written == 2;
}

std::optional<std::wstring> LookupEnvironment(const std::wstring& name)
{
    wchar_t value[Text::kCapacity] = {};
    const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value, Text::kCapacity);
    if (length == 0 || length >= Text::kCapacity)
        return std::nullopt;
    return std::wstring(value, length);
}

}  // namespace velopass
