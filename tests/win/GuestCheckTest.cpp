// The guest decision on SIDs as the platform lays them out and on this process's real token.
#include "app/GuestCheck.h"

#include <gtest/gtest.h>

TEST(GuestCheck, GuestsAnywhereInALongListAndNoOtherGroup)
{
    std::vector<DWORD> many(150, DOMAIN_ALIAS_RID_ADMINS);
    many.push_back(DOMAIN_ALIAS_RID_GUESTS);
    const struct { std::vector<DWORD> rids; DWORD attributes; bool guest; } cases[] = {
        {many, SE_GROUP_USE_FOR_DENY_ONLY, true},
        {{DOMAIN_ALIAS_RID_USERS, DOMAIN_ALIAS_RID_ADMINS, DOMAIN_ALIAS_RID_POWER_USERS}, SE_GROUP_ENABLED, false}};
    // Builtin aliases, laid out as SIDs of two sub-authorities.
    struct AliasSid { BYTE revision, count; SID_IDENTIFIER_AUTHORITY authority; DWORD domain, rid; };
    for (const auto& c : cases) {
        std::vector<AliasSid> sids(c.rids.size());
        std::vector<BYTE> buffer(sizeof(TOKEN_GROUPS) + c.rids.size() * sizeof(SID_AND_ATTRIBUTES));
        auto& groups = *reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
        groups.GroupCount = static_cast<DWORD>(c.rids.size());
        for (std::size_t i = 0; i < c.rids.size(); ++i) {
            sids[i] = {SID_REVISION, 2, SECURITY_NT_AUTHORITY, SECURITY_BUILTIN_DOMAIN_RID, c.rids[i]};
            groups.Groups[i] = {&sids[i], c.attributes};
        }
        EXPECT_EQ(velopass::GroupsContainGuests(groups), c.guest) << c.rids.size() << " groups";
    }
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
    for (DWORD i = 0; i < groups.GroupCount; ++i)  // every SID within the buffer, none cut
        EXPECT_TRUE(::IsValidSid(groups.Groups[i].Sid)) << "group " << i;
    EXPECT_TRUE(velopass::ReadTokenGroups(nullptr).empty());
    EXPECT_FALSE(velopass::IsGuestUser());  // the test runs as an ordinary user
}
