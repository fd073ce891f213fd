#include "machine/ProfileText.h"

#include "text/Ascii.h"

namespace velopass {

namespace {

std::wstring_view Trim(std::wstring_view text)
{
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && LowerAscii(std::wstring(a)) == LowerAscii(std::wstring(b));
}

}  // namespace

std::wstring SetProfileValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                             std::wstring_view value)
{
    std::wstring result(text);
    const std::wstring line = std::wstring(key) + L"=" + std::wstring(value) + L"\r\n";
    bool inSection = false;
    std::size_t sectionEnd = std::wstring_view::npos;  // after the section's last line that is not blank
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n", begin), text.size());
        std::size_t next = end + (end < text.size() && text[end] == L'\r');
        next += next < text.size() && text[next] == L'\n';
        const std::wstring_view content = Trim(text.substr(begin, end - begin));
        const std::size_t closing = content.find(L']');
        if (!content.empty() && content.front() == L'[' && closing != std::wstring_view::npos) {
            if (inSection)
                break;  // the first section of that name ends here
            inSection = SameName(Trim(content.substr(1, closing - 1)), section);
            if (inSection)
                sectionEnd = next;
        } else if (inSection) {
            const std::size_t equals = content.find(L'=');
            if (equals != std::wstring_view::npos && SameName(Trim(content.substr(0, equals)), key)) {
                const std::size_t at = text.find(L'=', begin) + 1;
                return result.replace(at, end - at, value);
            }
            if (!content.empty())
                sectionEnd = next;
        }
        begin = next;
    }
    const std::size_t at = sectionEnd == std::wstring_view::npos ? text.size() : sectionEnd;
    // A last line without its end gets one before what follows it.
    const std::wstring lineEnd = at > 0 && text[at - 1] != L'\n' && text[at - 1] != L'\r' ? L"\r\n" : L"";
    if (sectionEnd == std::wstring_view::npos)
        return result + lineEnd + L"[" + std::wstring(section) + L"]\r\n" + line;
    return result.insert(at, lineEnd + line);
}

}  // namespace velopass
