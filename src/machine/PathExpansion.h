// %name% tokens in the card's paths, and the folder levels of the data path. Portable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velopass {

// An environment variable's value, or nothing when it is not set (or would not fit).
using EnvironmentLookup = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// The longest path the card holds.
inline constexpr std::size_t kMaxPathText = 127;

// Replaces %brand% (any case) by the brand and %NAME% by the environment, in
// the card's order of scanning (see PathExpansion.cpp). Nothing when the
// result would not fit in kMaxPathText characters: a path cut short names
// another file, so it must not be used at all.
std::optional<std::wstring> ExpandPathVariables(std::wstring_view path, std::wstring_view brand,
                                                const EnvironmentLookup& lookup);

// The folders to create, outermost first, for a data folder ending in "\":
// c:\OEM\Velopass\ gives c:\OEM and c:\OEM\Velopass. The drive ("c:") and the
// server and share of a UNC path are not folders of ours and are left out.
std::vector<std::wstring> DataFolderLevels(std::wstring_view folder);

}  // namespace velopass
