// Fuzzer bytes as the card's wide texts: 16-bit units, as Windows holds text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Takes the next text off the input: the units up to a zero unit or the end.
inline std::wstring Next(const std::uint8_t*& data, std::size_t& size)
{
    std::wstring text;
    for (; size >= 2 && (data[0] | data[1]); data += 2, size -= 2)
        text += static_cast<wchar_t>(data[0] | data[1] << 8);
    if (size >= 2)  // the zero unit
        data += 2, size -= 2;
    return text;
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) ((condition) ? void() : __builtin_trap())
