// The maker's registry value naming the brand.
#pragma once

#include "text/FixedText.h"
#include "win/Handles.h"

namespace velopass {

// Opens root\path for reading into `key` (closing what it held) and reads the
// value as UTF-16 text whatever its type: at most 256 bytes, up to the first
// NUL. False when the key or value cannot be read or the value is larger.
bool ReadRegistryText(HKEY root, const wchar_t* path, const wchar_t* name, win::UniqueKey& key, Text& value);

}  // namespace velopass
