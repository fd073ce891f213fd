// Loaded into the card by vpprobe: writes the card's system menu beside
// itself ("vpmenu.dll.txt", UTF-16), a line of depth, id and text for each
// entry, then declines to stay, so that the next load lists it afresh.
#include <windows.h>

#include <string>

namespace {

void List(HMENU menu, int depth, std::wstring& out)
{
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = 256;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
        out += std::to_wstring(depth) + L"\t" + std::to_wstring(item.wID) + L"\t" + text + L"\n";
        if (item.hSubMenu != nullptr)
            List(item.hSubMenu, depth + 1, out);
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
