#include "machine/Brand.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

using velopass::ResolveBrandName;

namespace {

const std::optional<std::wstring_view> kNoValue;

}  // namespace

TEST(Brand, RegistryValueMatchesWholeAndDecidesFirst)
{
    EXPECT_EQ(ResolveBrandName(L"ZELL", L""), L"Zell");
    EXPECT_EQ(ResolveBrandName(L"Marwick", L"Zell Computers"), L"Marwick");
    EXPECT_EQ(ResolveBrandName(L"Tessary", L"anything"), L"Tessary");
    EXPECT_EQ(ResolveBrandName(L"BRINDLE HALL", L""), L"Brindle Hall");
    // No trimming, no partial match: the vendor decides.
    EXPECT_EQ(ResolveBrandName(L"Zell Computers", L"Lumiframe Ltd"), L"Lumiframe");
    EXPECT_EQ(ResolveBrandName(L" zell", L""), L"");
    EXPECT_EQ(ResolveBrandName(L"\u00C9zell", L""), L"");
}

TEST(Brand, VendorTextIsSearchedInTableOrder)
{
    EXPECT_EQ(ResolveBrandName(kNoValue, L"MARWICK Computers"), L"Marwick");
    EXPECT_EQ(ResolveBrandName(kNoValue, L"brindle-hall"), L"Brindle Hall");
    EXPECT_EQ(ResolveBrandName(kNoValue, L"lumif & brindl"), L"Lumiframe");
    EXPECT_EQ(ResolveBrandName(kNoValue, L"marwic zell"), L"Zell");
    EXPECT_EQ(ResolveBrandName(kNoValue, L"Tessary Inc."), L"");  // only the registry names Tessary
    EXPECT_EQ(ResolveBrandName(L"", L""), L"");
}
