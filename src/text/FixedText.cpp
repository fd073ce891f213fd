#include "text/FixedText.h"

namespace velopass {

std::wstring_view WholeCharacters(std::wstring_view text, std::size_t units)
{
    if (text.size() <= units)
        return text;
    return text.substr(0, units > 0 && IsLeadSurrogate(text[units - 1]) ? units - 1 : units);
}

std::wstring Substitute(std::wstring_view message, std::wstring_view placeholder, std::wstring_view value)
{
    std::wstring result;
    result.reserve(message.size() + value.size());
    for (;;) {
        const std::size_t at = message.find(placeholder);
        result.append(message.substr(0, at));
        if (at == std::wstring_view::npos)
            return result;
        result.append(value);
        message.remove_prefix(at + placeholder.size());
    }
}

}  // namespace velopass
