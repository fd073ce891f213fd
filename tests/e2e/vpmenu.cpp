// Loaded into the card by vpprobe: lists the card's system menu beside itself (vpmenu.dll.txt, UTF-16, a line
// of depth, id and text an entry), then declines to stay, so that the next load lists it afresh.
#include <windows.h>

#include <string>

namespace {

void List(HMENU menu, int depth, std::wstring& out)
{
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        out += std::to_wstring(depth) + L"\t" + std::to_wstring(static_cast<int>(::GetMenuItemID(menu, i))) + L"\t" +
               text + L"\n";
        if (const HMENU below = ::GetSubMenu(menu, i))
            List(below, depth + 1, out);
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    std::wstring listing;
    List(::GetSystemMenu(::FindWindowW(L"ZellVelopass", nullptr), FALSE), 0, listing);
    wchar_t path[MAX_PATH + 8] = {};
    ::lstrcpyW(path + ::GetModuleFileNameW(self, path, MAX_PATH), L".txt");
    const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, listing.data(), static_cast<DWORD>(listing.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return FALSE;
}
