// The card values derived from the serial number. Portable.
#pragma once

#include <string>
#include <string_view>

namespace velopass {

// s[10..12], then s[13..17] read as a five-digit hexadecimal number shown as
// six decimal digits, then s[18..19]; cut where the serial number ends.
// Example: 0123456789KLM0001FXY2 gives KLM000031XY.
std::wstring DeriveSnid(std::wstring_view serial);

// The first ten characters of the serial number.
std::wstring DerivePartNumber(std::wstring_view serial);

}  // namespace velopass
