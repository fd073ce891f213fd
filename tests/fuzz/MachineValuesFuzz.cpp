// SNID, part number and brand from any serial, registry value and vendor.
#include "FuzzInput.h"
#include "machine/Brand.h"
#include "machine/SystemValues.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Texts texts(data, size);
    const std::wstring serial = texts.Next();
    const std::wstring snid = velopass::DeriveSnid(serial);
    const std::wstring part = velopass::DerivePartNumber(serial);
    FUZZ_CHECK(snid.size() <= 11 && part.size() <= 10);
    FUZZ_CHECK(serial.compare(0, part.size(), part) == 0);
    if (serial.size() >= 13) {
        FUZZ_CHECK(snid.size() >= 9);
        for (std::size_t i = 3; i < 9; ++i)
            FUZZ_CHECK(snid[i] >= L'0' && snid[i] <= L'9');
    } else {
        FUZZ_CHECK(snid.size() == (serial.size() > 10 ? serial.size() - 10 : 0));
    }

    const std::wstring registry = texts.Next();
    const std::wstring vendor = texts.Next();
    const bool read = size % 2 == 0;
    const std::wstring_view brand =
        velopass::ResolveBrandName(read ? std::optional<std::wstring_view>(registry) : std::nullopt, vendor);
    bool known = brand.empty();
    for (const velopass::BrandEntry& entry : velopass::kBrands)
        known = known || brand == entry.name;
    FUZZ_CHECK(known);
    return 0;
}
