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

// The data folder's levels, checked and then held open, so that none can be renamed, removed or replaced by a
// link until the save is done: each a folder and no link; a missing one is made and hidden, as the card has always
// made its folder.
using HeldFolder = std::vector<win::UniqueKernelHandle>;

SaveResult HoldFolder(const Text& folder, HeldFolder& held)
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
        const HANDLE handle = ::CreateFileW(level.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return LastFailure();
        held.emplace_back(handle);
    }
    return {};
}

// What the old file was, for the new one to be the same but for the date.
struct OldFile {
    std::vector<BYTE> bytes;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    win::UniqueHandle<PSECURITY_DESCRIPTOR, &::LocalFree> security;
    PACL dacl = nullptr;  // within `security`; none on a volume that keeps no access lists
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

bool StartsWith(const std::vector<BYTE>& bytes, std::initializer_list<BYTE> mark)
{
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

// The old file's bytes with the date set, in the old file's encoding, as the private-profile functions read and
// write them: UTF-16 (either order) or UTF-8 after their marks, else the ANSI code page. A new or empty file, and
// an ANSI one that cannot hold the date or text as typed, is UTF-16LE: nothing typed becomes "?". Nothing when
// the old text cannot be read at all.
std::optional<std::vector<BYTE>> WithDate(const std::vector<BYTE>& old, std::wstring_view date)
{
    enum Encoding { Ansi, Utf8, Utf16, Utf16Swapped } encoding = Ansi;
    std::size_t mark = 0;
    if (old.empty() || StartsWith(old, {0xFF, 0xFE}))
        encoding = Utf16, mark = 2;
    else if (StartsWith(old, {0xFE, 0xFF}))
        encoding = Utf16Swapped, mark = 2;
    else if (StartsWith(old, {0xEF, 0xBB, 0xBF}))
        encoding = Utf8, mark = 3;
    const bool wide = encoding == Utf16 || encoding == Utf16Swapped;
    const std::size_t size = old.size() - std::min(old.size(), mark);
    const BYTE* bytes = old.data() + std::min(old.size(), mark);
    const UINT codePage = encoding == Utf8 ? CP_UTF8 : CP_ACP;
    std::wstring text;
    if (wide) {
        for (std::size_t at = 0; at + 1 < size; at += 2)
            text += static_cast<wchar_t>(encoding == Utf16 ? bytes[at] | bytes[at + 1] << 8
                                                           : bytes[at] << 8 | bytes[at + 1]);
    } else if (size > 0) {
        const auto* chars = reinterpret_cast<const char*>(bytes);
        text.resize(static_cast<std::size_t>(::MultiByteToWideChar(codePage, 0, chars, static_cast<int>(size),
                                                                    nullptr, 0)));
        if (text.empty() || ::MultiByteToWideChar(codePage, 0, chars, static_cast<int>(size), text.data(),
                                                  static_cast<int>(text.size())) == 0)
            return std::nullopt;
    }
    text = SetProfileValue(text, kDataSection, kDateKey, date);
    std::vector<BYTE> out(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(std::min(old.size(), mark)));
    if (old.empty())
        out = {0xFF, 0xFE};
    if (!wide) {
        BOOL lost = FALSE;
        const int units = static_cast<int>(text.size());
        const DWORD flags = codePage == CP_ACP ? WC_NO_BEST_FIT_CHARS : 0;
        BOOL* const lossy = codePage == CP_ACP ? &lost : nullptr;
        const int length = ::WideCharToMultiByte(codePage, flags, text.data(), units, nullptr, 0, nullptr, lossy);
        if (!lost && (length > 0 || units == 0)) {
            out.resize(out.size() + static_cast<std::size_t>(length));
            ::WideCharToMultiByte(codePage, flags, text.data(), units, reinterpret_cast<char*>(out.data() + mark),
                                  length, nullptr, nullptr);
            return out;
        }
        encoding = Utf16, out = {0xFF, 0xFE};
    }
    for (const wchar_t unit : text) {
        const BYTE low = static_cast<BYTE>(unit & 0xFF), high = static_cast<BYTE>(unit >> 8);
        out.push_back(encoding == Utf16 ? low : high);
        out.push_back(encoding == Utf16 ? high : low);
    }
    if (wide && size % 2)
        out.push_back(old.back());  // the odd byte a UTF-16 file ended with stays last
    return out;
}

// Where the file written really is, against where the card meant to write it: a folder made a link after it was
// looked at would send the file elsewhere. Systems before Vista cannot tell; the folder held open stands there.
bool LiesWhereNamed(HANDLE file, const std::wstring& path)
{
    const auto finalPath = win::Kernel().GetFinalPathNameByHandleW;
    if (finalPath == nullptr)
        return true;
    wchar_t full[MAX_PATH] = {}, named[MAX_PATH] = {}, found[MAX_PATH + 8] = {};
    const DWORD fullLength = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    const std::wstring_view name = std::wstring_view(full).substr(std::wstring_view(full).rfind(L'\\') + 1);
    const std::wstring folder(full, fullLength - std::min<std::size_t>(fullLength, name.size()));
    // The folder's short names in full, as the system gives the file's.
    const DWORD namedLength = ::GetLongPathNameW(folder.c_str(), named, MAX_PATH);
    const DWORD length = finalPath(file, found, MAX_PATH + 8, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (fullLength == 0 || fullLength >= MAX_PATH || namedLength == 0 || namedLength >= MAX_PATH || length == 0 ||
        length >= MAX_PATH + 8)
        return false;
    std::wstring where(found, length);
    if (where.rfind(L"\\\\?\\UNC\\", 0) == 0)
        where.replace(0, 8, L"\\\\");
    else if (where.rfind(L"\\\\?\\", 0) == 0)
        where.erase(0, 4);
    return ::lstrcmpiW(where.c_str(), (std::wstring(named, namedLength) + std::wstring(name)).c_str()) == 0;
}

SaveResult WriteNewFile(const std::wstring& path, const OldFile& old, const std::vector<BYTE>& bytes)
{
    // One a save cut short left behind; one that cannot go is reported as what stops it.
    if (!::DeleteFileW(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return LastFailure();
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                                      old.attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastFailure();
    const win::UniqueKernelHandle owner(file);
    if (!LiesWhereNamed(file, path))  // before anything is written there
        return Failed(ERROR_REPARSE_POINT_ENCOUNTERED);
    if (old.dacl != nullptr) {
        const DWORD protection =
            old.daclProtected ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
        const DWORD error = ::SetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | protection, nullptr,
                                              nullptr, old.dacl, nullptr);
        if (error != ERROR_SUCCESS)
            return Failed(error);
    }
    DWORD written = 0;
    // A full disk may take the last bytes only when they are flushed.
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !::FlushFileBuffers(file))
        return LastFailure();
    return {};
}

// A rename refused for want of access may be another program's: one that holds the old file open, sharing no
// deletion, keeps it from being replaced.
SaveResult ReplaceFailure(const wchar_t* path)
{
    const DWORD error = ::GetLastError();
    const HANDLE probe = ::CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const win::UniqueKernelHandle owner(probe != INVALID_HANDLE_VALUE ? probe : nullptr);
    return Failed(error == ERROR_ACCESS_DENIED && probe == INVALID_HANDLE_VALUE &&
                          ::GetLastError() == ERROR_SHARING_VIOLATION
                      ? ERROR_SHARING_VIOLATION
                      : error);
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
        const win::UniqueKernelHandle opened(file != INVALID_HANDLE_VALUE ? file : nullptr);
        if (!opened)
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
    HeldFolder held;
    OldFile old;
    SaveResult result = HoldFolder(folder, held);
    if (result)
        result = ReadOldFile(path->c_str(), old);
    if (!result)
        return result;
    const std::optional<std::vector<BYTE>> bytes = WithDate(old.bytes, date);
    if (!bytes)
        return Failed(ERROR_NO_UNICODE_TRANSLATION);
    const std::wstring next = path->str() + kNewDataFileSuffix;
    result = WriteNewFile(next, old, *bytes);
    if (result && !::MoveFileExW(next.c_str(), path->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = ReplaceFailure(path->c_str());
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
