#include "machine/Brand.h"

#include "text/Ascii.h"

#include <string>

namespace velopass {

std::wstring_view ResolveBrandName(std::optional<std::wstring_view> registryValue, std::wstring_view vendor)
{
    if (registryValue) {
        const std::wstring value = LowerAscii(std::wstring(*registryValue));
        for (const BrandEntry& brand : kBrands) {
            if (value == brand.exactKey)
                return brand.name;
        }
    }
    const std::wstring text = LowerAscii(std::wstring(vendor));
    for (const BrandEntry& brand : kBrands) {
        if (!brand.searchKey.empty() && text.find(brand.searchKey) != std::wstring::npos)
            return brand.name;
    }
    return std::wstring_view();
}

unsigned TitleColour(std::wstring_view brand)
{
    for (const BrandEntry& entry : kBrands) {
        if (entry.name == brand)
            return entry.titleColour;
    }
    return kWhiteTitle;
}

}  // namespace velopass
