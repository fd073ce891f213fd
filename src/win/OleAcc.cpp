#include "win/OleAcc.h"

#include "win/SystemLibrary.h"

namespace win::oleacc {

namespace {

// Pinned once loaded, never to be unloaded: objects it made may be held by a
// screen reader for as long as the process runs.
HMODULE Pinned(HMODULE module)
{
    HMODULE pinned = nullptr;
    if (module != nullptr)
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                             reinterpret_cast<LPCWSTR>(module), &pinned);
    return module;
}

struct Api {
    DllFunctions dll{Pinned(LoadSystemLibrary(L"oleacc.dll"))};
    WIN_FUNCTION(dll, , CreateStdAccessibleObject);
    WIN_FUNCTION(dll, , LresultFromObject);
};

const Api& Loaded()
{
    static const Api api;
    return api;
}

}  // namespace

HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object)
{
    const Api& api = Loaded();
    return api.CreateStdAccessibleObject ? api.CreateStdAccessibleObject(window, objectId, iid, object) : E_FAIL;
}

LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object)
{
    const Api& api = Loaded();
    return api.LresultFromObject ? api.LresultFromObject(iid, wParam, object) : 0;
}

}  // namespace win::oleacc
