// Which of the maker's brands the machine is. Portable.
#pragma once

#include <optional>
#include <string_view>

namespace velopass {

struct BrandEntry {
    std::wstring_view name;       // as the card uses it: banners, paths, colours
    std::wstring_view exactKey;   // the registry value, lower-cased, must equal this
    std::wstring_view searchKey;  // looked for in the lower-cased WMI vendor; empty: never
};

// In the order they are tried.
inline constexpr BrandEntry kBrands[] = {
    {L"Zell", L"zell", L"zell"},
    {L"Marwick", L"marwick", L"marwic"},
    {L"Lumiframe", L"lumiframe", L"lumif"},
    {L"Brindle Hall", L"brindle hall", L"brindl"},
    {L"Tessary", L"tessary", L""},
};

inline constexpr std::wstring_view kBrindleHall = L"Brindle Hall";

// The registry value, when it was read, decides by exact match; otherwise the
// vendor text by the first search key it contains. Empty when neither names a brand.
std::wstring_view ResolveBrandName(std::optional<std::wstring_view> registryValue, std::wstring_view vendor);

}  // namespace velopass
