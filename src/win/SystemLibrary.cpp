#include "win/SystemLibrary.h"

#include <delayimp.h>

#include <string>

namespace win {

void RestrictDllSearch()
{
    // Looked up rather than imported: Windows 7 has it only with an update.
    if (const auto setDefault = KernelFunction<BOOL WINAPI(DWORD)>("SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    // Wine's own DLLs find what they delay-load on the search path the process
    // started with, the program's folder first: GDI+ its image codecs (and
    // with them property sets), the visual styles AlphaBlend. Loaded from
    // System32 now, they are found loaded then.
    for (const wchar_t* name : {L"windowscodecs.dll", L"msimg32.dll"})
        LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    const HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // A system without the search flags: name the file in System32 in full.
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemLibrary::SystemLibrary(const wchar_t* name) : m_module(LoadSystemLibrary(name)) {}

}  // namespace win

namespace {

// The delay-loaded DLLs come from System32 also where the search cannot be
// restricted; Common Controls is left to the loader by name, so that the
// manifest binds its version 6.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary || ::lstrcmpiA(info->szDll, "comctl32.dll") == 0)
        return nullptr;
    wchar_t name[MAX_PATH] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH) == 0)
        return nullptr;
    return reinterpret_cast<FARPROC>(win::LoadSystemLibrary(name));
}

}  // namespace

extern "C" {
// MSVC's header declares the hook const, mingw-w64's does not.
#ifdef _MSC_VER
const
#endif
    PfnDliHook __pfnDliNotifyHook2 = LoadDelayedLibrary;
}
