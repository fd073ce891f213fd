// The text file as shipped: every language it lists has every text the card reads.
#include "text/CardTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

TEST(ShippedTextFile, EveryListedLanguageHasEveryTextWithEnglishsPlaceholdersAndEachButtonItsOwnAccessKey)
{
    std::map<std::wstring, std::map<std::wstring, std::wstring>> sections;
    std::ifstream file(VELOPASS_TEXT_SOURCE);
    ASSERT_TRUE(file) << VELOPASS_TEXT_SOURCE;
    std::wstring section;
    for (std::string bytes; std::getline(file, bytes);) {
        const std::wstring line(bytes.begin(), bytes.end());  // a unit a byte: the keys and codes are ASCII
        const std::size_t equals = line.find(L'=');
        if (line[0] == L'[')
            section = line.substr(1, line.find(L']') - 1);
        else if (equals != std::wstring::npos && line[0] != L';')
            sections[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
    const auto codes = velopass::ParseLanguageList(sections[L"common"][L"SupportedLang"]);
    EXPECT_FALSE(codes.empty());
    // Every key the program reads from a language's section.
    std::vector<std::wstring> keys = {velopass::kGuestMessageKey, velopass::kLanguageNameKey};
    for (const velopass::CardTextKey& entry : velopass::kCardTextKeys)
        keys.emplace_back(entry.key);
    // Each names what English names, as often: no message loses or repeats the title, the DLL or the function.
    const auto count = [](const std::wstring& text, const wchar_t* placeholder) {
        std::size_t found = 0;
        for (std::size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, at + 1))
            ++found;
        return found;
    };
    for (const velopass::LanguageCode& code : codes) {
        for (const std::wstring& key : keys) {
            const std::wstring& text = sections[code][key];
            EXPECT_FALSE(text.empty()) << code << ": " << key;
            for (const wchar_t* placeholder : {L"{0}", L"{1}"})
                EXPECT_EQ(count(text, placeholder), count(sections[L"en"][key], placeholder)) << code << ": " << key;
        }
        // Each button has one access key, "&" and a letter (two bytes beyond ASCII), the two different.
        const std::wregex accessKey(L"[^&]*&([ -~]|..)[^&]*");
        std::wsmatch print, close;
        EXPECT_TRUE(std::regex_match(sections[code][L"BtnPrint"], print, accessKey) &&
                    std::regex_match(sections[code][L"BtnClose"], close, accessKey) && print[1] != close[1]) << code;
    }
}
