// Looks at and drives the card from a second process, as a user or an assistive tool would. Usage: vpprobe OUT-FILE
// COMMAND [ARGS...]; the answer goes to OUT-FILE as JSON (a file, not stdout: Wine's helper processes hold pipes open).
#include "card/resource.h"
#include "win/Dialog.h"

#include <windows.h>
#include <oleacc.h>
#include <shlobj.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

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
    return {name, static_cast<std::size_t>(::GetClassNameW(window, name, 256))};
}

std::string Fields(HWND window, HWND parent)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return "\"class\": " + Quote(ClassOf(window)) + ", \"text\": " + Quote(TextOf(window)) + ", \"style\": " +
           Number(static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE))) + ", \"exstyle\": " +
           Number(::GetWindowLongW(window, GWL_EXSTYLE)) + ", \"rect\": [" + Number(rect.left) + ", " +
           Number(rect.top) + ", " + Number(rect.right - rect.left) + ", " + Number(rect.bottom - rect.top) + "]";
}

HWND FocusOf(HWND card)
{
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(card, nullptr), &thread) ? thread.hwndFocus : nullptr;
}

// Everything else a screen reader or a script may ask of an edit, with the answers' codes and values as text.
std::wstring OtherAnswers(IAccessible* object, HWND control, BSTR value, VARIANT self)
{
    std::wstring out;
    VARIANT first = self, v{};
    first.lVal = 1;  // a child an edit has not
    const auto answer = [&](VARTYPE type, HRESULT result) {  // `v` holds the answer as `type` (0: as a VARIANT)
        v.vt = type == VT_EMPTY ? v.vt : SUCCEEDED(result) ? type : VT_EMPTY;
        out += std::to_wstring(result) + L":" + std::to_wstring(v.vt) + L":" +
               (v.vt == VT_BSTR && v.bstrVal ? v.bstrVal : v.vt == VT_I4 ? std::to_wstring(v.lVal) : L"") + L";";
        ::VariantClear(&v);
    };
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"accName")};
    DISPPARAMS none{};
    RECT box{};
    LONG topic = 0, location[4] = {};
    ::GetWindowRect(control, &box);
    answer(VT_I4, object->GetTypeInfoCount(reinterpret_cast<UINT*>(&v.lVal)));
    answer(VT_UNKNOWN, object->GetTypeInfo(0, 0, reinterpret_cast<ITypeInfo**>(&v.punkVal)));
    answer(VT_I4, object->GetIDsOfNames(IID_NULL, names, 1, 0, &v.lVal));
    answer(VT_EMPTY, object->Invoke(DISPID_ACC_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr));
    answer(VT_DISPATCH, object->get_accParent(&v.pdispVal));
    answer(VT_I4, object->get_accChildCount(&v.lVal));
    answer(VT_DISPATCH, object->get_accChild(self, &v.pdispVal));
    answer(VT_BSTR, object->get_accName(first, &v.bstrVal));
    answer(VT_BSTR, object->get_accName(VARIANT{}, &v.bstrVal));  // no child named at all
    answer(VT_DISPATCH, object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&v.pdispVal)));
    answer(VT_BSTR, object->get_accDescription(self, &v.bstrVal));
    answer(VT_BSTR, object->get_accHelp(self, &v.bstrVal));
    answer(VT_BSTR, object->get_accHelpTopic(&v.bstrVal, self, &topic));
    answer(VT_EMPTY, object->get_accFocus(&v));
    answer(VT_EMPTY, object->get_accSelection(&v));
    answer(VT_BSTR, object->get_accDefaultAction(self, &v.bstrVal));
    answer(VT_EMPTY, object->accSelect(SELFLAG_NONE, self));
    answer(VT_EMPTY, object->accLocation(&location[0], &location[1], &location[2], &location[3], self));
    answer(VT_EMPTY, object->accNavigate(NAVDIR_NEXT, self, &v));
    answer(VT_EMPTY, object->accHitTest((box.left + box.right) / 2, (box.top + box.bottom) / 2, &v));
    answer(VT_EMPTY, object->accDoDefaultAction(self));
    answer(VT_EMPTY, object->put_accName(self, nullptr));
    answer(VT_EMPTY, object->put_accValue(self, value));  // the value it has: the system's object sets it
    for (const LONG edge : location)
        out += std::to_wstring(edge) + L",";
    return out;
}

// What a screen reader hears of a control (name, value, shortcut, role, state); an edit's answers unlike the system's.
std::string AccessibleFields(HWND control)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* accessible = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&accessible))))
        return "";
    VARIANT self{}, role{}, state{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = nullptr, value = nullptr, shortcut = nullptr;
    accessible->get_accRole(self, &role);
    accessible->get_accState(self, &state);
    accessible->get_accName(self, &name);
    accessible->get_accValue(self, &value);
    accessible->get_accKeyboardShortcut(self, &shortcut);
    IAccessible* standard = nullptr;
    std::wstring answers, expected;
    if (ClassOf(control) == L"Edit" && SUCCEEDED(::CreateStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible,
                                                                             reinterpret_cast<void**>(&standard)))) {
        // Setting the value again moves the selection: it is put back.
        const auto selection = static_cast<DWORD>(::SendMessageW(control, EM_GETSEL, 0, 0));
        answers = OtherAnswers(accessible, control, value, self);
        expected = OtherAnswers(standard, control, value, self);
        ::SendMessageW(control, EM_SETSEL, LOWORD(selection), HIWORD(selection));
        standard->Release();
    }
    accessible->Release();
    const auto json = [](BSTR text) {  // freed once quoted
        const std::string quoted = text ? Quote(text) : "null";
        ::SysFreeString(text);
        return quoted;
    };
    return ", \"name\": " + json(name) + ", \"value\": " + json(value) + ", \"shortcut\": " + json(shortcut) +
           ", \"role\": " + Number(role.lVal) + ", \"state\": " + Number(state.lVal) +
           (answers == expected ? "" : ", \"unlike the system's\": " + Quote(answers + L" | " + expected));
}

// The card with its controls, the one with the keyboard focus, and, if asked, what a screen reader hears of each.
std::string CardJson(HWND card, bool accessible)
{
    POINT origin{0, 0};  // where the client area's logical (0, 0) lies on the screen; mirrored, its right edge
    ::ClientToScreen(card, &origin);
    int behind = 0;  // visible windows in front of the card
    for (HWND w = ::GetWindow(card, GW_HWNDPREV); w != nullptr; w = ::GetWindow(w, GW_HWNDPREV))
        behind += ::IsWindowVisible(w) ? 1 : 0;
    std::string out = "{" + Fields(card, HWND_DESKTOP) + ", \"client_origin\": [" + Number(origin.x) + ", " +
                      Number(origin.y) + "], \"iconic\": " + Number(::IsIconic(card)) + ", \"behind\": " +
                      Number(behind) + ", \"focus\": " + Number(::GetDlgCtrlID(FocusOf(card))) + ", \"controls\": [";
    for (HWND child = ::GetWindow(card, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        out += std::string(out.back() == '[' ? "" : ", ") + "{\"id\": " + Number(::GetDlgCtrlID(child)) + ", " +
               Fields(child, card) + (accessible ? AccessibleFields(child) : "") + "}";
    return out + "]}";
}

// The topmost visible dialog at least DEPTH owners above the card, or none.
HWND DialogOver(HWND card, long depth)
{
    for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
        long above = 0;
        HWND owner = w;
        for (; owner != nullptr && owner != card; owner = ::GetWindow(owner, GW_OWNER))
            ++above;
        if (owner == card && above >= depth && ::IsWindowVisible(w) && ClassOf(w) == win::kDialogClass)
            return w;
    }
    return nullptr;
}

HHOOK HookCard(HWND card)
{
    const HMODULE dll = ::LoadLibraryW(L"vphook.dll");  // beside the probe
    const auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(dll, "CardHook")));
    return ::SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, ::GetWindowThreadProcessId(card, nullptr));
}

// What Explorer shows of a program file: its type, version numbers and language, then the texts in that language.
std::optional<std::string> VersionOf(const wchar_t* path)
{
    std::vector<char> data(::GetFileVersionInfoSizeW(path, nullptr));
    VS_FIXEDFILEINFO* fixed = nullptr;
    WORD* language = nullptr;
    UINT size = 0;
    if (data.empty() || !::GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) ||
        !::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&language), &size))
        return std::nullopt;
    wchar_t text[256];
    const DWORD parts[] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                           fixed->dwProductVersionLS};
    std::swprintf(text, 256, L"%u, %u.%u.%u.%u, %u.%u.%u.%u, %04x%04x", fixed->dwFileType, HIWORD(parts[0]),
                  LOWORD(parts[0]), HIWORD(parts[1]), LOWORD(parts[1]), HIWORD(parts[2]), LOWORD(parts[2]),
                  HIWORD(parts[3]), LOWORD(parts[3]), language[0], language[1]);
    std::string out = "{\"\": " + Quote(text);
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
                                L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        wchar_t key[64], *value = nullptr;
        std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\%ls", language[0], language[1], name);
        if (::VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &size))
            out += ", " + Quote(name) + ": " + Quote(value);
    }
    return out + "}";
}

// What Explorer and the Start menu take from a shortcut: target, working folder, icon (file, index), description.
std::optional<std::string> ShortcutOf(const wchar_t* path)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {}, description[1024] = {};
    int index = 0;
    const bool read = SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                                   reinterpret_cast<void**>(&link))) &&
                      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                      SUCCEEDED(file->Load(path, STGM_READ)) &&
                      SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                      SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)) &&
                      SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &index)) &&
                      SUCCEEDED(link->GetDescription(description, 1024));
    if (read)  // (the process ends next)
        return "[" + Quote(target) + ", " + Quote(folder) + ", " + Quote(icon) + ", " + Number(index) + ", " +
               Quote(description) + "]";
    return std::nullopt;
}

// One command; its JSON answer, or nothing when it failed.
std::optional<std::string> Run(const std::wstring& command, int argc, wchar_t** argv)
{
    auto number = [&](int i) { return i < argc ? std::wcstol(argv[i], nullptr, 0) : 0L; };
    auto send = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, nullptr);
    };

    if (command == L"clipboard") {  // clipboard [empty]
        std::string text = "null";
        if (!::OpenClipboard(nullptr))
            return text;
        if (argc > 3 && std::wcscmp(argv[3], L"empty") == 0)
            ::EmptyClipboard();
        else if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* units = static_cast<const wchar_t*>(::GlobalLock(data)))
                text = Quote(units);
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return text;
    }
    if (command == L"version" && argc > 3)  // version WINDOWS-PATH
        return VersionOf(argv[3]);
    if (command == L"shortcut" && argc > 3)  // shortcut WINDOWS-PATH
        return ShortcutOf(argv[3]);
    if (command == L"attributes")  // attributes WINDOWS-PATH
        return Number(static_cast<LONG>(::GetFileAttributesW(argc > 3 ? argv[3] : L"")));
    if (command == L"hold" && argc > 4) {  // hold WINDOWS-PATH FLAG: held unshared, as a backup may, until FLAG is gone
        const HANDLE file = ::CreateFileW(argv[3], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return std::nullopt;
        ::CloseHandle(::CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        while (::GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES)
            ::Sleep(50);
        ::CloseHandle(file);
        return "true";
    }

    // The rest act on the card, which "wait TIMEOUT-MS [accessible]" waits for to show.
    HWND card = ::FindWindowW(L"" CARD_CLASS, nullptr);
    for (long waited = 0; command == L"wait" && !::IsWindowVisible(card) && waited < number(3);
         waited += 100, card = ::FindWindowW(L"" CARD_CLASS, nullptr))
        ::Sleep(100);
    if (card == nullptr || (command == L"wait" && !::IsWindowVisible(card)))
        return std::nullopt;
    const HWND control = ::GetDlgItem(card, static_cast<int>(number(3)));
    if (command == L"wait")
        return CardJson(card, argc > 4);
    if (command == L"gdiobjects") {
        // Used entries of the handle table the card's PEB points to (GdiSharedHandleTable, 0xF8; Wine's: per process).
        struct Entry { UINT64 object; ULONG owner; USHORT unique; UCHAR type, flags; UINT64 user; };
        static Entry entries[0x10000];
        DWORD id = 0;
        ::GetWindowThreadProcessId(card, &id);
        const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);  // closed at exit
        PROCESS_BASIC_INFORMATION basic{};
        void* table = nullptr;
        if (!process || ::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) ||
            !::ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + 0xF8, &table, sizeof(table),
                                 nullptr) ||
            !::ReadProcessMemory(process, table, entries, sizeof(entries), nullptr))
            return std::nullopt;
        return Number(std::count_if(std::begin(entries), std::end(entries), [](const auto& e) { return e.type != 0; }));
    }
    if (command == L"press") {
        // press CONTROL-ID KEY...: keys as the keyboard delivers them, through the system's input queue, with the
        // focus moved to that control first (0: as it is). Each argument is keys held together: virtual-key codes, or
        // "#" and a UTF-16 code unit in hexadecimal, typed ("0x11+0x43" is Ctrl+C); first "hold": the clipboard held
        // meanwhile, as another program may. The answer: the control focused after each (after a Tab, once moved).
        if (control != nullptr)
            send(card, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        ::SetForegroundWindow(card);
        std::string focused;
        const bool held = argc > 4 && std::wcscmp(argv[4], L"hold") == 0 && ::OpenClipboard(nullptr);
        for (int i = 4 + held; i < argc; ++i) {
            const HWND before = FocusOf(card);
            std::vector<INPUT> keys;  // pressed in order, released in reverse
            for (wchar_t *at = argv[i], *end = at; *at != L'\0'; at = end + (*end == L'+')) {
                const bool unit = *at == L'#';
                const auto code = static_cast<WORD>(std::wcstoul(at + unit, &end, unit ? 16 : 0));
                if (end == at + unit)
                    break;
                keys.push_back({INPUT_KEYBOARD, {}});
                keys.back().ki = {static_cast<WORD>(unit ? 0 : code), static_cast<WORD>(unit ? code : 0),
                                  static_cast<DWORD>(unit ? KEYEVENTF_UNICODE : 0), 0, 0};
            }
            for (std::size_t k = 0; k < 2 * keys.size(); ++k) {
                INPUT key = keys[k < keys.size() ? k : 2 * keys.size() - 1 - k];
                key.ki.dwFlags |= k < keys.size() ? 0 : KEYEVENTF_KEYUP;
                ::SendInput(1, &key, sizeof(key));
                ::Sleep(30);
            }
            const bool tab = !keys.empty() && keys.back().ki.wVk == VK_TAB;
            for (int waited = 0; tab && FocusOf(card) == before && waited < 10000; waited += 50)
                ::Sleep(50);
            focused += (i > 4 + held ? ", " : "") + Number(::GetDlgCtrlID(FocusOf(card)));
        }
        ::Sleep(held ? 1000 : 0);  // until the card has answered the keys
        return "[" + focused + "]";
    } else if (command == L"click") {  // click CONTROL-ID
        ::PostMessageW(control, BM_CLICK, 0, 0);
    } else if (command == L"message") {  // message ID WPARAM LPARAM: as the system or an installer sends it
        send(card, static_cast<UINT>(number(3)), static_cast<WPARAM>(number(4)), static_cast<LPARAM>(number(5)));
    } else if (command == L"dialog") {
        // dialog BUTTON-ID TIMEOUT-MS [DEPTH [THEN [WPARAM]]]: a button (0: none) of the topmost dialog over the card,
        // at least DEPTH owners above it (1, the default: the Print dialog; 2: a sheet or box over that), pressed once
        // one shows within the time-out, and then a message THEN (0: none) posted to the card, to arrive as soon as
        // the dialog has done (-THEN: to its thread, without a window). The answer: its caption.
        for (long waited = 0; waited <= number(4); waited += 100, ::Sleep(100)) {
            if (const HWND w = DialogOver(card, std::max(1L, number(5)))) {
                const std::string caption = Quote(TextOf(w));
                ::PostMessageW(::GetDlgItem(w, static_cast<int>(number(3))), BM_CLICK, 0, 0);
                if (number(6) > 0)
                    ::PostMessageW(card, static_cast<UINT>(number(6)), static_cast<WPARAM>(number(7)), 0);
                else if (number(6) < 0)
                    ::PostThreadMessageW(::GetWindowThreadProcessId(card, nullptr), -number(6), number(7), 0);
                return caption;
            }
        }
        return std::nullopt;
    } else if (command == L"sysloop") {  // sysloop COUNT ID...: system commands in turn, the whole card repainted
        for (long i = 0; i < number(3) && argc > 4; ++i) {
            send(card, WM_SYSCOMMAND, static_cast<WPARAM>(number(4 + static_cast<int>(i % (argc - 4)))), 0);
            ::InvalidateRect(card, nullptr, TRUE);
            ::UpdateWindow(card);
        }
    } else if (command == L"hooked") {  // hooked (MESSAGE WPARAM LPARAM)...: sent with vphook.dll in the card's thread
        const HHOOK hook = HookCard(card);
        if (hook == nullptr)
            return std::nullopt;
        for (int i = 3; i + 2 < argc; i += 3)
            send(card, static_cast<UINT>(number(i)), static_cast<WPARAM>(number(i + 1)), number(i + 2));
        ::UnhookWindowsHookEx(hook);
    } else if (command == L"watch" && argc > 4) {
        // watch BUTTON FLAG: the next message box over the card, from when FLAG is made until it goes, then its
        // BUTTON (0: none) pressed. The answer: its caption and the type it was asked for (MB_*), as a hook in the
        // card's thread sees it: Wine draws no reading order.
        const HHOOK hook = HookCard(card);
        ::CloseHandle(::CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        HWND box = nullptr;
        while (::GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES && !::GetPropW(box, L"BoxType"))
            box = (::Sleep(50), DialogOver(card, 1));
        ::UnhookWindowsHookEx(hook);
        if (box == nullptr)
            return std::nullopt;
        const std::string answer = "[" + Quote(TextOf(box)) + ", " +
                                   Number(reinterpret_cast<ULONG_PTR>(::GetPropW(box, L"BoxType"))) + "]";
        ::PostMessageW(::GetDlgItem(box, static_cast<int>(number(3))), BM_CLICK, 0, 0);
        return answer;
    } else if (command == L"displayloop") {  // displayloop COUNT W1 H1 W2 H2: the display changes to and fro
        for (long i = 0; i < number(3); ++i) {
            DEVMODEW mode{};
            mode.dmSize = sizeof(mode);
            mode.dmPelsWidth = static_cast<DWORD>(number(i % 2 ? 6 : 4));
            mode.dmPelsHeight = static_cast<DWORD>(number(i % 2 ? 7 : 5));
            mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
            ::ChangeDisplaySettingsW(&mode, 0);
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
    if (argc < 3)  // no OUT-FILE and COMMAND (usage above)
        return 2;
    const std::optional<std::string> answer = Run(argv[2], argc, argv);
    std::ofstream(argv[1], std::ios::binary) << answer.value_or("null") << '\n';
    return answer ? 0 : 1;
}
