// The guest decision on real SIDs and on this process's real token.
#include "app/GuestCheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Whether a token whose groups are these builtin aliases counts as a guest's.
bool AliasesContainGuests(const std::vector<DWORD>& aliases, DWORD attributes = SE_GROUP_ENABLED)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    std::vector<std::vector<BYTE>> sids(aliases.size(), std::vector<BYTE>(::GetSidLengthRequired(2)));
    std::vector<BYTE> buffer(sizeof(TOKEN_GROUPS) + aliases.size() * sizeof(SID_AND_ATTRIBUTES));
    auto& groups = *reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
    groups.GroupCount = static_cast<DWORD>(aliases.size());
    for (std::size_t i = 0; i < aliases.size(); ++i) {
        PSID sid = sids[i].data();
        ::InitializeSid(sid, &nt, 2);
        *::GetSidSubAuthority(sid, 0) = SECURITY_BUILTIN_DOMAIN_RID;
        *::GetSidSubAuthority(sid, 1) = aliases[i];
        groups.Groups[i] = {sid, attributes};
    }
    return velopass::GroupsContainGuests(groups);
}

}  // namespace

TEST(GuestCheck, GuestsAnywhereInALongListAndNoOtherGroup)
{
    std::vector<DWORD> many(150, DOMAIN_ALIAS_RID_USERS);
    many.push_back(DOMAIN_ALIAS_RID_GUESTS);
    EXPECT_TRUE(AliasesContainGuests(many, SE_GROUP_USE_FOR_DENY_ONLY));
    EXPECT_FALSE(AliasesContainGuests({DOMAIN_ALIAS_RID_ADMINS, DOMAIN_ALIAS_RID_POWER_USERS}));
    EXPECT_FALSE(AliasesContainGuests({}));
}

TEST(GuestCheck, ReadsThisProcessTokenWhole)
{
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    const std::vector<BYTE> buffer = velopass::ReadTokenGroups(token);
    ::CloseHandle(token);
    ASSERT_GE(buffer.size(), sizeof(TOKEN_GROUPS));
    const auto& groups = *reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    EXPECT_GT(groups.GroupCount, 0u);
    for (DWORD i = 0; i < groups.GroupCount; ++i)
        EXPECT_TRUE(::IsValidSid(groups.Groups[i].Sid)) << "group " << i;
    EXPECT_TRUE(velopass::ReadTokenGroups(nullptr).empty());
    EXPECT_FALSE(velopass::IsGuestUser());  // the test runs as an ordinary user
}
