// The guest refusal built from the text file: every "{0}" of the message is
// the title, and nothing else of the message is lost, changed or added.
#include "FuzzInput.h"
#include "app/GuestMessage.h"

#include <string>

namespace {

// Every occurrence of `from` replaced by `to`; `from` is one code unit.
std::wstring Replaced(std::wstring text, wchar_t from, std::wstring_view to)
{
    std::wstring out;
    for (wchar_t c : text)
        c == from ? out.append(to) : out.append(1, c);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Texts texts(data, size);
    const std::wstring messageTemplate = texts.Next();
    const std::wstring title = texts.Next();

    // A title of one unit the message lacks marks where each replacement went.
    wchar_t mark = 1;
    const std::wstring_view placeholder(velopass::kTitlePlaceholder);
    while (messageTemplate.find(mark) != std::wstring::npos || placeholder.find(mark) != std::wstring::npos)
        ++mark;
    const std::wstring marked = velopass::FormatGuestMessage(messageTemplate, std::wstring(1, mark));
    FUZZ_CHECK(marked.find(velopass::kTitlePlaceholder) == std::wstring::npos);
    FUZZ_CHECK(Replaced(marked, mark, velopass::kTitlePlaceholder) == messageTemplate);

    // The real title lands exactly there, and is not expanded again.
    FUZZ_CHECK(velopass::FormatGuestMessage(messageTemplate, title) == Replaced(marked, mark, title));
    return 0;
}
