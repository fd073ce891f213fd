// Path expansion ends, never exceeds a card text, and expands nothing in a
// path without "%".
#include "FuzzInput.h"
#include "machine/PathExpansion.h"

#include <map>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Texts texts(data, size);
    const std::wstring path = texts.Next();
    const std::wstring brand = texts.Next().substr(0, 127);
    std::map<std::wstring, std::wstring> environment;
    for (int i = 0; i < 4; ++i) {
        const std::wstring name = texts.Next();
        environment[name] = texts.Next().substr(0, 127);
    }
    const auto lookup = [&environment](const std::wstring& name) -> std::optional<std::wstring> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional<std::wstring>(found->second);
    };
    const std::optional<std::wstring> expanded = velopass::ExpandPathVariables(path, brand, lookup);
    if (expanded)
        FUZZ_CHECK(expanded->size() <= velopass::kMaxPathText);
    if (path.find(L'%') == std::wstring::npos)
        FUZZ_CHECK(path.size() > velopass::kMaxPathText ? !expanded : expanded == path);

    for (const std::wstring& level : velopass::DataFolderLevels(path)) {
        FUZZ_CHECK(path.compare(0, level.size(), level) == 0);
        FUZZ_CHECK(level.size() < path.size() && path[level.size()] == L'\\');
    }
    return 0;
}
