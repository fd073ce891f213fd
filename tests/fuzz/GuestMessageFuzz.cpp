// Each "{0}" becomes the title, not expanded again; nothing else of the message is lost, changed or added.
#include "FuzzInput.h"
#include "app/GuestMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring message = fuzz::Next(data, size), title = fuzz::Next(data, size);
    const auto replaced = [](const std::wstring& text, wchar_t from, const std::wstring& to) {
        std::wstring out;
        for (wchar_t c : text)
            c == from ? out.append(to) : out.append(1, c);
        return out;
    };
    // A one-unit title that neither the message nor "{0}" holds marks where each replacement went.
    wchar_t mark = 1;
    while ((message + velopass::kTitlePlaceholder).find(mark) != std::wstring::npos)
        ++mark;
    const std::wstring marked = velopass::FormatGuestMessage(message, std::wstring(1, mark));
    FUZZ_CHECK(replaced(marked, mark, velopass::kTitlePlaceholder) == message);
    FUZZ_CHECK(marked.find(velopass::kTitlePlaceholder) == std::wstring::npos);
    FUZZ_CHECK(velopass::FormatGuestMessage(message, title) == replaced(marked, mark, title));
    return 0;
}
