// The text shown to a refused guest. Portable.
#pragma once

#include <string>
#include <string_view>

namespace velopass {

inline constexpr wchar_t kTitlePlaceholder[] = L"{0}";

// Every "{0}" replaced by the title, left to right; a title that itself holds
// "{0}" is not expanded again. The result is not limited in length: a long
// refusal is shown whole.
std::wstring FormatGuestMessage(std::wstring_view messageTemplate, std::wstring_view title);

}  // namespace velopass
