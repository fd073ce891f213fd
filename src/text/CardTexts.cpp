#include "text/CardTexts.h"

#include "text/TextFile.h"
#include "win/SystemLibrary.h"

namespace velopass {

void ReadCardTexts(const wchar_t* file, const wchar_t* language, CardTexts& texts)
{
    for (const CardTextKey& entry : kCardTextKeys) {
        Text read;
        if (!ReadText(file, language, entry.key, read))
            continue;
        if (entry.text != nullptr) {
            texts.*entry.text = read;
            continue;
        }
        // The colon always shows: a label that fills its text gives up its last character.
        Text& label = texts.m_labels[entry.field];
        label = WholeCharacters(read.view(), Text::kMaxLength - 1);
        label.Append(L":");
    }
}

void ReportLoadFailuresIn(const CardTexts& texts, std::wstring_view language)
{
    win::SetLoadFailureTexts({texts.m_caption.c_str(), texts.m_noDllText.c_str(), texts.m_noFunctionText.c_str(),
                              texts.m_noFunctionByNumberText.c_str(), IsRightToLeft(language)});
}

bool IsLanguagePresent(const wchar_t* file, const LanguageCode& language)
{
    Text title;
    return ReadText(file, language.c_str(), kTitleKey, title);
}

Text ReadTitle(const wchar_t* file, const LanguageCode& language)
{
    Text title = CardTexts().m_caption;
    ReadText(file, language.c_str(), kTitleKey, title);
    return title;
}

}  // namespace velopass
