// What the end of a session asks of the card. A log-off, restart or shutdown
// is never held up (the card answers WM_QUERYENDSESSION with TRUE).
#pragma once

#include <windows.h>

namespace velopass {

enum class SessionEnd { Nothing, SaveDate, Close };

// WM_ENDSESSION: an installer that needs the card closed (ENDSESSION_CLOSEAPP)
// closes it as Close does; at a log-off the process may be ended at any moment
// after the message, so the typed date is saved at once.
inline SessionEnd AtSessionEnd(bool ending, UINT flags)
{
    if (!ending)
        return SessionEnd::Nothing;
    return (flags & ENDSESSION_CLOSEAPP) ? SessionEnd::Close : SessionEnd::SaveDate;
}

}  // namespace velopass
