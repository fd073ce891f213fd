#include "text/FixedText.h"

namespace velopass {

std::wstring_view WholeCharacters(std::wstring_view text, std::size_t units)
{
    if (text.size() <= units)
        return text;
    return text.substr(0, units > 0 && IsLeadSurrogate(text[units - 1]) ? units - 1 : units);
}

}  // namespace velopass
