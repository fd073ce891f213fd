// The language list, locale mapping and section chosen: all made of the input; the section one the file has, or "en".
#include "FuzzInput.h"
#include "text/Ascii.h"
#include "text/Language.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring list = fuzz::Next(data, size);
    std::size_t total = 0;
    for (const velopass::LanguageCode& code : velopass::ParseLanguageList(list)) {
        FUZZ_CHECK(code.find(L'.', 1) == std::wstring::npos);
        total += code.size();
    }
    FUZZ_CHECK(total <= list.size());

    const velopass::LanguageCode mapped = velopass::MapLocaleName(fuzz::Next(data, size));
    FUZZ_CHECK(mapped == velopass::LowerAscii(mapped));
    std::set<velopass::LanguageCode> present;
    for (std::wstring section = fuzz::Next(data, size); !section.empty(); section = fuzz::Next(data, size))
        present.insert(section);
    const velopass::LanguageCode chosen =
        velopass::ResolveLanguage(mapped, [&](const velopass::LanguageCode& code) { return present.count(code) != 0; });
    FUZZ_CHECK(chosen == L"en" || (present.count(chosen) && mapped.compare(0, chosen.size(), chosen) == 0));
    return 0;
}
