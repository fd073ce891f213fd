// What the system says of the user's language.
#pragma once

#include <string>

namespace velopass {

struct UserLocale {
    std::wstring name;       // "de-DE", "zh-TW", ...; empty when none is known
    int osMajorVersion = 6;
};

UserLocale QueryUserLocale();

}  // namespace velopass
