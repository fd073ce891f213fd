#include "machine/Brand.h"

#include <gtest/gtest.h>

#include <optional>

TEST(Brand, RegistryMatchesWholeAndFirstThenVendorInTableOrder)
{
    const std::optional<std::wstring_view> unread;
    const struct { std::optional<std::wstring_view> registry; const wchar_t* vendor, *brand; } cases[] = {
        {L"BRINDLE HALL", L"", L"Brindle Hall"},
        {L"Marwick", L"Zell Computers", L"Marwick"},
        {L"Zell Computers", L"Lumiframe Ltd", L"Lumiframe"},  // no partial match in the registry
        {L" zell", L"", L""},
        {unread, L"lumif & brindl", L"Lumiframe"},  // table order, not text order
        {unread, L"Tessary Inc.", L""},              // only the registry names Tessary
    };
    for (const auto& c : cases)
        EXPECT_EQ(velopass::ResolveBrandName(c.registry, c.vendor), c.brand) << c.vendor;
}
