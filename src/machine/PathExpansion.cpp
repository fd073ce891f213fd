#include "machine/PathExpansion.h"

#include "text/Ascii.h"

namespace velopass {

namespace {

// A text that keeps growing (a variable whose value holds its own token) is
// given up long before it could exhaust memory: no path a card could use
// passes through a text this long.
constexpr std::size_t kWorkingLimit = 1024;
constexpr std::size_t kMaxLevels = 100;

// Reads the text between "%" delimiters from position p, skipping a run of
// "%" first; empty when the text is used up. p ends one past the delimiter.
std::wstring NextToken(const std::wstring& text, std::size_t& p)
{
    std::size_t start = p;
    while (start < text.size() && text[start] == L'%')
        ++start;
    if (start >= text.size())
        return std::wstring();
    std::size_t end = text.find(L'%', start);
    if (end == std::wstring::npos)
        end = text.size();
    p = end + 1;
    return text.substr(start, end - start);
}

// Replaces every "%name%" left to right; returns how many, or npos (with the
// text unchanged) when the result would outgrow the working limit.
std::size_t ReplaceToken(std::wstring& text, const std::wstring& name, std::wstring_view value)
{
    const std::wstring token = L"%" + name + L"%";
    std::size_t occurrences = 0;
    for (std::size_t at = text.find(token); at != std::wstring::npos; at = text.find(token, at + token.size()))
        ++occurrences;
    if (value.size() > token.size() && text.size() + occurrences * (value.size() - token.size()) > kWorkingLimit)
        return std::wstring::npos;
    std::size_t count = 0;
    std::wstring result;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(token, from)) != std::wstring::npos; from = at + token.size()) {
        result.append(text, from, at - from);
        result.append(value);
        ++count;
    }
    if (count > 0) {
        result.append(text, from, std::wstring::npos);
        text = std::move(result);
    }
    return count;
}

bool IsBrandToken(const std::wstring& name) { return LowerAscii(name) == L"brand"; }

class Expander {
public:
    Expander(std::wstring_view path, std::wstring_view brand, const EnvironmentLookup& lookup)
        : m_text(path), m_brand(brand), m_lookup(lookup)
    {
    }

    std::optional<std::wstring> Run()
    {
        if (Expand() && m_text.size() <= kMaxPathText)
            return m_text;
        return std::nullopt;
    }

private:
    enum class Step { Next, Stop, Overflow };

    // False when the text outgrew the working limit.
    bool Expand()
    {
        if (!m_text.empty() && m_text[0] == L'%') {
            std::size_t p = 0;
            const std::wstring name = NextToken(m_text, p);
            if (name.empty())
                return true;
            const Step step = Replace(name);
            if (step != Step::Next)
                return step != Step::Overflow;
        }
        // Each round moves p on by two tokens at least, through a text that never outgrows the working limit.
        for (std::size_t p = 0;;) {
            if (NextToken(m_text, p).empty())
                return true;
            const std::wstring name = NextToken(m_text, p);
            if (name.empty())
                return true;
            const Step step = Replace(name);
            if (step == Step::Overflow)
                return false;
            // An unset variable stops only a leading name; further in it is passed over.
            if (step == Step::Stop && IsBrandToken(name))
                return true;
        }
    }

    // Stop: the brand token was not found, or the variable is not set.
    Step Replace(const std::wstring& name)
    {
        std::size_t count = 0;
        if (IsBrandToken(name)) {
            count = ReplaceToken(m_text, name, m_brand);
            if (count == 0)
                return Step::Stop;
        } else {
            const std::optional<std::wstring> value = m_lookup(name);
            if (!value)
                return Step::Stop;
            count = ReplaceToken(m_text, name, *value);
        }
        return count == std::wstring::npos ? Step::Overflow : Step::Next;
    }

    std::wstring m_text;
    std::wstring_view m_brand;
    const EnvironmentLookup& m_lookup;
};

// The levels that belong to the volume itself: "c:", or "\", "\\server" and
// "\\server\share" of a UNC path.
bool IsVolumeLevel(std::wstring_view level, bool unc)
{
    if (unc) {
        std::size_t separators = 0;
        for (wchar_t c : level)
            separators += c == L'\\';
        return separators < 4;
    }
    return level.size() == 2 && level[1] == L':';
}

}  // namespace

std::optional<std::wstring> ExpandPathVariables(std::wstring_view path, std::wstring_view brand,
                                                const EnvironmentLookup& lookup)
{
    return Expander(path, brand, lookup).Run();
}

std::vector<std::wstring> DataFolderLevels(std::wstring_view folder)
{
    const bool unc = folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\';
    std::vector<std::wstring> levels;
    std::size_t levelCount = 0;
    for (std::size_t start = 1; start < folder.size() && levelCount < kMaxLevels;) {
        const std::size_t slash = folder.find(L'\\', start);
        if (slash == std::wstring_view::npos)
            break;
        ++levelCount;
        const std::wstring_view level = folder.substr(0, slash);
        if (!IsVolumeLevel(level, unc))
            levels.emplace_back(level);
        start = slash + 1;
    }
    return levels;
}

}  // namespace velopass
