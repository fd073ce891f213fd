// Turns fuzzer bytes into the wide texts the card's parsers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Reads the input as a sequence of 16-bit code units, as Windows holds text;
// a zero unit ends one text and starts the next.
class Texts {
public:
    Texts(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::wstring Next()
    {
        std::wstring text;
        while (m_position + 1 < m_size) {
            const auto unit = static_cast<wchar_t>(m_data[m_position] | (m_data[m_position + 1] << 8));
            m_position += 2;
            if (unit == 0)
                break;
            text += unit;
        }
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

}  // namespace fuzz

#define FUZZ_CHECK(condition)         \
    do {                              \
        if (!(condition))             \
            __builtin_trap();         \
    } while (false)
