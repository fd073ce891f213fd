// This process's token read whole, the refusal box, and start-ups Wine cannot give: a guest's, a mutex refused.
#include "WinTest.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The caption and texts, each followed by "|", of a modal box `run` shows (none: empty), answered OK as a user would.
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
    const HWND first = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, {}, {}, {}, {});
    const HWND other = ::CreateWindowExW(0, L"Static", L"another", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, {}, {}, {}, {});
    // A guest's token as the platform lays it out, SIDs after the array: Guests last of 151 aliases, all deny-only.
    struct AliasSid { BYTE revision, count; SID_IDENTIFIER_AUTHORITY authority; DWORD domain, rid; };
    const std::size_t count = 151, head = sizeof(TOKEN_GROUPS) + count * sizeof(SID_AND_ATTRIBUTES);
    std::vector<BYTE> guest(head + count * sizeof(AliasSid)), unread;
    auto& token = *reinterpret_cast<TOKEN_GROUPS*>(guest.data());
    auto* sids = reinterpret_cast<AliasSid*>(guest.data() + head);
    token.GroupCount = static_cast<DWORD>(count);
    for (std::size_t i = 0; i < count; ++i) {
        sids[i] = {SID_REVISION, 2, SECURITY_NT_AUTHORITY, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS};
        token.Groups[i] = {&sids[i], SE_GROUP_USE_FOR_DENY_ONLY};
    }
    sids[count - 1].rid = DOMAIN_ALIAS_RID_GUESTS;
    const struct { DWORD claimed; const std::vector<BYTE>& groups; bool gdiplus; const wchar_t *first, *shown; } cases[] = {
        {ERROR_ALREADY_EXISTS, guest, true, L"Velopass", L"raised"},  // a guest's second start tells nothing either
        {ERROR_ACCESS_DENIED, guest, true, L"", L""},  // another user's instance, still without a window
        {0, guest, true, L"", L"Velopass|Guest users cannot run Velopass|"},
        {0, unread, false, L"", L""},  // a token that cannot be read is no guest's
        {0, velopass::ProcessTokenGroups(), true, L"", L"card en"}};
    for (const auto& c : cases) {
        ::SetWindowTextW(first, c.first);
        ::SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        std::wstring card, shown = BoxShownBy([&] {
            velopass::StartUp({[&] { return c.claimed; }, [&] { return c.groups; }, [&] { return c.gdiplus; }},
                              [&](const velopass::UserLanguage& language, auto&, auto&) { card = L"card " + language.code; });
        }) + card;  // the card read once the start-up has returned
        for (HWND below = ::GetWindow(first, GW_HWNDNEXT); below != nullptr; below = ::GetWindow(below, GW_HWNDNEXT))
            shown += below == other ? L"raised" : L"";
        EXPECT_EQ(shown, c.shown) << c.claimed << " " << c.first;
    }
    ::DestroyWindow(first);
    ::DestroyWindow(other);
}
