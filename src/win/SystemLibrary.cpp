#include "win/SystemLibrary.h"

#include <string>

namespace win {

void RestrictDllSearch()
{
    // Looked up rather than imported: Windows 7 has it only with an update.
    if (const auto setDefault = KernelFunction<BOOL WINAPI(DWORD)>("SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

SystemLibrary::SystemLibrary(const wchar_t* name)
{
    m_module.reset(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (m_module || ::GetLastError() != ERROR_INVALID_PARAMETER)
        return;
    // A system without the search flags: name the file in System32 in full.
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    m_module.reset(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace win
