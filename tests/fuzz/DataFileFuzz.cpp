// A data file's text with the date set: setting it twice changes nothing more, and the date lands in the same
// place whatever it is, so that no other line moves or goes.
#include "FuzzInput.h"
#include "machine/ProfileText.h"

#include <algorithm>

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
    FUZZ_CHECK(set(once, date) == once);
    FUZZ_CHECK(set(set(text, other), date) == once);
    return 0;
}
