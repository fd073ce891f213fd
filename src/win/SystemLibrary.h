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

// An export of kernel32 (always loaded) that older systems may lack, or null.
template <typename Function>
Function* KernelFunction(const char* name)
{
    return Export<Function>(::GetModuleHandleW(L"kernel32.dll"), name);
}

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
};
void SetLoadFailureTexts(LoadFailureTexts texts);

// A system DLL, loaded from System32 and freed with its owner.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name);

    // The named export, or null.
    template <typename Function>
    Function* Find(const char* name) const
    {
        return Export<Function>(m_module.get(), name);
    }

private:
    UniqueHandle<HMODULE, &::FreeLibrary> m_module;
};

}  // namespace win
