// Screen readers ask a control for its accessible object (WM_GETOBJECT); a
// value edit answers with the system's own object, renamed after the label
// the card paints beside it.
#pragma once

#include "text/FixedText.h"

#include <windows.h>

namespace velopass {

// Makes the edit answer WM_GETOBJECT with an object named by the label, as it
// reads when asked (so that the name follows the language), without its
// colon. The label must outlive the edit window.
bool NameEditForScreenReaders(HWND edit, const Text* label);

}  // namespace velopass
