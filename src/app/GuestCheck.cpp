#include "app/GuestCheck.h"

#include "app/GuestMessage.h"
#include "text/CardTexts.h"
#include "text/TextFile.h"
#include "win/Handles.h"

namespace velopass {

// The portable core names the box's types as numbers; they are these.
static_assert(kRefusalBox == (MB_OK | MB_ICONEXCLAMATION) && kRefusalBoxRightToLeft == (kRefusalBox | MB_RTLREADING));

std::vector<BYTE> ReadTokenGroups(HANDLE token)
{
    // A token's groups are fixed when it is made: the size asked is the size read.
    DWORD size = 0;
    ::GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token, TokenGroups, buffer.data(), size, &size))
        return {};
    return buffer;
}

std::vector<BYTE> ProcessTokenGroups()
{
    HANDLE token = nullptr;  // stays null when the token cannot be opened: then no groups are read
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    const win::UniqueKernelHandle owner(token);
    return ReadTokenGroups(token);
}

bool GroupsContainSid(const TOKEN_GROUPS& groups, PSID sid)
{
    for (DWORD i = 0; i < groups.GroupCount; ++i) {
        if (::EqualSid(groups.Groups[i].Sid, sid))
            return true;
    }
    return false;
}

bool GroupsContainGuests(const TOKEN_GROUPS& groups)
{
    // S-1-5-32-546, made in room for any SID: it cannot fail.
    BYTE guests[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof(guests);
    ::CreateWellKnownSid(WinBuiltinGuestsSid, nullptr, guests, &size);
    return GroupsContainSid(groups, guests);
}

bool IsGuest(const std::vector<BYTE>& tokenGroups)
{
    return !tokenGroups.empty() && GroupsContainGuests(*reinterpret_cast<const TOKEN_GROUPS*>(tokenGroups.data()));
}

void ShowGuestRefusal(const wchar_t* textFile, const LanguageCode& language, std::wstring_view builtIn)
{
    Text messageTemplate;
    const bool fromFile = ReadText(textFile, language.c_str(), kGuestMessageKey, messageTemplate);
    const GuestRefusal refusal =
        MakeGuestRefusal(fromFile ? std::optional(messageTemplate.view()) : std::nullopt, builtIn,
                         ReadTitle(textFile, language).view(), language);
    ::MessageBoxW(nullptr, refusal.message.c_str(), refusal.caption.c_str(), refusal.boxType);
}

}  // namespace velopass
