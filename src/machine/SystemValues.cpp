#include "machine/SystemValues.h"

namespace velopass {

namespace {

unsigned HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A' + 10);
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a' + 10);
    return 0;  // anything else, the end of the text included
}

}  // namespace

std::wstring DeriveSnid(std::wstring_view serial)
{
    auto at = [serial](std::size_t i) { return i < serial.size() ? serial[i] : L'\0'; };

    unsigned number = 0;
    for (std::size_t i = 13; i <= 17; ++i)
        number = number * 16 + HexValue(at(i));

    std::wstring snid{at(10), at(11), at(12)};
    for (unsigned divisor = 100000; divisor > 0; divisor /= 10)
        snid += static_cast<wchar_t>(L'0' + (number / divisor) % 10);
    snid += at(18);
    snid += at(19);
    return snid.substr(0, snid.find(L'\0'));
}

std::wstring DerivePartNumber(std::wstring_view serial)
{
    return std::wstring(serial.substr(0, 10));
}

}  // namespace velopass
