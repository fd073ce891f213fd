// Screen readers ask a control for its accessible object (WM_GETOBJECT); a
// value edit answers with the system's own object, renamed after the label
// the card paints beside it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velopass {

// The edit's current name, asked each time so that it follows the language.
using AccessibleName = std::function<std::wstring()>;

// Makes the edit answer WM_GETOBJECT with an object of that name. The name
// function must outlive the edit window.
bool NameEditForScreenReaders(HWND edit, const AccessibleName* name);

}  // namespace velopass
