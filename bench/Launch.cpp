// Starts a program and measures, in milliseconds, until its window is shown
// with nothing left to paint; then closes it as the close box would, and
// measures until its process has ended.
// Usage: vplaunch OUT-FILE EXE-PATH TIMEOUT-MS; the two times (or -1) go to OUT-FILE.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct ProcessWindow {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ProcessWindow*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !::IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

std::string LaunchJson(const std::wstring& exe, DWORD timeoutMs)
{
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return "-1";
    double elapsed = -1;
    ProcessWindow search{process.dwProcessId, nullptr};
    for (;;) {
        ::QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        if (ms > timeoutMs)
            break;
        search.found = nullptr;
        ::EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && !::GetUpdateRect(search.found, nullptr, FALSE)) {
            elapsed = ms;
            break;
        }
        ::Sleep(1);
    }
    ::QueryPerformanceCounter(&start);
    if (search.found != nullptr)
        ::PostMessageW(search.found, WM_SYSCOMMAND, SC_CLOSE, 0);
    const bool ended = ::WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    ::QueryPerformanceCounter(&now);
    double closing = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                     static_cast<double>(frequency.QuadPart);
    if (!ended || search.found == nullptr)
        closing = -1;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    char out[64];
    std::snprintf(out, sizeof(out), "%.3f %.3f", elapsed, closing);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    FILE* out = _wfopen(argv[1], L"wb");
    if (out == nullptr)
        return 3;
    std::fprintf(out, "%s\n", LaunchJson(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10))).c_str());
    std::fclose(out);
    return 0;
}
