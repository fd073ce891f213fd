// ASCII case, for keys and tokens compared without regard to it. Portable.
#pragma once

#include <string>

namespace velopass {

// Lower-cases ASCII letters only; other characters pass unchanged.
inline std::wstring LowerAscii(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

}  // namespace velopass
