// Looks at and drives the card from a second process, as a user or an
// assistive tool would: window search, texts, rectangles, styles, messages.
// Usage: vpprobe OUT-FILE COMMAND [ARGS...]; results go to OUT-FILE as JSON
// (a file, not stdout, so no pipe is held open by Wine's helper processes).
#include <windows.h>
#include <msi.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kCardClass[] = L"ZellVelopass";

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string Quote(const std::wstring& text)
{
    std::string out = "\"";
    for (unsigned char c : Utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::wstring TextOf(HWND window)
{
    // WM_GETTEXT reaches into the other process; GetWindowText would not for controls.
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
    return buffer;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::string Rect(const RECT& r)
{
    char out[96];
    std::snprintf(out, sizeof(out), "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return out;
}

// Where the client area's logical (0, 0) lies on the screen; in a mirrored
// window that is its right edge.
std::string Origin(HWND window)
{
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    char out[48];
    std::snprintf(out, sizeof(out), "[%ld, %ld]", origin.x, origin.y);
    return out;
}

std::string Hex(unsigned long value)
{
    char out[16];
    std::snprintf(out, sizeof(out), "\"0x%08lX\"", value);
    return out;
}

// Text travels as hexadecimal UTF-16 code units: Wine converts command lines
// through the Unix locale, which may not know every character.
std::wstring FromHex(const std::wstring& hex)
{
    std::wstring text;
    for (std::size_t i = 0; i + 4 <= hex.size(); i += 4)
        text += static_cast<wchar_t>(std::wcstoul(hex.substr(i, 4).c_str(), nullptr, 16));
    return text;
}

HWND FindCard() { return ::FindWindowW(kCardClass, nullptr); }

HWND WaitForCard(DWORD timeoutMs)
{
    for (DWORD waited = 0;; waited += 100) {
        const HWND card = FindCard();
        if (card != nullptr && ::IsWindowVisible(card))
            return card;
        if (waited >= timeoutMs)
            return nullptr;
        ::Sleep(100);
    }
}

std::string WindowJson(HWND window, bool withChildren)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    RECT client{};
    ::GetClientRect(window, &client);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    const LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
    std::string out = "{\"hwnd\": " + std::to_string(reinterpret_cast<UINT_PTR>(window)) +
                      ", \"pid\": " + std::to_string(pid) + ", \"class\": " + Quote(ClassOf(window)) +
                      ", \"text\": " + Quote(TextOf(window)) +
                      ", \"style\": " + Hex(static_cast<unsigned long>(::GetWindowLongW(window, GWL_STYLE))) +
                      ", \"exstyle\": " + Hex(static_cast<unsigned long>(exStyle)) + ", \"rect\": " + Rect(rect) +
                      ", \"client\": " + Rect(client) + ", \"client_origin\": " + Origin(window) +
                      ", \"visible\": " + (::IsWindowVisible(window) ? "true" : "false") +
                      ", \"iconic\": " + (::IsIconic(window) ? "true" : "false") +
                      ", \"topmost\": " + ((exStyle & WS_EX_TOPMOST) ? "true" : "false") +
                      ", \"enabled\": " + (::IsWindowEnabled(window) ? "true" : "false");
    if (withChildren) {
        out += ", \"controls\": [";
        bool first = true;
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT childRect{};
            ::GetWindowRect(child, &childRect);
            ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&childRect), 2);
            out += first ? "" : ", ";
            first = false;
            out += "{\"id\": " + std::to_string(::GetDlgCtrlID(child)) + ", \"class\": " + Quote(ClassOf(child)) +
                   ", \"text\": " + Quote(TextOf(child)) +
                   ", \"style\": " + Hex(static_cast<unsigned long>(::GetWindowLongW(child, GWL_STYLE))) +
                   ", \"exstyle\": " + Hex(static_cast<unsigned long>(::GetWindowLongW(child, GWL_EXSTYLE))) +
                   ", \"rect\": " + Rect(childRect) + "}";
        }
        out += "]";
    }
    return out + "}";
}

// Visible top-level windows, topmost first.
std::string ZOrderJson()
{
    std::string out = "[";
    bool first = true;
    for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(w))
            continue;
        out += first ? "" : ", ";
        first = false;
        out += WindowJson(w, false);
    }
    return out + "]";
}

std::string ProcessesJson()
{
    std::string out = "[";
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool first = true;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        out += first ? "" : ", ";
        first = false;
        out += Quote(entry.szExeFile);
    }
    ::CloseHandle(snapshot);
    return out + "]";
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

// A real click, through the system's input queue, on the caption's close box.
bool ClickCloseBox(HWND card)
{
    RECT rect{};
    ::GetWindowRect(card, &rect);
    const int captionHeight = ::GetSystemMetrics(SM_CYCAPTION);
    for (int x = rect.right - 2; x > rect.right - 4 * captionHeight; --x) {
        for (int y = rect.top + 2; y < rect.top + 2 * captionHeight; ++y) {
            if (::SendMessageW(card, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE)
                continue;
            ::SetForegroundWindow(card);
            ::SetCursorPos(x, y);
            INPUT clicks[2] = {};
            clicks[0].type = clicks[1].type = INPUT_MOUSE;
            clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            ::SendInput(1, &clicks[0], sizeof(INPUT));
            ::Sleep(100);
            ::SendInput(1, &clicks[1], sizeof(INPUT));
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window of this process over the given rectangle, for z-order checks;
// with `title`, it also poses as a first instance that has no card window.
int Occupy(const std::wstring& title, int x, int y, int width, int height, DWORD seconds, bool holdMutex)
{
    if (holdMutex)
        ::CreateMutexW(nullptr, FALSE, L"Zell_Velopass_VLP_GUID_For_Single_Instance");
    WNDCLASSW cls{};
    cls.lpfnWndProc = PlainWindowProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    cls.lpszClassName = L"VpInspectCover";
    ::RegisterClassW(&cls);
    const HWND window = ::CreateWindowExW(0, cls.lpszClassName, title.c_str(), WS_POPUP | WS_VISIBLE | WS_CAPTION, x, y,
                                          width, height, nullptr, nullptr, cls.hInstance, nullptr);
    if (window == nullptr)
        return 1;
    const DWORD end = ::GetTickCount() + seconds * 1000;
    while (::GetTickCount() < end) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
        ::Sleep(20);
    }
    return 0;
}

// Keys as a user types them, to whichever window has the focus.
void TypeCtrl(HWND card, WORD key)
{
    ::SetForegroundWindow(card);
    ::Sleep(200);
    INPUT keys[4] = {};
    const WORD sequence[4][2] = {{VK_CONTROL, 0}, {key, 0}, {key, KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i][0];
        keys[i].ki.dwFlags = sequence[i][1];
    }
    ::SendInput(4, keys, sizeof(INPUT));
    ::Sleep(300);
}

std::string ClipboardJson()
{
    std::string out = "null";
    if (!::OpenClipboard(nullptr))
        return out;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
            out = Quote(text);
            ::GlobalUnlock(data);
        }
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
    const HRESULT found = ::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                       reinterpret_cast<void**>(&accessible));
    if (SUCCEEDED(found)) {
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        const HRESULT named = accessible->get_accName(self, &name);
        if (SUCCEEDED(named) && name != nullptr)
            out = Quote(name);
        ::SysFreeString(name);
        accessible->Release();
    }
    return out;
}

// The program file's version strings and manifest, as Windows reads them.
std::string ResourcesJson(const std::wstring& path)
{
    std::string out = "{";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> info(size);
    const bool haveInfo = size != 0 && ::GetFileVersionInfoW(path.c_str(), 0, size, info.data());
    for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
                               L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        const bool found = haveInfo && ::VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                                        &length) && value != nullptr;
        out += Quote(key) + ": " + (found ? Quote(value) : std::string("null")) + ", ";
    }
    std::string manifest;
    if (const HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        if (const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
            const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
            manifest.assign(bytes, ::SizeofResource(module, resource));
        }
        ::FreeLibrary(module);
    }
    std::wstring wide(manifest.begin(), manifest.end());
    return out + "\"manifest\": " + Quote(wide) + "}";
}

// Versions of the installed products of that name.
std::string ProductsJson(const std::wstring& name)
{
    std::string out = "[";
    wchar_t code[39];
    for (DWORD i = 0; ::MsiEnumProductsW(i, code) == ERROR_SUCCESS; ++i) {
        wchar_t value[256];
        DWORD size = 256;
        if (::MsiGetProductInfoW(code, INSTALLPROPERTY_PRODUCTNAME, value, &size) != ERROR_SUCCESS || name != value)
            continue;
        size = 256;
        if (::MsiGetProductInfoW(code, INSTALLPROPERTY_VERSIONSTRING, value, &size) == ERROR_SUCCESS)
            out += (out.size() > 1 ? ", " : "") + Quote(value);
    }
    return out + "]";
}

int Write(const wchar_t* path, const std::string& json)
{
    FILE* file = _wfopen(path, L"wb");
    if (file == nullptr)
        return 3;
    std::fputs(json.c_str(), file);
    std::fputs("\n", file);
    std::fclose(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fputs("usage: vpprobe OUT-FILE COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    const wchar_t* out = argv[1];
    const std::wstring command = argv[2];
    auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
    auto number = [&](int i) { return i < argc ? std::wcstol(argv[i], nullptr, 0) : 0L; };

    if (command == L"resources")  // resources EXE-PATH
        return Write(out, ResourcesJson(arg(3)));
    if (command == L"products")  // products NAME
        return Write(out, ProductsJson(arg(3)));
    if (command == L"clipboard")
        return Write(out, ClipboardJson());
    if (command == L"processes")
        return Write(out, ProcessesJson());
    if (command == L"zorder")
        return Write(out, ZOrderJson());
    if (command == L"lock") {  // lock WINDOWS-PATH SECONDS: hold a file open with no sharing
        const HANDLE file = ::CreateFileW(arg(3).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 1;
        ::Sleep(static_cast<DWORD>(number(4)) * 1000);
        ::CloseHandle(file);
        return 0;
    }
    if (command == L"occupy")  // occupy TITLE X Y W H SECONDS [mutex]
        return Occupy(arg(3), number(4), number(5), number(6), number(7), static_cast<DWORD>(number(8)),
                      arg(9) == L"mutex");
    if (command == L"attributes")  // attributes WINDOWS-PATH
        return Write(out, std::to_string(static_cast<long>(static_cast<LONG>(::GetFileAttributesW(arg(3).c_str())))));
    if (command == L"wait") {  // wait TIMEOUT-MS: the card visible
        const HWND card = WaitForCard(static_cast<DWORD>(number(3)));
        return card ? Write(out, WindowJson(card, true)) : (Write(out, "null"), 1);
    }

    const HWND card = FindCard();
    if (card == nullptr)
        return Write(out, "null"), 1;
    if (command == L"dump")
        return Write(out, WindowJson(card, true));
    if (command == L"key") {  // key CONTROL-ID VIRTUAL-KEY
        const HWND control = ::GetDlgItem(card, static_cast<int>(number(3)));
        PressKey(control ? control : card, static_cast<UINT>(number(4)));
        return Write(out, "true");
    }
    if (command == L"click") {  // click CONTROL-ID
        ::PostMessageW(::GetDlgItem(card, static_cast<int>(number(3))), BM_CLICK, 0, 0);
        return Write(out, "true");
    }
    if (command == L"copy") {  // copy ID [FROM TO]: Ctrl+C, the focus on control ID, an edit's selection FROM-TO
        if (const HWND control = ::GetDlgItem(card, static_cast<int>(number(3)))) {
            ::SendMessageTimeoutW(card, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE, SMTO_ABORTIFHUNG,
                                  2000, nullptr);
            if (argc > 5)
                ::SendMessageTimeoutW(control, EM_SETSEL, static_cast<WPARAM>(number(4)),
                                      static_cast<LPARAM>(number(5)), SMTO_ABORTIFHUNG, 2000, nullptr);
        }
        TypeCtrl(card, 'C');
        return Write(out, "true");
    }
    if (command == L"sysloop") {  // sysloop COUNT ID...: system commands, one after the other, answered
        const long count = number(3);
        for (long i = 0; i < count && argc > 4; ++i)
            ::SendMessageTimeoutW(card, WM_SYSCOMMAND, static_cast<WPARAM>(number(4 + static_cast<int>(i % (argc - 4)))),
                                  0, SMTO_ABORTIFHUNG, 5000, nullptr);
        return Write(out, "true");
    }
    if (command == L"displayloop") {  // displayloop COUNT W1 H1 W2 H2: the display changes to and fro
        for (long i = 0; i < number(3); ++i) {
            DEVMODEW mode{};
            mode.dmSize = sizeof(mode);
            mode.dmPelsWidth = static_cast<DWORD>(number(i % 2 ? 6 : 4));
            mode.dmPelsHeight = static_cast<DWORD>(number(i % 2 ? 7 : 5));
            mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
            ::ChangeDisplaySettingsW(&mode, 0);
            ::SendMessageTimeoutW(card, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        }
        return Write(out, "true");
    }
    if (command == L"repaint") {  // repaint COUNT: the whole card, painted each time before the next
        for (long i = 0; i < number(3); ++i) {
            ::InvalidateRect(card, nullptr, TRUE);
            ::UpdateWindow(card);
        }
        return Write(out, "true");
    }
    if (command == L"accname")  // accname CONTROL-ID
        return Write(out, AccessibleNameJson(::GetDlgItem(card, static_cast<int>(number(3)))));
    if (command == L"altf4") {
        // Alt held: the context bit of the key message.
        ::PostMessageW(card, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        ::PostMessageW(card, WM_SYSKEYUP, VK_F4, 0xE0000001);
        return Write(out, "true");
    }
    if (command == L"closebox")
        return ClickCloseBox(card) ? Write(out, "true") : (Write(out, "false"), 1);
    if (command == L"displaymode") {  // displaymode WIDTH HEIGHT: what a user's display change does
        DEVMODEW mode{};
        mode.dmSize = sizeof(mode);
        mode.dmPelsWidth = static_cast<DWORD>(number(3));
        mode.dmPelsHeight = static_cast<DWORD>(number(4));
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        const LONG result = ::ChangeDisplaySettingsW(&mode, 0);
        return Write(out, std::to_string(result));
    }
    if (command == L"dialog") {  // dialog BUTTON-ID TIMEOUT-MS: press a button of a dialog the card opened
        const DWORD timeout = static_cast<DWORD>(number(4));
        for (DWORD waited = 0; waited <= timeout; waited += 100) {
            for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
                if (w == card || ::GetWindow(w, GW_OWNER) != card || !::IsWindowVisible(w) ||
                    ClassOf(w) != L"#32770")
                    continue;
                ::PostMessageW(::GetDlgItem(w, static_cast<int>(number(3))), BM_CLICK, 0, 0);
                return Write(out, Quote(TextOf(w)));
            }
            ::Sleep(100);
        }
        return Write(out, "null"), 1;
    }
    if (command == L"languagemenu") {
        // The keyboard's way in: Alt+Space, up to the last entry, right into its popup.
        ::PostMessageW(card, WM_SYSCOMMAND, SC_KEYMENU, L' ');
        ::Sleep(700);
        for (UINT key : {VK_UP, VK_RIGHT}) {
            PressKey(card, key);
            ::Sleep(400);
        }
        return Write(out, "true");
    }
    if (command == L"syscommand") {  // syscommand ID
        ::PostMessageW(card, WM_SYSCOMMAND, static_cast<WPARAM>(number(3)), 0);
        return Write(out, "true");
    }
    if (command == L"settext") {  // settext CONTROL-ID UTF16-HEX
        const std::wstring text = FromHex(arg(4));
        ::SendMessageTimeoutW(::GetDlgItem(card, static_cast<int>(number(3))), WM_SETTEXT, 0,
                              reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
        return Write(out, "true");
    }
    std::fputs("unknown command\n", stderr);
    return 2;
}
