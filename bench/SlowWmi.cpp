// A WMI that answers late, as a PC's does just after boot: registered in a
// prefix as the WMI locator's server, it waits VP_WMI_DELAY_MS milliseconds,
// then hands the caller Wine's own locator.
#include <windows.h>

#include <cwchar>

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    wchar_t delay[16] = L"";
    if (::GetEnvironmentVariableW(L"VP_WMI_DELAY_MS", delay, 16) - 1 < 15)
        ::Sleep(std::wcstoul(delay, nullptr, 10));
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length > MAX_PATH - 20)
        return CLASS_E_CLASSNOTAVAILABLE;
    std::wcscat(path, L"\\wbem\\wbemprox.dll");
    const HMODULE wine = ::LoadLibraryW(path);
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto get = wine ? reinterpret_cast<GetClassObject>(
                                reinterpret_cast<void*>(::GetProcAddress(wine, "DllGetClassObject")))
                          : nullptr;
    return get ? get(clsid, iid, object) : CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return S_FALSE; }
