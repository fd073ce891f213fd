// The brand's registry key, opened on the platform's own registry.
#include "machine/Registry.h"

#include <gtest/gtest.h>

TEST(Registry, TheKeyIsOpenedForReadingOnly)
{
    const wchar_t* path = L"Software\\VelopassRegistryTest";
    const wchar_t brand[] = L"Zell";
    const auto data = reinterpret_cast<const BYTE*>(brand);
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr), 0);
    ::RegSetValueExW(created, L"Brand", 0, REG_SZ, data, sizeof(brand));
    ::RegCloseKey(created);

    win::UniqueKey key;
    velopass::Text value;
    EXPECT_TRUE(velopass::ReadRegistryText(HKEY_CURRENT_USER, path, L"Brand", key, value));
    EXPECT_EQ(value, L"Zell");
    // A standard user may not open the machine's key for more than reading.
    EXPECT_NE(::RegSetValueExW(key.get(), L"Brand", 0, REG_SZ, data, sizeof(brand)), ERROR_SUCCESS);
    key.reset();
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path);
}
