// System DLLs come from System32 only: a DLL of the same name beside the
// program (a Downloads folder) or in the current folder is never loaded. The
// program imports kernel32 and the C runtime alone; every other system DLL
// is delay-loaded through a hook here, or loaded with SystemLibrary.
#pragma once

#include "win/Handles.h"

#include <string>

namespace win {

// Restricts every later DLL search of the process to System32 and takes the
// current folder out of it. Runs first, before anything loads a DLL.
void RestrictDllSearch();

// The named export of a module as a pointer of the function's own type, or null.
template <typename Function>
Function* Export(HMODULE module, const char* name)
{
    const FARPROC found = module ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

// The one way a system DLL's functions are bound at run time: for each DLL a struct holding a DllFunctions on
// its module, then one member per function declared with WIN_FUNCTION: the export of that name, typed as the
// SDK declares it (in `scope`, empty for the global one), null where the DLL or the function is missing.
class DllFunctions {
public:
    explicit DllFunctions(HMODULE module) : m_module(module) {}

    template <typename Function>
    Function* Bind(const char* name)
    {
        Function* const found = Export<Function>(m_module, name);
        m_missing += found == nullptr;
        return found;
    }
    bool Complete() const { return m_missing == 0; }

private:
    HMODULE m_module;
    int m_missing = 0;
};
#define WIN_FUNCTION(dll, scope, name) decltype(&scope::name) name = dll.Bind<decltype(scope::name)>(#name)

// The exports of kernel32 (always loaded) that older systems lack.
struct KernelFunctions {
    DllFunctions dll{::GetModuleHandleW(L"kernel32.dll")};
    WIN_FUNCTION(dll, , SetDefaultDllDirectories);  // Windows 7 only with an update
    WIN_FUNCTION(dll, , LCIDToLocaleName);          // from version 6
    WIN_FUNCTION(dll, , GetFinalPathNameByHandleW);  // from version 6
};
const KernelFunctions& Kernel();

// A system DLL from System32, or null; the caller frees it.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The open window that a delay-loaded system DLL or function which cannot be
// had must not take down silently: `save` keeps what the user typed, then a
// message is shown over `window` and the process ends. Empty: none is open.
struct LoadFailureRescue {
    HWND window = nullptr;
    void (*save)(const void* context) = nullptr;
    const void* context = nullptr;
};
void SetLoadFailureRescue(const LoadFailureRescue& rescue);

// That message's words, in the user's language: "{0}" stands for the DLL, "{1}" for the function. Given before
// anything can fail, and again whenever the language changes.
struct LoadFailureTexts {
    std::wstring caption;
    std::wstring noDll;
    std::wstring noFunction;
    std::wstring noFunctionByNumber;  // a function imported by its ordinal, which has no name to show
    bool rightToLeft = false;         // the texts read right to left, a DLL's Latin name among them
};
void SetLoadFailureTexts(LoadFailureTexts texts);

// A system DLL, loaded from System32 and freed with its owner.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name);

    HMODULE Module() const { return m_module.get(); }

private:
    UniqueHandle<HMODULE, &::FreeLibrary> m_module;
};

}  // namespace win
