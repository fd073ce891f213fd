// The card's print job as its thread lives it: the messages answered while a page spools, and the dialogs over
// the card that a request to close ends.
#pragma once

#include <windows.h>

namespace velopass {

// The print job's abort procedure: the card's messages are answered while the job starts and spools (and where a
// driver shows a dialog of its own, that dialog's loop answers them too), so a request to close is heard at once.
BOOL CALLBACK AnswerMessagesWhileSpooling(HDC printer, int error);

// Every dialog box over the card ends: those it owns, those they own in turn (a printer's properties, a message
// box), whoever shows them; innermost first, so each returns to the one under it. Each is cancelled as the user
// would press Cancel, which is how a property sheet ends; one in the card's thread is also ended whatever its
// buttons, as a box without Cancel (Yes/No) ignores a Cancel. Other windows are left be.
void EndDialogsOver(HWND card);

}  // namespace velopass
