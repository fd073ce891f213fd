#include "machine/Registry.h"

namespace velopass {

bool ReadRegistryText(HKEY root, const wchar_t* path, const wchar_t* name, win::UniqueKey& key, Text& value)
{
    key.reset();
    HKEY opened = nullptr;
    // Read access only: a standard user may not open the machine's key for more.
    if (::RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    key.reset(opened);

    // Zero-filled so that a value stored without its NUL (or as a number or
    // raw bytes) still ends within the buffer.
    wchar_t buffer[Text::kCapacity] = {};
    DWORD size = sizeof(buffer);
    if (::RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    buffer[Text::kCapacity - 1] = L'\0';
    value = buffer;
    return true;
}

}  // namespace velopass
