#include "machine/ProfileText.h"

#include "text/Ascii.h"

namespace velopass {

namespace {

// The blanks the private-profile functions trim from a line, its CR among them.
bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1A; }

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && LowerAscii(std::wstring(a)) == LowerAscii(std::wstring(b));
}

}  // namespace

std::wstring SetProfileValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                             std::wstring_view value)
{
    std::wstring result(text);
    bool inSection = false;
    std::size_t sectionEnd = std::wstring_view::npos;  // after the section's last line that is not blank
    // Lines end with LF alone, as the reader takes them; each is read without the blanks around it.
    for (std::size_t begin = 0, next = 0; begin < text.size(); begin = next) {
        next = std::min(text.find(L'\n', begin), text.size() - 1) + 1;
        std::size_t first = begin, last = next;
        while (first < last && IsBlank(text[first]))
            ++first;
        while (last > first && IsBlank(text[last - 1]))
            --last;
        const std::wstring_view line = text.substr(first, last - first);
        const std::size_t closing = line.rfind(L']');
        if (!line.empty() && line.front() == L'[' && closing != std::wstring_view::npos) {
            if (inSection)
                break;  // the first section of that name ends here
            inSection = SameName(line.substr(1, closing - 1), section);
            sectionEnd = inSection ? next : sectionEnd;
            continue;
        }
        if (!inSection || line.empty())
            continue;
        sectionEnd = next;
        // The name is what comes before "=" (its blanks dropped), or the whole line, a key without a value.
        const std::size_t equals = line.find(L'=');
        std::wstring_view name = line.substr(0, equals);
        while (!name.empty() && IsBlank(name.back()))
            name.remove_suffix(1);
        if (!SameName(name, key))
            continue;
        // The old value goes up to the line's end, blanks and all, so that setting a value twice gives one line.
        std::size_t end = next - (text[next - 1] == L'\n');
        end -= end > first && text[end - 1] == L'\r';
        if (equals == std::wstring_view::npos)
            return result.replace(last, end - last, L"=" + std::wstring(value));
        return result.replace(first + equals + 1, end - (first + equals + 1), value);
    }
    const std::size_t at = sectionEnd == std::wstring_view::npos ? text.size() : sectionEnd;
    // A last line without its end gets one before what follows it.
    const std::wstring lineEnd = at > 0 && text[at - 1] != L'\n' ? L"\r\n" : L"";
    const std::wstring added = std::wstring(key) + L"=" + std::wstring(value) + L"\r\n";
    if (sectionEnd == std::wstring_view::npos)
        return result + lineEnd + L"[" + std::wstring(section) + L"]\r\n" + added;
    return result.insert(at, lineEnd + added);
}

}  // namespace velopass
