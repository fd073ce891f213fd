// Whether the user belongs to the built-in Guests group.
#pragma once

#include "text/Language.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace velopass {

// The token's group list, in a buffer sized from the token itself, so that no
// group is left out however many there are. Empty when it cannot be read.
std::vector<BYTE> ReadTokenGroups(HANDLE token);
// This process's, as ReadTokenGroups reads it.
std::vector<BYTE> ProcessTokenGroups();

// Any group of the list, whatever its attributes, equal to the SID.
bool GroupsContainSid(const TOKEN_GROUPS& groups, PSID sid);

// Guests (S-1-5-32-546) among the groups of a token's list.
bool GroupsContainGuests(const TOKEN_GROUPS& groups);

// Guests among a list as ReadTokenGroups reads it. A list that could not be
// read counts as no guest: the card then opens as for any user.
bool IsGuest(const std::vector<BYTE>& tokenGroups);

// The refusal box in the language's texts from the text file, with the
// built-in message where the file has none. Returns when it is answered.
void ShowGuestRefusal(const wchar_t* textFile, const LanguageCode& language, std::wstring_view builtIn);

}  // namespace velopass
