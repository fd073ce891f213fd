#include "machine/SystemValues.h"

#include <gtest/gtest.h>

using velopass::DerivePartNumber;
using velopass::DeriveSnid;

TEST(SystemValues, SnidFromAFullSerial)
{
    EXPECT_EQ(DeriveSnid(L"0123456789KLM0001FXY2"), L"KLM000031XY");
    EXPECT_EQ(DeriveSnid(L"0123456789KLM0001fXY"), L"KLM000031XY");   // lower-case hex
    EXPECT_EQ(DeriveSnid(L"0123456789KLMZZZZZXY"), L"KLM000000XY");   // not hex: 0
    EXPECT_EQ(DeriveSnid(L"0123456789KLMFFFFFXY"), L"KLM048575XY");   // 1048575, seventh digit dropped
    EXPECT_EQ(DeriveSnid(L"0123456789KLMF4240XY"), L"KLM000000XY");  // 1000000
    EXPECT_EQ(DerivePartNumber(L"0123456789KLM0001FXY2"), L"0123456789");
}

TEST(SystemValues, ShortSerialsEndTheSnidWhereTheyEnd)
{
    EXPECT_EQ(DeriveSnid(L"0123456789KLM"), L"KLM000000");  // 13 characters
    EXPECT_EQ(DeriveSnid(L"0123456789KLM00"), L"KLM000000");
    EXPECT_EQ(DeriveSnid(L"0123456789KLM0001FX"), L"KLM000031X");
    EXPECT_EQ(DeriveSnid(L"0123456789K"), L"K");
    EXPECT_EQ(DeriveSnid(L"0123456789"), L"");
    EXPECT_EQ(DeriveSnid(L""), L"");
    EXPECT_EQ(DerivePartNumber(L"01234"), L"01234");
    EXPECT_EQ(DerivePartNumber(L""), L"");
}
