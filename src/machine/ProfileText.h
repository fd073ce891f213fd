// An INI file's text with one value set and everything else kept. Portable.
#pragma once

#include <string>
#include <string_view>

namespace velopass {

// The text with `key` of `section` holding `value`, as the private-profile
// functions read it back: the first such key of the first such section (each
// named in any case; a line is read without the blanks around it, and a
// section's name is all between "[" and the last "]") gets the value; without
// the key, it is added after that section's last line; without the section,
// both are added at the end. Every other character stays as it was, line ends
// included; added lines end with CR LF.
std::wstring SetProfileValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                             std::wstring_view value);

}  // namespace velopass
