// Poses as a system DLL beside the program; once loaded it leaves a mark beside itself ("gdiplus.dll.ran").
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH + 8] = {};
    ::lstrcpyW(path + ::GetModuleFileNameW(self, path, MAX_PATH), L".ran");
    ::CloseHandle(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}
