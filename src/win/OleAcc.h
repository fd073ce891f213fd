// The Active Accessibility functions the card answers screen readers with,
// loaded from System32 the first time a screen reader asks, not at start-up.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace win::oleacc {

// As the system's functions of the same names; E_FAIL (or 0) when oleacc.dll
// cannot be loaded.
HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object);
LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object);

}  // namespace win::oleacc
