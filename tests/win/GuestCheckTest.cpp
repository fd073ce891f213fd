// The guest decision on real SIDs and on this process's real token.
#include "app/GuestCheck.h"

#include <gtest/gtest.h>

#include <vector>

using velopass::GroupsContainGuests;

namespace {

// A group list laid out as the token would hand it over, the SIDs after the entries.
class GroupList {
public:
    void AddAlias(DWORD rid, DWORD attributes = SE_GROUP_ENABLED)
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID sid = nullptr;
        ASSERT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0, 0, 0, 0, 0, &sid));
        const DWORD length = ::GetLengthSid(sid);
        m_sids.emplace_back(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + length);
        m_attributes.push_back(attributes);
        ::FreeSid(sid);
    }

    const TOKEN_GROUPS& Build()
    {
        const std::size_t head = offsetof(TOKEN_GROUPS, Groups) + m_sids.size() * sizeof(SID_AND_ATTRIBUTES);
        std::size_t total = head;
        for (const auto& sid : m_sids)
            total += sid.size();
        m_buffer.assign(total + sizeof(SID_AND_ATTRIBUTES), 0);
        auto* groups = reinterpret_cast<TOKEN_GROUPS*>(m_buffer.data());
        groups->GroupCount = static_cast<DWORD>(m_sids.size());
        BYTE* next = m_buffer.data() + head;
        for (std::size_t i = 0; i < m_sids.size(); ++i) {
            std::copy(m_sids[i].begin(), m_sids[i].end(), next);
            groups->Groups[i].Sid = next;
            groups->Groups[i].Attributes = m_attributes[i];
            next += m_sids[i].size();
        }
        return *groups;
    }

private:
    std::vector<std::vector<BYTE>> m_sids;
    std::vector<DWORD> m_attributes;
    std::vector<BYTE> m_buffer;
};

}  // namespace

TEST(GuestCheck, FindsGuestsAnywhereInAListLongerThan1024Bytes)
{
    GroupList list;
    for (DWORD i = 0; i < 150; ++i)
        list.AddAlias(DOMAIN_ALIAS_RID_USERS + (i % 3));
    list.AddAlias(DOMAIN_ALIAS_RID_GUESTS, SE_GROUP_USE_FOR_DENY_ONLY);
    const TOKEN_GROUPS& groups = list.Build();
    ASSERT_GT(offsetof(TOKEN_GROUPS, Groups) + groups.GroupCount * sizeof(SID_AND_ATTRIBUTES), 1024u);
    EXPECT_TRUE(GroupsContainGuests(groups));
}

TEST(GuestCheck, OtherGroupsAreNoGuests)
{
    GroupList list;
    list.AddAlias(DOMAIN_ALIAS_RID_ADMINS);
    list.AddAlias(DOMAIN_ALIAS_RID_USERS);
    list.AddAlias(DOMAIN_ALIAS_RID_GUESTS + 1);  // Power Users
    EXPECT_FALSE(GroupsContainGuests(list.Build()));

    GroupList none;
    EXPECT_FALSE(GroupsContainGuests(none.Build()));
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

    EXPECT_FALSE(velopass::IsGuestUser());  // the test runs as an ordinary user
}

TEST(GuestCheck, UnreadableTokenGivesNoGroups)
{
    EXPECT_TRUE(velopass::ReadTokenGroups(nullptr).empty());
}
