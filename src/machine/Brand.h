// Which of the maker's brands the machine is. Portable.
#pragma once

#include <optional>
#include <string_view>

namespace velopass {

// Where the maker's set-up writes the brand, under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kBrandKeyPath[] = L"SOFTWARE\\OEM\\Metadata";
inline constexpr wchar_t kBrandValueName[] = L"Brand";

// The title's colours over a banner, as COLORREFs.
inline constexpr unsigned kWhiteTitle = 0xFFFFFF;
inline constexpr unsigned kBlackTitle = 0x000000;

struct BrandEntry {
    std::wstring_view name;       // as the card uses it: banners, paths
    std::wstring_view exactKey;   // the registry value, lower-cased, must equal this
    std::wstring_view searchKey;  // looked for in the lower-cased WMI vendor; empty: never
    unsigned titleColour;         // over the brand's banner: black where the banner is light
};

// In the order they are tried.
inline constexpr BrandEntry kBrands[] = {
    {L"Zell", L"zell", L"zell", kWhiteTitle},
    {L"Marwick", L"marwick", L"marwic", kWhiteTitle},
    {L"Lumiframe", L"lumiframe", L"lumif", kWhiteTitle},
    {L"Brindle Hall", L"brindle hall", L"brindl", kBlackTitle},
    {L"Tessary", L"tessary", L"", kWhiteTitle},
};

// The registry value, when it was read, decides by exact match; otherwise the
// vendor text by the first search key it contains. Empty when neither names a brand.
std::wstring_view ResolveBrandName(std::optional<std::wstring_view> registryValue, std::wstring_view vendor);

// The title's colour over the brand's banner; no brand shows Zell's.
unsigned TitleColour(std::wstring_view brand);

}  // namespace velopass
