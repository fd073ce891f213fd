#include "machine/DataFile.h"

#include "machine/ProfileText.h"
#include "text/OemSettings.h"
#include "text/TextFile.h"
#include "win/Handles.h"
#include "win/SystemLibrary.h"

#include <aclapi.h>

#include <algorithm>
#include <vector>

#ifndef ERROR_REPARSE_POINT_ENCOUNTERED
#define ERROR_REPARSE_POINT_ENCOUNTERED 4395L  // newer SDKs' name for a link met on the way
#endif

namespace velopass {

namespace {

// Far beyond any data file: a larger one is not read into memory to be rewritten.
constexpr DWORD kMaxDataFileSize = 1 << 20;
constexpr BYTE kUtf16Mark[] = {0xFF, 0xFE};
constexpr BYTE kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

SaveResult Failed(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {SaveProblem::DiskFull, error};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_FILE_EXISTS:  // the new file of another card's save
        return {SaveProblem::InUse, error};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return {SaveProblem::Denied, error};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_REPARSE_POINT_ENCOUNTERED:
        return {SaveProblem::Folder, error};
    default:
        return {SaveProblem::Other, error};
    }
}

SaveResult LastFailure() { return Failed(::GetLastError()); }

DWORD LevelAttributes(const std::wstring& level) { return ::GetFileAttributesW(level.c_str()); }

bool IsLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Every level a folder and no link; a missing one is made and hidden, as the card has always made its folder.
SaveResult PrepareFolder(const Text& folder)
{
    for (const std::wstring& level : DataFolderLevels(folder.view())) {
        DWORD attributes = LevelAttributes(level);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (!::CreateDirectoryW(level.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
                return LastFailure();
            attributes = LevelAttributes(level);
            if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == FILE_ATTRIBUTE_DIRECTORY)
                ::SetFileAttributesW(level.c_str(), (attributes & ~FILE_ATTRIBUTE_DIRECTORY) | FILE_ATTRIBUTE_HIDDEN);
        }
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return LastFailure();
        if (IsLink(attributes))
            return Failed(ERROR_REPARSE_POINT_ENCOUNTERED);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Failed(ERROR_DIRECTORY);
    }
    return {};
}

// What the old file was, for the new one to be the same but for the date.
struct OldFile {
    std::vector<BYTE> bytes;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    win::UniqueHandle<PSECURITY_DESCRIPTOR, &::LocalFree> security;
    PACL dacl = nullptr;  // within `security`
    bool daclProtected = false;
};

SaveResult ReadOldFile(const wchar_t* path, OldFile& old)
{
    // Shared for reading only: a program writing the file meanwhile is in use, not overwritten.
    const HANDLE opened = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? SaveResult{} : LastFailure();
    const win::UniqueKernelHandle file(opened);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info))
        return LastFailure();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)  // whoever made it so meant it to stay
        return Failed(ERROR_ACCESS_DENIED);
    if (info.nFileSizeHigh != 0 || info.nFileSizeLow > kMaxDataFileSize)
        return Failed(ERROR_FILE_TOO_LARGE);
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    old.attributes = (info.dwFileAttributes & kKept) ? info.dwFileAttributes & kKept : FILE_ATTRIBUTE_NORMAL;
    old.bytes.resize(info.nFileSizeLow);
    DWORD read = 0;
    if (!old.bytes.empty() && (!::ReadFile(file.get(), old.bytes.data(), info.nFileSizeLow, &read, nullptr) ||
                               read != info.nFileSizeLow))
        return LastFailure();
    PSECURITY_DESCRIPTOR security = nullptr;
    if (::GetSecurityInfo(file.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old.dacl,
                          nullptr, &security) == ERROR_SUCCESS) {
        old.security.reset(security);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        old.daclProtected = ::GetSecurityDescriptorControl(security, &control, &revision) &&
                            (control & SE_DACL_PROTECTED);
    }
    return {};
}

bool StartsWith(const std::vector<BYTE>& bytes, const BYTE* mark, std::size_t size)
{
    return bytes.size() >= size && std::equal(mark, mark + size, bytes.begin());
}

// The old file's bytes with the date set, in the old file's encoding: UTF-16LE or UTF-8 after their marks, else
// the ANSI code page, as the private-profile functions read and write them. A new or empty file is UTF-16LE.
std::vector<BYTE> WithDate(const std::vector<BYTE>& old, std::wstring_view date)
{
    const bool utf16 = old.empty() || StartsWith(old, kUtf16Mark, 2);
    const bool utf8 = StartsWith(old, kUtf8Mark, 3);
    const std::size_t markSize = utf16 ? 2 : utf8 ? 3 : 0;
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    std::wstring text;
    if (utf16) {
        text.resize((old.size() - std::min<std::size_t>(old.size(), 2)) / 2);
        std::copy_n(old.data() + std::min<std::size_t>(old.size(), 2), text.size() * 2,
                    reinterpret_cast<BYTE*>(text.data()));
    } else if (old.size() > markSize) {
        const auto* bytes = reinterpret_cast<const char*>(old.data() + markSize);
        const int size = static_cast<int>(old.size() - markSize);
        text.resize(static_cast<std::size_t>(::MultiByteToWideChar(codePage, 0, bytes, size, nullptr, 0)));
        ::MultiByteToWideChar(codePage, 0, bytes, size, text.data(), static_cast<int>(text.size()));
    }
    text = SetProfileValue(text, kDataSection, kDateKey, date);
    std::vector<BYTE> bytes(utf16 ? kUtf16Mark : kUtf8Mark, (utf16 ? kUtf16Mark : kUtf8Mark) + markSize);
    if (utf16) {
        const auto* units = reinterpret_cast<const BYTE*>(text.data());
        bytes.insert(bytes.end(), units, units + text.size() * 2);
    } else {
        const int size = static_cast<int>(text.size());
        const int length = ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
        bytes.resize(markSize + static_cast<std::size_t>(length));
        ::WideCharToMultiByte(codePage, 0, text.data(), size, reinterpret_cast<char*>(bytes.data() + markSize),
                              length, nullptr, nullptr);
    }
    return bytes;
}

// Where the file written really is, against where the card meant to write it: a folder made a link after it was
// looked at sends the file elsewhere. Systems before Vista cannot tell; the folder's own check stands there.
bool LiesWhereNamed(HANDLE file, const std::wstring& path)
{
    const auto finalPath = win::Kernel().GetFinalPathNameByHandleW;
    wchar_t full[MAX_PATH] = {}, found[MAX_PATH + 8] = {};
    const DWORD fullLength = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (finalPath == nullptr)
        return true;
    const DWORD length = finalPath(file, found, MAX_PATH + 8, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (fullLength == 0 || fullLength >= MAX_PATH || length == 0 || length >= MAX_PATH + 8)
        return false;
    std::wstring where(found, length);
    if (where.rfind(L"\\\\?\\UNC\\", 0) == 0)
        where.replace(0, 8, L"\\\\");
    else if (where.rfind(L"\\\\?\\", 0) == 0)
        where.erase(0, 4);
    return ::lstrcmpiW(where.c_str(), full) == 0;
}

SaveResult WriteNewFile(const std::wstring& path, const OldFile& old, const std::vector<BYTE>& bytes)
{
    ::DeleteFileW(path.c_str());  // one a save cut short left behind
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                                      old.attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastFailure();
    const win::UniqueKernelHandle owner(file);
    if (old.security && ::SetSecurityInfo(file, SE_FILE_OBJECT,
                                          DACL_SECURITY_INFORMATION | (old.daclProtected
                                                                           ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                           : UNPROTECTED_DACL_SECURITY_INFORMATION),
                                          nullptr, nullptr, old.dacl, nullptr) != ERROR_SUCCESS)
        return Failed(ERROR_ACCESS_DENIED);
    DWORD written = 0;
    // A full disk may take the last bytes only when they are flushed.
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !::FlushFileBuffers(file))
        return LastFailure();
    if (!LiesWhereNamed(file, path))
        return Failed(ERROR_REPARSE_POINT_ENCOUNTERED);
    return {};
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

bool IsOwnFolder(const Text& folder)
{
    for (const std::wstring& level : DataFolderLevels(folder.view())) {
        if (IsLink(LevelAttributes(level)))
            return false;
    }
    return true;
}

bool ReadCardData(const wchar_t* textFile, const std::optional<Text>& dataFile, std::wstring_view brand, Text& date,
                  Text& fub, Text& dlr)
{
    bool readable = true;
    if (dataFile) {
        const HANDLE file = ::CreateFileW(dataFile->c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = ::GetLastError();
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
        else
            readable = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
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
    return readable;
}

SaveResult SavePurchaseDate(const Text& folder, std::wstring_view date)
{
    const std::optional<Text> path = DataFilePath(folder);
    if (!path)
        return Failed(ERROR_FILENAME_EXCED_RANGE);
    OldFile old;
    SaveResult result = PrepareFolder(folder);
    if (result)
        result = ReadOldFile(path->c_str(), old);
    if (!result)
        return result;
    const std::wstring next = path->str() + kNewDataFileSuffix;
    result = WriteNewFile(next, old, WithDate(old.bytes, date));
    if (result && !::MoveFileExW(next.c_str(), path->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = LastFailure();
    if (!result)
        ::DeleteFileW(next.c_str());
    return result;
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
