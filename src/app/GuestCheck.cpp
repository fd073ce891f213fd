#include "app/GuestCheck.h"

#include "app/GuestMessage.h"
#include "text/CardTexts.h"
#include "text/TextFile.h"
#include "win/Handles.h"

namespace velopass {

std::vector<BYTE> ReadTokenGroups(HANDLE token)
{
    DWORD size = 0;
    ::GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    // The group list may change between the two calls; try again while it grows.
    for (int attempt = 0; attempt < 3 && size >= sizeof(TOKEN_GROUPS); ++attempt) {
        std::vector<BYTE> buffer(size);
        if (::GetTokenInformation(token, TokenGroups, buffer.data(), size, &size))
            return buffer;
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
    }
    return {};
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
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID sid = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_GUESTS, 0, 0, 0, 0,
                                    0, 0, &sid))
        return false;
    const win::UniqueSid guests(sid);
    return GroupsContainSid(groups, guests.get());
}

bool IsGuestUser()
{
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken))
        return false;
    const win::UniqueKernelHandle token(rawToken);
    const std::vector<BYTE> groups = ReadTokenGroups(token.get());
    if (groups.empty())
        return false;
    return GroupsContainGuests(*reinterpret_cast<const TOKEN_GROUPS*>(groups.data()));
}

void ShowGuestRefusal(const wchar_t* textFile, const LanguageCode& language, std::wstring_view builtIn)
{
    Text messageTemplate;
    const bool fromFile = ReadText(textFile, language.c_str(), kGuestMessageKey, messageTemplate);
    const GuestRefusal refusal =
        MakeGuestRefusal(fromFile ? std::optional(messageTemplate.view()) : std::nullopt, builtIn,
                         ReadTitle(textFile, language).view(), language);
    ::MessageBoxW(nullptr, refusal.message.c_str(), refusal.caption.c_str(),
                  MB_OK | MB_ICONEXCLAMATION | (refusal.rightToLeft ? MB_RTLREADING : 0));
}

}  // namespace velopass
