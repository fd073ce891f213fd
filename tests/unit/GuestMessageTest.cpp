#include "app/GuestMessage.h"

#include <gtest/gtest.h>

#include <string>

TEST(GuestMessage, EveryPlaceholderBecomesTheTitleOnce)
{
    EXPECT_EQ(velopass::FormatGuestMessage(L"[{0}] [{0}] {1}", L"a{0}"), L"[a{0}] [a{0}] {1}");
    const std::wstring title(127, L't');  // the result may outgrow a card text
    EXPECT_EQ(velopass::FormatGuestMessage(L"{0} {0} {0}", title), title + L" " + title + L" " + title);
}
