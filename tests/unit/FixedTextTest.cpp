#include "text/FixedText.h"

#include <gtest/gtest.h>

#include <string>

TEST(FixedText, CutsAt127CharactersAndKeepsItsTerminator)
{
    velopass::Text text(std::wstring(126, L'x'));
    EXPECT_FALSE(text.Append(L"yz"));
    EXPECT_EQ(text.view(), std::wstring(126, L'x') + L'y');
    text = std::wstring(10000, L'b');
    EXPECT_EQ(text.c_str()[127], L'\0');
}
