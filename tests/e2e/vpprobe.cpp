// Looks at and drives the card from a second process, as a user or an
// assistive tool would: window search, texts, rectangles, styles, messages.
// Usage: vpprobe OUT-FILE COMMAND [ARGS...]; results go to OUT-FILE as JSON
// (a file, not stdout, so no pipe is held open by Wine's helper processes).
#include <windows.h>
#include <oleacc.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace {

// JSON text; every character beyond ASCII as a UTF-16 escape, which JSON readers join again.
std::string Quote(const std::wstring& text)
{
    std::string out = "\"";
    for (const wchar_t c : text) {
        char unit[8];
        const bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
        std::snprintf(unit, sizeof(unit), plain ? "%c" : "\\u%04x", static_cast<unsigned>(c));
        out += unit;
    }
    return out + "\"";
}

std::string Number(long long value) { return std::to_string(value); }
std::string Bool(bool value) { return value ? "true" : "false"; }
std::string Hex(LONG value)
{
    char out[16];
    std::snprintf(out, sizeof(out), "\"0x%08lX\"", static_cast<unsigned long>(value));
    return out;
}
std::string Rect(const RECT& r)
{
    return "[" + Number(r.left) + ", " + Number(r.top) + ", " + Number(r.right - r.left) + ", " +
           Number(r.bottom - r.top) + "]";
}

std::wstring TextOf(HWND window)
{
    // WM_GETTEXT reaches into the other process; GetWindowText would not for controls.
    wchar_t buffer[1024] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

// Class, text, styles and rectangle of a window; `rect` relative to `parent` for a control.
std::string Fields(HWND window, HWND parent)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return "\"class\": " + Quote(ClassOf(window)) + ", \"text\": " + Quote(TextOf(window)) +
           ", \"style\": " + Hex(::GetWindowLongW(window, GWL_STYLE)) +
           ", \"exstyle\": " + Hex(::GetWindowLongW(window, GWL_EXSTYLE)) + ", \"rect\": " + Rect(rect);
}

// The card with its controls.
std::string CardJson(HWND card)
{
    // Where the client area's logical (0, 0) lies on the screen; in a mirrored window, its right edge.
    POINT origin{0, 0};
    ::ClientToScreen(card, &origin);
    std::string out = "{" + Fields(card, HWND_DESKTOP) + ", \"client_origin\": [" + Number(origin.x) + ", " +
                      Number(origin.y) + "], \"iconic\": " + Bool(::IsIconic(card)) + ", \"controls\": [";
    for (HWND child = ::GetWindow(card, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        out += std::string(out.back() == '[' ? "" : ", ") + "{\"id\": " + Number(::GetDlgCtrlID(child)) + ", " +
               Fields(child, card) + "}";
    return out + "]}";
}

HWND WaitForCard(DWORD timeoutMs)
{
    for (DWORD waited = 0;; waited += 100) {
        const HWND card = ::FindWindowW(L"ZellVelopass", nullptr);
        if ((card != nullptr && ::IsWindowVisible(card)) || waited >= timeoutMs)
            return card;
        ::Sleep(100);
    }
}

// Keys go to the control as the keyboard would deliver them, through the
// card's own dialog message handling.
void PressKey(HWND control, UINT key)
{
    ::PostMessageW(control, WM_KEYDOWN, key, 1);
    if (key == VK_RETURN || key == VK_ESCAPE)
        ::PostMessageW(control, WM_CHAR, key == VK_RETURN ? L'\r' : 0x1B, 1);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

std::string ClipboardJson()
{
    std::string out = "null";
    if (!::OpenClipboard(nullptr))
        return out;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data)))
            out = Quote(text);
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return out;
}

// What a screen reader hears as the control's name.
std::string AccessibleNameJson(HWND control)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* accessible = nullptr;
    std::string out = "null";
    if (SUCCEEDED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                               reinterpret_cast<void**>(&accessible)))) {
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr)
            out = Quote(name);
        ::SysFreeString(name);
        accessible->Release();
    }
    return out;
}

// A button of a dialog the card opened (the Print dialog), pressed within the time-out; its caption.
std::optional<std::string> PressDialogButton(HWND card, int button, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 100, ::Sleep(100)) {
        for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (w != card && ::GetWindow(w, GW_OWNER) == card && ::IsWindowVisible(w) && ClassOf(w) == L"#32770") {
                ::PostMessageW(::GetDlgItem(w, button), BM_CLICK, 0, 0);
                return Quote(TextOf(w));
            }
        }
    }
    return std::nullopt;
}

// GDI objects the card's process holds: the used entries of the handle table that its PEB
// points to (GdiSharedHandleTable, at 0xF8). The process handle goes with the probe, which ends at once.
std::optional<std::string> GdiObjectsJson(HWND card)
{
    struct Entry { UINT64 object; ULONG owner; USHORT unique; UCHAR type, flags; UINT64 user; };
    static Entry entries[0x10000];
    DWORD id = 0;
    ::GetWindowThreadProcessId(card, &id);
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    PROCESS_BASIC_INFORMATION basic{};
    void* table = nullptr;
    if (!process || ::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) ||
        !::ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + 0xF8, &table, sizeof(table),
                             nullptr) ||
        !::ReadProcessMemory(process, table, entries, sizeof(entries), nullptr))
        return std::nullopt;
    return Number(std::count_if(std::begin(entries), std::end(entries), [](const Entry& e) { return e.type != 0; }));
}

void ChangeDisplay(DWORD width, DWORD height)
{
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ::ChangeDisplaySettingsW(&mode, 0);
}

// One command; its JSON answer, or nothing when it failed.
std::optional<std::string> Run(const std::wstring& command, int argc, wchar_t** argv)
{
    auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
    auto number = [&](int i) { return i < argc ? std::wcstol(argv[i], nullptr, 0) : 0L; };
    auto send = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, nullptr);
    };

    if (command == L"clipboard")
        return ClipboardJson();
    if (command == L"attributes")  // attributes WINDOWS-PATH
        return Number(static_cast<LONG>(::GetFileAttributesW(arg(3).c_str())));
    if (command == L"lock") {  // lock WINDOWS-PATH SECONDS: hold a file open with no sharing
        const HANDLE file = ::CreateFileW(arg(3).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ::Sleep(static_cast<DWORD>(number(4)) * 1000);
        if (file == INVALID_HANDLE_VALUE)
            return std::nullopt;
        ::CloseHandle(file);
        return "true";
    }

    // The rest act on the card.
    const HWND card = WaitForCard(command == L"wait" ? static_cast<DWORD>(number(3)) : 0);  // wait TIMEOUT-MS
    if (card == nullptr || (command == L"wait" && !::IsWindowVisible(card)))
        return std::nullopt;
    const HWND control = ::GetDlgItem(card, static_cast<int>(number(3)));
    if (command == L"wait" || command == L"dump")
        return CardJson(card);
    if (command == L"gdiobjects")
        return GdiObjectsJson(card);
    if (command == L"accname")  // accname CONTROL-ID
        return AccessibleNameJson(control);
    if (command == L"key")  // key CONTROL-ID VIRTUAL-KEY (0: the card)
        PressKey(control ? control : card, static_cast<UINT>(number(4)));
    else if (command == L"click")  // click CONTROL-ID
        ::PostMessageW(control, BM_CLICK, 0, 0);
    else if (command == L"syscommand")  // syscommand ID
        ::PostMessageW(card, WM_SYSCOMMAND, static_cast<WPARAM>(number(3)), 0);
    else if (command == L"altf4") {  // Alt held: the context bit of the key message
        ::PostMessageW(card, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        ::PostMessageW(card, WM_SYSKEYUP, VK_F4, 0xE0000001);
    } else if (command == L"settext") {  // settext CONTROL-ID UTF16-HEX (hex, as Wine's command line may lose text)
        std::wstring text;
        for (std::size_t i = 0; i + 4 <= arg(4).size(); i += 4)
            text += static_cast<wchar_t>(std::wcstoul(arg(4).substr(i, 4).c_str(), nullptr, 16));
        send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    } else if (command == L"copy") {  // copy CONTROL-ID [FROM TO]: Ctrl+C with the focus there and that selection
        if (control != nullptr) {
            send(card, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
            if (argc > 5)
                send(control, EM_SETSEL, static_cast<WPARAM>(number(4)), static_cast<LPARAM>(number(5)));
        }
        // Through the system's input queue, as a user types: to whichever control has the focus.
        ::SetForegroundWindow(card);
        for (const auto& [key, flags] : {std::pair<BYTE, DWORD>{VK_CONTROL, 0}, {'C', 0}, {'C', KEYEVENTF_KEYUP},
                                        {VK_CONTROL, KEYEVENTF_KEYUP}}) {
            ::Sleep(150);
            ::keybd_event(key, 0, flags, 0);
        }
        ::Sleep(300);
    } else if (command == L"dialog") {  // dialog BUTTON-ID TIMEOUT-MS: press a button of a dialog the card opened
        return PressDialogButton(card, static_cast<int>(number(3)), static_cast<DWORD>(number(4)));
    } else if (command == L"sysloop") {  // sysloop COUNT ID...: system commands in turn, each answered
        for (long i = 0; i < number(3) && argc > 4; ++i)
            send(card, WM_SYSCOMMAND, static_cast<WPARAM>(number(4 + static_cast<int>(i % (argc - 4)))), 0);
    } else if (command == L"repaint") {  // repaint COUNT: the whole card, painted each time
        for (long i = 0; i < number(3); ++i) {
            ::InvalidateRect(card, nullptr, TRUE);
            ::UpdateWindow(card);
        }
    } else if (command == L"displayloop") {  // displayloop COUNT W1 H1 W2 H2: the display changes to and fro
        for (long i = 0; i < number(3); ++i) {
            ChangeDisplay(static_cast<DWORD>(number(i % 2 ? 6 : 4)), static_cast<DWORD>(number(i % 2 ? 7 : 5)));
            send(card, WM_NULL, 0, 0);
        }
    } else {
        return std::nullopt;
    }
    return "true";
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fputs("usage: vpprobe OUT-FILE COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    const std::optional<std::string> answer = Run(argv[2], argc, argv);
    if (FILE* file = _wfopen(argv[1], L"wb")) {
        std::fprintf(file, "%s\n", answer.value_or("null").c_str());
        std::fclose(file);
    }
    return answer ? 0 : 1;
}
