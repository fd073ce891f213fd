// A data file's text with the date set: read back as the private-profile functions read a file (Wine's reader:
// LF ends a line, blanks around a line, a name and a value dropped, a section named up to its last "]"), the date
// is found; setting it twice changes nothing more, whatever it was set to before.
#include "FuzzInput.h"
#include "machine/ProfileText.h"

#include <algorithm>
#include <optional>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1A; }

std::wstring Trimmed(std::wstring text)
{
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), IsBlank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), IsBlank).base(), text.end());
    return text;
}

bool Is(std::wstring text, const wchar_t* name)
{
    for (wchar_t& c : text)
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    return text == name;
}

std::optional<std::wstring> ReadDate(const std::wstring& text)
{
    bool inData = false;
    for (std::size_t begin = 0, end = 0; begin < text.size(); begin = end) {
        end = std::min(text.find(L'\n', begin), text.size() - 1) + 1;
        const std::wstring line = Trimmed(text.substr(begin, end - begin));
        if (!line.empty() && line[0] == L'[' && line.rfind(L']') != std::wstring::npos) {
            if (inData)
                return std::nullopt;
            inData = Is(line.substr(1, line.rfind(L']') - 1), L"data");
        } else if (inData && !line.empty() && Is(Trimmed(line.substr(0, line.find(L'='))), L"dop")) {
            return line.find(L'=') == std::wstring::npos ? L"" : Trimmed(line.substr(line.find(L'=') + 1));
        }
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzz::Next(data, size);
    std::wstring date = fuzz::Next(data, size), other = fuzz::Next(data, size);
    for (std::wstring* value : {&date, &other})  // a date is one line: the edit holds one
        value->erase(std::remove_if(value->begin(), value->end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }),
                     value->end());
    const auto set = [](const std::wstring& in, const std::wstring& value) {
        return velopass::SetProfileValue(in, L"data", L"DOP", value);
    };
    const std::wstring once = set(text, date);
    FUZZ_CHECK(ReadDate(once) == Trimmed(date));
    FUZZ_CHECK(set(once, date) == once);
    FUZZ_CHECK(set(set(text, other), date) == once);
    return 0;
}
