#include "app/GuestMessage.h"

#include "text/Language.h"

namespace velopass {

std::wstring FormatGuestMessage(std::wstring_view messageTemplate, std::wstring_view title)
{
    const std::wstring_view placeholder(kTitlePlaceholder);
    std::wstring message;
    message.reserve(messageTemplate.size() + title.size());
    for (;;) {
        const std::size_t at = messageTemplate.find(placeholder);
        message.append(messageTemplate.substr(0, at));
        if (at == std::wstring_view::npos)
            return message;
        message.append(title);
        messageTemplate.remove_prefix(at + placeholder.size());
    }
}

GuestRefusal MakeGuestRefusal(std::optional<std::wstring_view> messageTemplate, std::wstring_view builtIn,
                              std::wstring_view title, std::wstring_view language)
{
    return GuestRefusal{messageTemplate ? FormatGuestMessage(*messageTemplate, title) : std::wstring(builtIn),
                        std::wstring(title),
                        IsRightToLeft(language) ? kRefusalBoxRightToLeft : kRefusalBox};
}

}  // namespace velopass
