// The text file as shipped: every language it lists has every text the card reads.
#include "text/CardTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <cwchar>

TEST(ShippedTextFile, EveryListedLanguageHasEveryTextTheGuestMessageOneTitleAndEachButtonItsOwnAccessKey)
{
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::ifstream file(VELOPASS_TEXT_SOURCE);
    ASSERT_TRUE(file) << VELOPASS_TEXT_SOURCE;
    for (std::string line, section; std::getline(file, line);) {
        const std::size_t equals = line.find('=');
        if (line[0] == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (equals != std::string::npos && line[0] != ';')
            sections[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
    const std::string list = sections["common"]["SupportedLang"];
    const auto codes = velopass::ParseLanguageList(std::wstring(list.begin(), list.end()));
    EXPECT_FALSE(codes.empty());
    std::vector<std::string> keys;  // every key the card reads from a language's section, the guest's message first
    for (const wchar_t* key : {velopass::kGuestMessageKey, velopass::kLanguageNameKey})
        keys.emplace_back(key, key + std::wcslen(key));
    for (const velopass::CardTextKey& entry : velopass::kCardTextKeys)
        keys.emplace_back(entry.key, entry.key + std::wcslen(entry.key));
    for (const velopass::LanguageCode& wide : codes) {
        const std::string code(wide.begin(), wide.end());
        for (const std::string& key : keys)
            EXPECT_FALSE(sections[code][key].empty()) << code << ": " << key;
        const std::string& message = sections[code][keys[0]];
        const std::size_t first = message.find("{0}");
        EXPECT_TRUE(first != std::string::npos && message.find("{0}", first + 1) == std::string::npos) << code;
        // Each button has one access key, "&" and a letter (two bytes beyond ASCII), the two different.
        const std::regex accessKey("[^&]*&([ -~]|..)[^&]*");
        std::smatch print, close;
        EXPECT_TRUE(std::regex_match(sections[code]["BtnPrint"], print, accessKey) &&
                    std::regex_match(sections[code]["BtnClose"], close, accessKey) && print[1] != close[1]) << code;
    }
}
