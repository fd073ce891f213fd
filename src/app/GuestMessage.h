// The text shown to a refused guest. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velopass {

inline constexpr wchar_t kTitlePlaceholder[] = L"{0}";

// Every "{0}" replaced by the title, left to right; a title that itself holds
// "{0}" is not expanded again. The result is not limited in length: a long
// refusal is shown whole.
std::wstring FormatGuestMessage(std::wstring_view messageTemplate, std::wstring_view title);

// MessageBoxW's types: MB_OK | MB_ICONEXCLAMATION, and with MB_RTLREADING.
inline constexpr unsigned kRefusalBox = 0x30;
inline constexpr unsigned kRefusalBoxRightToLeft = 0x100030;

struct GuestRefusal {
    std::wstring message;
    std::wstring caption;
    unsigned boxType;
};

// What a refused guest is shown: the text file's message (formatted as above)
// or, when it has none, the built-in one; captioned with the title, in a box
// read right to left in Arabic.
GuestRefusal MakeGuestRefusal(std::optional<std::wstring_view> messageTemplate, std::wstring_view builtIn,
                              std::wstring_view title, std::wstring_view language);

}  // namespace velopass
