// SNID, part number and brand from any serial, registry value and vendor.
#include "FuzzInput.h"
#include "machine/Brand.h"
#include "machine/SystemValues.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool registryRead = size % 2 == 0;
    const std::wstring serial = fuzz::Next(data, size);
    const std::wstring snid = velopass::DeriveSnid(serial), part = velopass::DerivePartNumber(serial);
    FUZZ_CHECK(part.size() <= 10 && serial.compare(0, part.size(), part) == 0);
    if (serial.size() < 13)
        FUZZ_CHECK(snid.size() == (serial.size() > 10 ? serial.size() - 10 : 0));
    else  // six decimal digits after the three letters
        FUZZ_CHECK(snid.size() >= 9 && snid.size() <= 11 && snid.find_first_not_of(L"0123456789", 3) >= 9);

    const std::wstring registry = fuzz::Next(data, size), vendor = fuzz::Next(data, size);
    const auto read = registryRead ? std::optional<std::wstring_view>(registry) : std::nullopt;
    const std::wstring_view brand = velopass::ResolveBrandName(read, vendor);
    FUZZ_CHECK(brand.empty() || std::any_of(std::begin(velopass::kBrands), std::end(velopass::kBrands),
                                            [&](const velopass::BrandEntry& entry) { return brand == entry.name; }));
    return 0;
}
