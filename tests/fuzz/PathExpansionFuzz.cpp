// Path expansion ends, fits a card text and expands nothing in a path without "%"; the data folder's levels prefix it.
#include "FuzzInput.h"
#include "machine/PathExpansion.h"

#include <map>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring path = fuzz::Next(data, size), brand = fuzz::Next(data, size).substr(0, 127);
    std::map<std::wstring, std::wstring> environment;
    for (int i = 0; i < 4; ++i) {
        const std::wstring name = fuzz::Next(data, size);
        environment[name] = fuzz::Next(data, size).substr(0, 127);
    }
    const auto expanded = velopass::ExpandPathVariables(path, brand, [&](const std::wstring& name) {
        return environment.count(name) ? std::optional(environment.at(name)) : std::nullopt;
    });
    FUZZ_CHECK(!expanded || expanded->size() <= velopass::kMaxPathText);
    if (path.find(L'%') == std::wstring::npos)
        FUZZ_CHECK(path.size() > velopass::kMaxPathText ? !expanded : expanded == path);
    for (const std::wstring& level : velopass::DataFolderLevels(path))
        FUZZ_CHECK(level.size() < path.size() && path.compare(0, level.size(), level) == 0 &&
                   path[level.size()] == L'\\');
    return 0;
}
