#include "app/GuestMessage.h"

#include <gtest/gtest.h>

#include <string>

using velopass::FormatGuestMessage;

TEST(GuestMessage, ReplacesEveryPlaceholderWithTheTitle)
{
    EXPECT_EQ(FormatGuestMessage(L"{0} is closed to guests. Ask the owner of {0}.", L"Velopass DE"),
              L"Velopass DE is closed to guests. Ask the owner of Velopass DE.");
    EXPECT_EQ(FormatGuestMessage(L"{0}{0}{0}", L"ab"), L"ababab");
    EXPECT_EQ(FormatGuestMessage(L"No placeholder", L"T"), L"No placeholder");
    EXPECT_EQ(FormatGuestMessage(L"{0} and {1}", L""), L" and {1}");
}

TEST(GuestMessage, TitleHoldingThePlaceholderIsNotExpandedAgain)
{
    EXPECT_EQ(FormatGuestMessage(L"[{0}] [{0}]", L"{0}"), L"[{0}] [{0}]");
}

TEST(GuestMessage, LongResultIsKeptWhole)
{
    const std::wstring title(127, L't');
    const std::wstring message = FormatGuestMessage(L"{0} {0} {0}", title);
    EXPECT_EQ(message.size(), 3 * 127u + 2);
    EXPECT_EQ(message.substr(message.size() - 127), title);
}
