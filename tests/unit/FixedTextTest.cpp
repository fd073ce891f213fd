#include "text/FixedText.h"

#include <gtest/gtest.h>

#include <string>

using velopass::Text;

TEST(FixedText, KeepsAtMost127CharactersAndTheTerminator)
{
    const std::wstring fits(127, L'a');
    Text text;
    EXPECT_TRUE(text.Assign(fits));
    EXPECT_EQ(text.view(), fits);

    const std::wstring tooLong(10000, L'b');
    EXPECT_FALSE(text.Assign(tooLong));
    EXPECT_EQ(text.size(), 127u);
    EXPECT_EQ(text.c_str()[127], L'\0');

    text = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(text.empty());
}

TEST(FixedText, AppendStopsAtTheBufferEnd)
{
    Text text(std::wstring(126, L'x'));
    EXPECT_FALSE(text.Append(L"yz"));
    EXPECT_EQ(text.size(), 127u);
    EXPECT_EQ(text.view().back(), L'y');

    Text label = L"Product name";
    EXPECT_TRUE(label.Append(L":"));
    EXPECT_EQ(label, L"Product name:");
}

TEST(FixedText, TerminateRepairsABufferFilledFromOutside)
{
    Text text;
    for (std::size_t i = 0; i < Text::kCapacity; ++i)
        text.Buffer()[i] = L'q';
    text.Terminate();
    EXPECT_EQ(text.size(), 127u);
}
