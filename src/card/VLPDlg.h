// The card: the program's one window, and all it shows, prints and saves.
#pragma once

#include "card/CardField.h"
#include "card/GdiPlusImage.h"
#include "present/DpiState.h"
#include "text/FixedText.h"
#include "win/Dialog.h"

#include <memory>

class CVLPDlg : public win::CDialog {
public:
    using Text = velopass::Text;

    explicit CVLPDlg(win::CWnd* parent = nullptr);
    ~CVLPDlg() override;

    // Saves the date of purchase, lets go of what the initialisation made and ends the card.
    virtual void CloseCard(INT_PTR result);

    // The machine's values, in the order the initialisation runs them.
    int QuerySystemProduct();
    bool ReadBrandValue();
    void ResolveBrand(const Text& vendor);
    void FillSystemValues();
    // False, with the path emptied, when the expanded path would not fit.
    bool ExpandPathVariables(Text& path) const;
    void ReadCardDataFile();
    void SavePurchaseDate(const std::wstring& text) const;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

public:
    Text m_brand;
    win::UniqueKey m_hMetadataKey;
    HKEY m_metadataRoot = HKEY_LOCAL_MACHINE;
    Text m_metadataKeyPath = L"SOFTWARE\\OEM\\Metadata";
    Text m_brandValueName = L"Brand";
    Text m_brandValue;
    Text m_language;
    velopass::DpiState m_dpi;
    Text m_wmiPropertyNames[3] = {L"Vendor", L"Name", L"IdentifyingNumber"};
    Text m_wmiValues[3];
    Text m_textFilePath = L".\\Velopass.ini";
    Text m_cardValues[velopass::CardFieldCount];
    Text m_dataFolder = L"c:\\OEM\\Velopass\\";
    bool m_dataFolderUsable = true;  // false when its expansion would not fit: no data file then
    Text m_iconPath = L".\\PIC\\velopass.ico";
    HICON m_hIcon = nullptr;
    Text m_caption = L"Velopass";
    int m_cardWidth = 367;
    int m_cardHeight = 428;
    int m_savedExStyle = 0;
    int m_bannerHeight = 82;
    int m_bodyHeight = 302;
    COLORREF m_bandColour = 0xF0F0F0;
    int m_editWidth = 184;
    int m_editHeight = 22;
    int m_editLeft = 153;
    int m_rowGap = 18;
    HFONT m_previousFont = nullptr;
    win::UniqueFont m_fieldFonts[4];
    win::UniqueBrush m_whiteBrush;
    win::CEdit m_valueEdits[velopass::CardFieldCount];
    int m_editExStyle = 0;
    Text m_labels[velopass::CardFieldCount] = {L"Product name:",     L"Serial number:", L"SNID:", L"Part number:",
                                               L"Date of purchase:", L"FUB:",           L"DLR:"};
    int m_labelLeft = 25;
    int m_labelGap = 2;
    int m_titleLeft = 25;
    int m_titleTop = 28;
    int m_titleWidth = 0;
    int m_titleHeight = 100;
    win::UniqueFont m_titleFonts[4];
    Text m_bannerPath = L".\\PIC\\Zell_Banner.bmp";
    std::unique_ptr<CGdiPlusImage> m_banner;
    std::unique_ptr<CGdiPlusImage> m_mirroredBanner;
    int m_buttonWidth = 108;
    int m_buttonHeight = 26;
    int m_buttonRightMargin = 16;
    int m_buttonTop = 392;
    int m_buttonGap = 2;
    Text m_printText = L"Print";
    Text m_closeText = L"Close";
    win::CButton m_printButton;
    win::CButton m_closeButton;
    int m_printerDpiX = 1;
    int m_printerDpiY = 1;
    int m_languageCount = 0;
    std::unique_ptr<int[]> m_languageMenuIds;
    std::unique_ptr<Text[]> m_languageCodes;
    win::CMenu m_languageMenu;
    bool m_displayChangePending = false;

private:
    bool OnSysCommand(WPARAM command);
    void OnPrint();
    void ReleaseCardObjects();
};
