// Reading the text file and the other INI files the card consults.
#pragma once

#include "text/FixedText.h"

namespace velopass {

inline constexpr wchar_t kTextFilePath[] = L".\\Velopass.ini";

// The one read of an INI value: at most 127 characters. Only a value of at
// least one character counts; otherwise `value` keeps what it held, so a
// missing file, section or key and an empty value all leave the default.
bool ReadText(const wchar_t* file, const wchar_t* section, const wchar_t* key, Text& value);

}  // namespace velopass
