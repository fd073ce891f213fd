// A text of the card: at most Capacity-1 wide characters and a NUL, never more.
// Every assignment is bounded and terminated, so no caller can overflow it.
#pragma once

#include <cstddef>
#include <cwchar>
#include <string>
#include <string_view>

namespace velopass {

// The first half of a UTF-16 surrogate pair.
inline bool IsLeadSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// The first `units` UTF-16 units of a text, one fewer where the cut would split a surrogate pair: a text is
// cut on a character boundary.
std::wstring_view WholeCharacters(std::wstring_view text, std::size_t units);

// Every placeholder ("{0}") in a message replaced by the value, left to right; a
// value that itself holds the placeholder is not expanded again.
std::wstring Substitute(std::wstring_view message, std::wstring_view placeholder, std::wstring_view value);

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
        const std::wstring_view kept = WholeCharacters(text, kMaxLength);
        kept.copy(m_chars, kept.size());
        m_chars[kept.size()] = L'\0';
        return kept.size() == text.size();
    }

    // Appends as much as fits; returns false when it had to cut.
    bool Append(std::wstring_view text)
    {
        const std::size_t used = size();
        const std::wstring_view kept = WholeCharacters(text, kMaxLength - used);
        kept.copy(m_chars + used, kept.size());
        m_chars[used + kept.size()] = L'\0';
        return kept.size() == text.size();
    }

    // For platform calls that fill the buffer themselves; Terminate() afterwards
    // keeps the invariant whatever the callee did, and drops the half of a pair
    // that a callee cutting at the buffer's end left.
    wchar_t* Buffer() { return m_chars; }
    void Terminate()
    {
        m_chars[kMaxLength] = L'\0';
        if (size() == kMaxLength && IsLeadSurrogate(m_chars[kMaxLength - 1]))
            m_chars[kMaxLength - 1] = L'\0';
    }

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
