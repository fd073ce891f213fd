// This process's real token read whole, the guest's refusal box as it shows, and the start-up with a guest's token
// (SIDs as the platform lays them out) and a mutex refused, which Wine cannot give.
#include "WinTest.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// A token's group list of builtin aliases, by their RIDs, as the platform lays it out: the SIDs after the array.
std::vector<BYTE> AliasGroups(const std::vector<DWORD>& rids, DWORD attributes)
{
    struct AliasSid { BYTE revision, count; SID_IDENTIFIER_AUTHORITY authority; DWORD domain, rid; };
    const std::size_t head = sizeof(TOKEN_GROUPS) + rids.size() * sizeof(SID_AND_ATTRIBUTES);
    std::vector<BYTE> buffer(head + rids.size() * sizeof(AliasSid));
    auto& groups = *reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
    auto* sids = reinterpret_cast<AliasSid*>(buffer.data() + head);
    groups.GroupCount = static_cast<DWORD>(rids.size());
    for (std::size_t i = 0; i < rids.size(); ++i) {
        sids[i] = {SID_REVISION, 2, SECURITY_NT_AUTHORITY, SECURITY_BUILTIN_DOMAIN_RID, rids[i]};
        groups.Groups[i] = {&sids[i], attributes};
    }
    return buffer;
}

// What a modal box that `run` shows says, its caption and then its texts, each followed by "|"; answered with OK
// from another thread, as a user would. Empty when `run` showed none.
std::wstring BoxShownBy(const std::function<void()>& run)
{
    std::atomic<bool> ran = false;
    std::wstring read;
    std::thread user([&] {
        HWND box = nullptr;  // the visible dialog box: this process shows no other
        for (; !ran && !::IsWindowVisible(box); ::Sleep(20))
            box = ::FindWindowW(L"#32770", nullptr);
        for (HWND w = box; w != nullptr; w = ::GetWindow(w, w == box ? GW_CHILD : GW_HWNDNEXT)) {
            wchar_t text[256] = {}, kind[16] = {};
            if (::GetWindowTextW(w, text, 256) && (w == box || (::GetClassNameW(w, kind, 16) && kind[0] == L'S')))
                read += std::wstring(text) + L"|";
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    run();
    ran = true;
    user.join();
    return read;
}

}  // namespace

TEST(GuestCheck, ReadsThisProcessTokenWhole)
{
    const std::vector<BYTE> buffer = velopass::ProcessTokenGroups();
    ASSERT_GE(buffer.size(), sizeof(TOKEN_GROUPS));
    const auto& groups = *reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    EXPECT_GT(groups.GroupCount, 0u);
    for (DWORD i = 0; i < groups.GroupCount; ++i)  // every SID within the buffer, none cut
        EXPECT_TRUE(::IsValidSid(groups.Groups[i].Sid)) << "group " << i;
    EXPECT_TRUE(velopass::ReadTokenGroups(nullptr).empty());
}

TEST(GuestRefusal, TheBoxShowsTheTextFilesMessageOrTheBuiltInOne)
{
    const TempTextFile file(
        L"[de]\r\nAppTitle=Velopass DE\r\nMsgGuest=G\u00E4ste: {0} ({0})\r\n[fr]\r\nAppTitle=Velopass FR\r\n");
    const struct { const wchar_t *language, *shown; } cases[] = {
        {L"de", L"Velopass DE|G\u00E4ste: Velopass DE (Velopass DE)|"}, {L"fr", L"Velopass FR|built in|"}};
    for (const auto& c : cases)
        EXPECT_EQ(BoxShownBy([&] { velopass::ShowGuestRefusal(file.path.c_str(), c.language, L"built in"); }), c.shown);
}

TEST(Startup, OneCardAtATimeNoneForAGuestAndNoneWithoutGdiplus)
{
    // The first instance's window (its refusal box, captioned with the title, or none yet) under another program's.
    const auto window = [](const wchar_t* caption) {
        return ::CreateWindowExW(0, L"Static", caption, WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                 nullptr);
    };
    const HWND first = window(L""), other = window(L"another program");
    // Guests last of a long list, and for deny only: a guest all the same.
    std::vector<DWORD> groups(150, DOMAIN_ALIAS_RID_ADMINS);
    groups.push_back(DOMAIN_ALIAS_RID_GUESTS);
    const std::vector<BYTE> guest = AliasGroups(groups, SE_GROUP_USE_FOR_DENY_ONLY), unread;
    const struct { DWORD claimed; const std::vector<BYTE>& groups; bool gdiplus; const wchar_t *first, *shown; } cases[] = {
        {ERROR_ALREADY_EXISTS, guest, true, L"Velopass", L"raised"},  // a guest's second start tells nothing either
        {ERROR_ACCESS_DENIED, guest, true, L"", L""},  // another user's instance, still without a window
        {0, guest, true, L"", L"Velopass|Guest users cannot run Velopass|"},
        {0, unread, false, L"", L""},  // a token that cannot be read is no guest's
        {0, velopass::ProcessTokenGroups(), true, L"", L"card en"},
    };
    for (const auto& c : cases) {
        ::SetWindowTextW(first, c.first);
        ::SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        std::wstring card;
        std::wstring shown = BoxShownBy([&] {
            velopass::StartUp({[&] { return c.claimed; }, [&] { return c.groups; }, [&] { return c.gdiplus; }},
                              [&](const velopass::UserLanguage& language) { card = L"card " + language.code; });
        });
        shown += card;
        for (HWND below = ::GetWindow(first, GW_HWNDNEXT); below != nullptr; below = ::GetWindow(below, GW_HWNDNEXT))
            shown += below == other ? L"raised" : L"";
        EXPECT_EQ(shown, c.shown) << c.claimed << " " << c.first;
    }
    ::DestroyWindow(first);
    ::DestroyWindow(other);
}
