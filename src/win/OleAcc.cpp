#include "win/OleAcc.h"

#include "win/SystemLibrary.h"

namespace win::oleacc {

namespace {

struct Api {
    SystemLibrary library{L"oleacc.dll"};
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject =
        library.Find<decltype(::CreateStdAccessibleObject)>("CreateStdAccessibleObject");
    decltype(&::LresultFromObject) lresultFromObject =
        library.Find<decltype(::LresultFromObject)>("LresultFromObject");
};

// Loaded once and kept to the end: objects it made may be held by a screen
// reader for as long as the process runs.
const Api& Loaded()
{
    static const Api api;
    return api;
}

}  // namespace

HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object)
{
    const Api& api = Loaded();
    return api.createStdAccessibleObject ? api.createStdAccessibleObject(window, objectId, iid, object) : E_FAIL;
}

LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object)
{
    const Api& api = Loaded();
    return api.lresultFromObject ? api.lresultFromObject(iid, wParam, object) : 0;
}

}  // namespace win::oleacc
