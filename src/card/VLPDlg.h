// The card: the program's one window, and all it shows, prints and saves.
#pragma once

#include "card/AccessibleEdit.h"
#include "card/CardField.h"
#include "win/GdiPlusImage.h"
#include "present/CardLayout.h"
#include "text/FixedText.h"
#include "text/TextFile.h"
#include "win/Dialog.h"

#include <functional>
#include <memory>

// The card owns its layout on the screen (the design numbers such as
// m_cardWidth and the DPI state) and on paper (the printer's resolution).
class CVLPDlg : public win::CDialog {
public:
    using Text = velopass::Text;

    explicit CVLPDlg(win::CWnd* parent = nullptr);
    ~CVLPDlg() override;

    // Saves the date of purchase, lets go of what the initialisation made and ends the card.
    virtual void CloseCard(INT_PTR result);

private:
    // The machine's values, in the order the initialisation runs them.
    int QuerySystemProduct();
    bool ReadBrandValue();
    void ResolveBrand(const Text& vendor);
    void FillSystemValues();
    // False, with the path emptied, when the expanded path would not fit.
    bool ExpandPathVariables(Text& path) const;
    void ReadCardDataFile();
    void SavePurchaseDate(const std::wstring& text) const;

    static void ReadScreenDpi(velopass::DpiState& dpi);
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    velopass::ScreenLayout m_screen{&CVLPDlg::ReadScreenDpi};
    velopass::PaperLayout m_paper;
    Text m_brand;
    win::UniqueKey m_hMetadataKey;
    HKEY m_metadataRoot = HKEY_LOCAL_MACHINE;
    Text m_metadataKeyPath = L"SOFTWARE\\OEM\\Metadata";
    Text m_brandValueName = L"Brand";
    Text m_brandValue;
    Text m_language;
    Text m_wmiPropertyNames[3] = {L"Vendor", L"Name", L"IdentifyingNumber"};
    Text m_wmiValues[3];
    Text m_textFilePath = velopass::kTextFilePath;
    Text m_cardValues[velopass::CardFieldCount];
    Text m_dataFolder = L"c:\\OEM\\Velopass\\";
    bool m_dataFolderUsable = true;  // false when its expansion would not fit: no data file then
    Text m_iconPath = L".\\PIC\\velopass.ico";
    HICON m_hIcon = nullptr;
    win::UniqueIcon m_iconFromFile;  // m_hIcon when it came from the icon file
    Text m_caption = velopass::kDefaultTitle;
    int m_savedExStyle = 0;
    COLORREF m_bandColour = 0xF0F0F0;
    win::UniqueFont m_fieldFonts[4];
    win::UniqueBrush m_whiteBrush;
    win::CEdit m_valueEdits[velopass::CardFieldCount];
    int m_editExStyle = 0;
    Text m_labels[velopass::CardFieldCount] = {L"Product name:",     L"Serial number:", L"SNID:", L"Part number:",
                                               L"Date of purchase:", L"FUB:",           L"DLR:"};
    win::UniqueFont m_titleFonts[4];
    Text m_bannerPath = L".\\PIC\\Zell_Banner.bmp";
    std::unique_ptr<CGdiPlusImage> m_banner;
    std::unique_ptr<CGdiPlusImage> m_mirroredBanner;
    Text m_printText = L"Print";
    Text m_closeText = L"Close";
    win::CButton m_printButton;
    win::CButton m_closeButton;
    int m_languageCount = 0;
    std::unique_ptr<int[]> m_languageMenuIds;
    std::unique_ptr<Text[]> m_languageCodes;
    win::CMenu m_languageMenu;
    bool m_displayChangePending = false;
    bool m_printDialogOpen = false;
    bool m_closeRequested = false;  // while the Print dialog was open

    // Beyond the card's own duties: Ctrl+C copies the values, and screen
    // readers hear each value edit named after its label.
    velopass::AccessibleName m_accessibleNames[velopass::CardFieldCount];

    // Layout on the screen, in the order the initialisation runs it.
    void DecideScaleLayout();
    void SizeCard();
    void ApplyReadingDirection();
    void LayoutEditColumn();
    void PlaceEdits();
    void CreateFieldFonts();
    void CreateTitleFonts();
    void ChooseBanner();
    void LoadBanner();
    void LayoutButtons();
    void ApplyControlFonts();
    void RelayoutCard();

    // Every request to close (Close, the close box, End task, an installer) comes here: at once, or while the
    // Print dialog is open, once it has gone without printing.
    void RequestClose();
    bool HandleSystemCommand(WPARAM command);
    // Switches to the language whose entry has that command; false for any other command.
    bool SwitchToLanguageOf(int command);
    void BuildLanguageMenu();
    void SwitchLanguage(const Text& language);
    void SetReadingDirection() const;
    void PrintCard();
    void OnPaint();
    void OnDisplayChange();
    void OnActivate(WPARAM state);
    void RedrawNow(HWND window) const;
    // A text of the card's current language from the text file.
    bool ReadCardText(const wchar_t* key, Text& value) const
    {
        return velopass::ReadText(m_textFilePath.c_str(), m_language.c_str(), key, value);
    }
    void EnableAssistance();
    void CopyValuesToClipboard() const;
    bool IsSelectionToCopy(HWND control) const;
    static LRESULT CALLBACK CopyKeyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR card);
    static RECT ToRect(const velopass::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
    static void DrawBox(HDC dc, const wchar_t* text, const velopass::Rect& box, UINT format);
    // What screen and paper draw alike: the seven labels in the label font,
    // then the title in its font, white over a drawn banner. Only boxes, fonts
    // and formats differ; on paper the values follow in the labels' font.
    struct TextLayout {
        HFONT labelFont;
        HFONT titleFont;
        std::function<velopass::Rect(int row)> labelBox;
        velopass::Rect titleBox;
        UINT labelFormat;
        UINT titleFormat;
    };
    void DrawLabelsAndTitle(HDC dc, const TextLayout& text, bool bannerDrawn,
                            const std::function<void()>& alsoInLabelFont = nullptr) const;
    void SetCardIcon();
    void ReadLabels();
    void ReleaseCardObjects();
};
