// The card's texts from the text file: one table of keys, one routine that
// reads them for a language. Portable but for the read itself.
#pragma once

#include "text/CardField.h"
#include "text/FixedText.h"
#include "text/Language.h"

namespace velopass {

// What the program shows in words, with the built-in English of a text file
// without them.
struct CardTexts {
    Text m_caption = L"Velopass";  // the window's caption and the title over the banner
    Text m_closeText = L"&Close";  // "&": the access key, Alt and the letter
    Text m_printText = L"&Print";
    Text m_labels[CardFieldCount] = {L"Product name:",     L"Serial number:", L"SNID:", L"Part number:",
                                     L"Date of purchase:", L"FUB:",           L"DLR:"};
    Text m_switchLanguageText = L"Language";  // the system menu's entry that opens the language list
    Text m_copyValuesText = L"Copy values";   // the system menu's entry that does what Ctrl+C does
    // The message before the program ends for want of a system DLL or function: {0} the DLL, {1} the function.
    Text m_noDllText = L"Velopass has to close: Windows could not load {0}.";
    Text m_noFunctionText = L"Velopass has to close: {0} lacks the function {1}.";
    Text m_noFunctionByNumberText = L"Velopass has to close: {0} lacks the function asked for by number.";
    // The question when the date of purchase cannot be saved as the card closes: where ({0} the data file), why
    // ({0} in the last of the reasons: the system's error number), and what Retry and Cancel do.
    Text m_saveFailedText = L"The date of purchase could not be saved in {0}.";
    Text m_diskFullText = L"The disk is full.";
    Text m_fileInUseText = L"Another program is using the file.";
    Text m_accessDeniedText = L"You do not have permission to change the file or its folder.";
    Text m_folderUnusableText = L"The folder cannot be created, or it is a link to another place.";
    Text m_saveErrorText = L"Windows reported error {0}.";
    Text m_retrySaveText = L"Choose Retry to try again, or Cancel to close without saving the date.";
};

// Where a text comes from: a key of the language's section. A label's text
// gets its colon; SNID, FUB and DLR are never read.
struct CardTextKey {
    const wchar_t* key;
    Text CardTexts::*text;  // or, when null, the label of `field`
    CardField field;
};

inline constexpr wchar_t kTitleKey[] = L"AppTitle";

// In the order a language switch takes them.
inline constexpr CardTextKey kCardTextKeys[] = {
    {kTitleKey, &CardTexts::m_caption, CardFieldCount},
    {L"BtnClose", &CardTexts::m_closeText, CardFieldCount},
    {L"BtnPrint", &CardTexts::m_printText, CardFieldCount},
    {L"lblProductName", nullptr, ProductName},
    {L"lblSerialNb", nullptr, SerialNumber},
    {L"lblPartNb", nullptr, PartNumber},
    {L"lblDOP", nullptr, DateOfPurchase},
    {L"lblSwitchLang", &CardTexts::m_switchLanguageText, CardFieldCount},
    {L"lblCopyValues", &CardTexts::m_copyValuesText, CardFieldCount},
    {L"MsgNoDll", &CardTexts::m_noDllText, CardFieldCount},
    {L"MsgNoFunction", &CardTexts::m_noFunctionText, CardFieldCount},
    {L"MsgNoFunctionByNumber", &CardTexts::m_noFunctionByNumberText, CardFieldCount},
    {L"MsgSaveFailed", &CardTexts::m_saveFailedText, CardFieldCount},
    {L"MsgDiskFull", &CardTexts::m_diskFullText, CardFieldCount},
    {L"MsgFileInUse", &CardTexts::m_fileInUseText, CardFieldCount},
    {L"MsgAccessDenied", &CardTexts::m_accessDeniedText, CardFieldCount},
    {L"MsgFolderUnusable", &CardTexts::m_folderUnusableText, CardFieldCount},
    {L"MsgSaveError", &CardTexts::m_saveErrorText, CardFieldCount},
    {L"MsgRetrySave", &CardTexts::m_retrySaveText, CardFieldCount},
};

// The language's other keys: the guest's refusal, and the language's name in its own words.
inline constexpr wchar_t kGuestMessageKey[] = L"MsgGuest";
inline constexpr wchar_t kBuiltInGuestMessage[] = L"Guest users cannot run Velopass";  // where the file has none
inline constexpr wchar_t kLanguageNameKey[] = L"lblLangText";

// Replaces each text whose key the language's section holds; the others keep
// what they held (the built-in text, or the previous language's).
void ReadCardTexts(const wchar_t* file, const wchar_t* language, CardTexts& texts);

// From now on a system DLL or function that cannot be had is reported in these texts.
void ReportLoadFailuresIn(const CardTexts& texts, std::wstring_view language = {});

// A language is in the text file exactly when its section has a title.
bool IsLanguagePresent(const wchar_t* file, const LanguageCode& language);

// The section's title, or the built-in one.
Text ReadTitle(const wchar_t* file, const LanguageCode& language);

}  // namespace velopass
