#include "machine/SystemValues.h"

#include <gtest/gtest.h>

TEST(SystemValues, SnidAndPartNumberFromSerialsOfAnyLength)
{
    const struct { const wchar_t* serial; const wchar_t* snid; } cases[] = {
        {L"0123456789KLM0001fXY2", L"KLM000031XY"},  // hex, in any case
        {L"0123456789KLMZZZZZXY", L"KLM000000XY"},   // not hex: 0
        {L"0123456789KLMFFFFFXY", L"KLM048575XY"},   // 1048575: the seventh digit dropped
        {L"0123456789KLM0001FX", L"KLM000031X"},
        {L"0123456789KLM", L"KLM000000"},
        {L"0123456789K", L"K"},
        {L"0123456789", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velopass::DeriveSnid(c.serial), c.snid) << c.serial;
    EXPECT_EQ(velopass::DerivePartNumber(L"0123456789KLM0001FXY2"), L"0123456789");
    EXPECT_EQ(velopass::DerivePartNumber(L"01234"), L"01234");
}
