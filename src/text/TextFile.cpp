#include "text/TextFile.h"

#include <windows.h>

namespace velopass {

bool ReadText(const wchar_t* file, const wchar_t* section, const wchar_t* key, Text& value)
{
    Text read;
    ::GetPrivateProfileStringW(section, key, L"", read.Buffer(), Text::kCapacity, file);  // "" when there is none
    read.Terminate();
    if (read.empty())
        return false;
    value = read.view();
    return true;
}

}  // namespace velopass
