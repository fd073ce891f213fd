// A text of the card: at most Capacity-1 wide characters and a NUL, never more.
// Every assignment is bounded and terminated, so no caller can overflow it.
#pragma once

#include <cstddef>
#include <cwchar>
#include <string>
#include <string_view>

namespace velopass {

template <std::size_t Capacity>
class FixedText {
    static_assert(Capacity > 1, "a text needs room for a character and its NUL");

public:
    static constexpr std::size_t kCapacity = Capacity;
    static constexpr std::size_t kMaxLength = Capacity - 1;

    FixedText() { m_chars[0] = L'\0'; }
    FixedText(std::wstring_view text) { Assign(text); }
    FixedText(const wchar_t* text) { Assign(text ? std::wstring_view(text) : std::wstring_view()); }

    FixedText& operator=(std::wstring_view text) { Assign(text); return *this; }
    FixedText& operator=(const wchar_t* text) { return *this = (text ? std::wstring_view(text) : std::wstring_view()); }

    // Copies as much of the text as fits; returns false when it had to cut.
    bool Assign(std::wstring_view text)
    {
        const std::size_t length = text.size() < kMaxLength ? text.size() : kMaxLength;
        text.copy(m_chars, length);
        m_chars[length] = L'\0';
        return length == text.size();
    }

    // Appends as much as fits; returns false when it had to cut.
    bool Append(std::wstring_view text)
    {
        const std::size_t used = size();
        const std::size_t room = kMaxLength - used;
        const std::size_t length = text.size() < room ? text.size() : room;
        text.copy(m_chars + used, length);
        m_chars[used + length] = L'\0';
        return length == text.size();
    }

    // For platform calls that fill the buffer themselves; Terminate() afterwards
    // keeps the invariant whatever the callee did.
    wchar_t* Buffer() { return m_chars; }
    void Terminate() { m_chars[kMaxLength] = L'\0'; }

    const wchar_t* c_str() const { return m_chars; }
    std::size_t size() const { return std::char_traits<wchar_t>::length(m_chars); }
    bool empty() const { return m_chars[0] == L'\0'; }
    std::wstring_view view() const { return std::wstring_view(m_chars, size()); }
    std::wstring str() const { return std::wstring(view()); }

    friend bool operator==(const FixedText& a, std::wstring_view b) { return a.view() == b; }
    friend bool operator!=(const FixedText& a, std::wstring_view b) { return !(a == b); }

private:
    wchar_t m_chars[Capacity];
};

// The size of every text the card holds.
using Text = FixedText<128>;

}  // namespace velopass
