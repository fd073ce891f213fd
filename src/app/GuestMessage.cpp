#include "app/GuestMessage.h"

#include "text/FixedText.h"
#include "text/Language.h"

namespace velopass {

std::wstring FormatGuestMessage(std::wstring_view messageTemplate, std::wstring_view title)
{
    return Substitute(messageTemplate, kTitlePlaceholder, title);
}

GuestRefusal MakeGuestRefusal(std::optional<std::wstring_view> messageTemplate, std::wstring_view builtIn,
                              std::wstring_view title, std::wstring_view language)
{
    return GuestRefusal{messageTemplate ? FormatGuestMessage(*messageTemplate, title) : std::wstring(builtIn),
                        std::wstring(title),
                        IsRightToLeft(language) ? kRefusalBoxRightToLeft : kRefusalBox};
}

}  // namespace velopass
