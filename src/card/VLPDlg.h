// The card: the program's one window. It holds the card's state, fills it in
// order, answers the messages below and closes; the parts it is made of live
// in their own files: the texts and the language menu (text/), the machine's
// values (machine/), the geometry and drawing (present/), copying, screen
// readers and the end of a session (card/).
#pragma once

#include "card/CardClipboard.h"
#include "machine/Brand.h"
#include "machine/DataFile.h"
#include "machine/Wmi.h"
#include "present/CardLayout.h"
#include "text/CardTexts.h"
#include "text/LanguageMenu.h"
#include "win/Dialog.h"
#include "win/GdiPlusImage.h"

#include <memory>
#include <optional>

class CVLPDlg : public win::CDialog {
public:
    using Text = velopass::Text;

    // The card in the language chosen at start-up, in its texts as read then, on a system of that major version.
    // The machine's values come from the query already under way.
    CVLPDlg(const velopass::LanguageCode& language, int osMajorVersion, const velopass::CardTexts& texts,
            velopass::SystemProductQuery& query);
    ~CVLPDlg() override;

    // Saves the date of purchase, lets go of what the initialisation made and ends the card.
    virtual void CloseCard(INT_PTR result);

private:
    // The messages the card answers, each decoded for its handler.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    BOOL OnInitDialog() override;
    // Enter and Escape reach the dialog as IDOK and IDCANCEL: they never close the card.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(UINT id, UINT code, HWND control);
    bool OnSysCommand(UINT command);
    bool OnWindowMenuEntry(int command);  // false: none of the card's entries has this command
    HBRUSH OnCtlColor(UINT message, HDC dc) const;
    void OnColoursChanged(UINT message);
    void OnPaint();
    void OnDisplayChange();
    void OnActivate(UINT state, bool minimised);
    void OnEndSession(bool ending, UINT flags);

    // The machine's values, in the order the initialisation runs them.
    void QuerySystemProduct();  // the query's answer, once it has come
    bool ReadBrandValue();
    bool ResolveBrand(const Text& vendor);
    void FillSystemValues();
    void ReadCardDataFile();
    // The date as shown, into the data file; a date the card could not read at the start stays unless another was
    // typed.
    velopass::SaveResult SavePurchaseDate() const;
    // Once the focus leaves the date (or Print is pressed): a date typed is kept at once, silently.
    void SaveTypedDate();

    // The card's face: icon, texts, layout on the screen, banner.
    void DoDataExchange() override;
    void SetCardIcon();
    void ShowButtonTexts();
    void DecideScaleLayout();
    void ResolveScreen();
    void SizeCard();
    void SetReadingDirection() const;
    void PlaceEdits();
    void LayoutEditColumn();
    void MakeScreenFonts();
    void ChooseBanner();
    void LoadBanner();  // the banner chosen for the brand
    void LayoutButtons();
    void ApplyControlFonts();
    void RelayoutCard();
    void RedrawNow(HWND window) const;

    // What the user does with the card.
    void SwitchLanguage(const Text& language);
    void PrintCard();
    // Who asks the card to close: the person (Close, the close box, Alt+F4, the window menu), who can be asked
    // about a date that could not be saved, or Windows (End task, an installer), which cannot wait for an answer.
    enum class Closer { Person, Windows };
    // Every request to close comes here: at once, or while printing, once the printing's dialogs have gone and
    // nothing more was printed, or while the person is asked about a failed save, once that is answered.
    void RequestClose(Closer closer);
    // The save failed and the person loses the date typed: Retry (true) or Cancel, with the card shown again.
    bool AskToRetrySave(const velopass::SaveResult& failure);
    void ReleaseCardObjects();
    void ServeValueEdits();

    const int m_osMajorVersion;
    velopass::SystemProductQuery& m_query;
    Text m_brand;
    win::UniqueKey m_hMetadataKey;
    HKEY m_metadataRoot = HKEY_LOCAL_MACHINE;
    Text m_metadataKeyPath = velopass::kBrandKeyPath;
    Text m_brandValueName = velopass::kBrandValueName;
    Text m_brandValue;
    bool m_brandValueRead = false;
    COLORREF m_titleColour = 0;  // over the brand's banner
    Text m_language;
    velopass::ScreenState m_display;
    velopass::CardBoxes m_screen{};  // the boxes on the screen in the language, resolved at each layout
    velopass::SystemProduct m_product;
    Text m_textFilePath;
    Text m_cardValues[velopass::CardFieldCount];
    Text m_dataFolder = velopass::kDataFolder;
    bool m_dataFolderUsable = true;  // false when its expansion would not fit: no data file then
    Text m_keptDate;                 // what the next start shows: the date as the card opened, then as last saved
    bool m_dataFileUnread = true;    // not read yet, or there but not to be read (held by another program, say)
    Text m_iconPath = L".\\PIC\\velopass.ico";
    HICON m_hIcon = nullptr;
    win::UniqueIcon m_iconFromFile;  // m_hIcon when it came from the icon file
    velopass::CardTexts m_texts;     // the caption, the labels, the buttons' and the window menu entries' texts
    int m_savedExStyle = 0;
    win::UniqueFont m_fieldFonts[4];
    win::CEdit m_valueEdits[velopass::CardFieldCount];
    int m_editExStyle = 0;
    win::UniqueFont m_titleFonts[4];
    Text m_bannerPath = L".\\PIC\\Zell_Banner.bmp";
    std::unique_ptr<CGdiPlusImage> m_banner;
    std::unique_ptr<CGdiPlusImage> m_mirroredBanner;
    win::CButton m_printButton;
    win::CButton m_closeButton;
    velopass::LanguageMenu m_languageMenu;
    bool m_displayChangePending = false;
    HWND m_focusBeforeMinimise = nullptr;  // given back when the card is shown again
    bool m_printing = false;        // from the Print dialog to the end of the page
    bool m_closeRequested = false;  // while printing or asking
    bool m_closing = false;         // from CloseCard on, whose own save is the last
    bool m_asking = false;          // while the person is asked about a failed save
    bool m_windowsCloses = false;   // asked by Windows, which cannot wait for a question to be answered
    bool m_closed = false;          // by CloseCard, the date saved
    velopass::CardClipboard m_clipboard{m_texts.m_labels, m_valueEdits};
};
