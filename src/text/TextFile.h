// Reading the text file and the other INI files the card consults.
#pragma once

#include "text/FixedText.h"
#include "text/Language.h"

namespace velopass {

inline constexpr wchar_t kTextFilePath[] = L".\\Velopass.ini";
inline constexpr wchar_t kDefaultTitle[] = L"Velopass";

// The one read of an INI value: at most 127 characters. Only a value of at
// least one character counts; otherwise `value` keeps what it held, so a
// missing file, section or key and an empty value all leave the default.
bool ReadText(const wchar_t* file, const wchar_t* section, const wchar_t* key, Text& value);

// A language is in the text file exactly when its section has a title.
bool IsLanguagePresent(const wchar_t* file, const LanguageCode& language);

// The section's title, or "Velopass".
Text ReadTitle(const wchar_t* file, const LanguageCode& language);

}  // namespace velopass
