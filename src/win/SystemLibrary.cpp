#include "win/SystemLibrary.h"

#include <delayimp.h>

#include <string>
#include <string_view>
#include <utility>

namespace win {

namespace {

// What system DLLs load by name for the card (start, a screen reader's ask, the
// Print dialog, a language switch), but for KnownDLLs, Common Controls (bound
// by the manifest) and what the program loads from System32 itself. Each comes
// before those that would load it: Wine's own drivers (absent from Windows)
// first, the printer's DLLs before the spooler's client.
constexpr const wchar_t* kLoadedByName[] = {
    L"winex11.drv", L"uxtheme.dll", L"wined3d.dll", L"win32u.dll", L"ucrtbase.dll", L"version.dll",
    L"cryptbase.dll", L"apphelp.dll", L"usp10.dll", L"msimg32.dll", L"dwmapi.dll",
    L"localspl.dll", L"spoolss.dll", L"compstui.dll", L"winspool.drv", L"propsys.dll", L"userenv.dll",
    L"setupapi.dll", L"clbcatq.dll", L"dnsapi.dll", L"iphlpapi.dll", L"dxgi.dll", L"opengl32.dll",
    L"windowscodecs.dll"};

LoadFailureRescue s_rescue;
LoadFailureTexts s_texts;

}  // namespace

void SetLoadFailureRescue(const LoadFailureRescue& rescue) { s_rescue = rescue; }

void SetLoadFailureTexts(LoadFailureTexts texts) { s_texts = std::move(texts); }

const KernelFunctions& Kernel()
{
    static const KernelFunctions functions;
    return functions;
}

void RestrictDllSearch()
{
    // Looked up rather than imported: Windows 7 has it only with an update.
    const auto setDefault = Kernel().SetDefaultDllDirectories;
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    if (!setDefault) {
        // Without it the program's folder stays first in every search by name:
        // what a system DLL will look for by name is loaded from System32 now,
        // so that it is found loaded then (the two below among them).
        for (const wchar_t* name : kLoadedByName)
            LoadSystemLibrary(name);
        return;
    }
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

// A system DLL or function that cannot be had (an application control rule,
// an exhausted desktop heap) ends the program with a message, the typed date
// saved, rather than with the delay-load exception nobody catches.
[[noreturn]] void EndForMissing(const DelayLoadInfo& info)
{
    const win::LoadFailureRescue rescue = std::exchange(win::s_rescue, {});  // once, should saving fail too
    if (rescue.save != nullptr)
        rescue.save(rescue.context);
    const win::LoadFailureTexts& texts = win::s_texts;
    const bool named = info.dlp.fImportByName;
    std::wstring text = info.hmodCur == nullptr ? texts.noDll : named ? texts.noFunction : texts.noFunctionByNumber;
    // The names are ASCII: a byte is a character.
    const std::string_view dll(info.szDll), function(named ? info.dlp.szProcName : "");
    for (const auto& [placeholder, name] : {std::pair{L"{0}", dll}, {L"{1}", function}}) {
        for (std::size_t at = text.find(placeholder); at != std::wstring::npos;
             at = text.find(placeholder, at + name.size()))
            text.replace(at, 3, std::wstring(name.begin(), name.end()));
    }
    // User32 may be the very DLL that failed: the message only if it is there.
    struct {
        win::DllFunctions dll{::GetModuleHandleW(L"user32.dll")};
        WIN_FUNCTION(dll, , MessageBoxW);
    } user32;
    if (user32.MessageBoxW)
        user32.MessageBoxW(rescue.window, text.c_str(), texts.caption.c_str(),
                           MB_OK | MB_ICONERROR | MB_TASKMODAL | (texts.rightToLeft ? MB_RTLREADING | MB_RIGHT : 0));
    ::ExitProcess(info.hmodCur == nullptr ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND);
}

// The delay-loaded DLLs come from System32 also where the search cannot be
// restricted, and nowhere else: the runtime would otherwise go on to search by
// name, the program's folder first. Common Controls is left to the loader by
// name, so that the manifest binds its version 6.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary || ::lstrcmpiA(info->szDll, "comctl32.dll") == 0)
        return nullptr;
    wchar_t name[MAX_PATH] = {};
    HMODULE module = nullptr;
    if (::MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH) != 0)
        module = win::LoadSystemLibrary(name);
    if (module == nullptr)
        EndForMissing(*info);
    return reinterpret_cast<FARPROC>(module);
}

// Common Controls, or a function that a DLL lacks.
FARPROC WINAPI DelayLoadFailed(unsigned, PDelayLoadInfo info) { EndForMissing(*info); }

}  // namespace

extern "C" {
// MSVC's header declares the hooks const, mingw-w64's does not.
#ifdef _MSC_VER
const
#endif
    PfnDliHook __pfnDliNotifyHook2 = LoadDelayedLibrary;
#ifdef _MSC_VER
const
#endif
    PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;
}
