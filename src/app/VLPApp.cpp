#include "app/VLPApp.h"

#include "app/Startup.h"
#include "card/VLPDlg.h"
#include "card/resource.h"
#include "text/CardTexts.h"

#include <commctrl.h>

#include <string_view>

namespace {

CVLPApp theApp;

// Relative paths (the text file, the pictures) are meant from the program's folder.
void EnterProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = L'\0';
    const std::wstring_view program(path);
    ::SetCurrentDirectoryW(std::wstring(program.substr(0, program.rfind(L'\\'))).c_str());
}

}  // namespace

bool CVLPApp::InitInstance()
{
    velopass::ReportLoadFailuresIn({});  // in English until the language is known
    // Before the query's thread exists: under Wine, the first class registered loads the display driver, which
    // waits for the loader, and the WMI provider's DLLs register classes of their own while they load.
    RegisterCardClass();

    EnterProgramFolder();
    velopass::StartUp({}, [](const velopass::UserLanguage& language, const velopass::CardTexts& texts,
                             velopass::SystemProductQuery& query) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);  // beside the query
        CVLPDlg card(language.code, language.osMajorVersion, texts, query);
        card.DoModal();
    });
    return false;
}

int CVLPApp::ExitInstance()
{
    win::gdiplus::Shutdown();
    // The single-instance mutex, never owned, lapses with the process.
    return 0;
}

// The card's template names this class: without it the card cannot be made. As a copy of the dialog class it keeps
// that class's window procedure and the window bytes the dialog manager uses.
void CVLPApp::RegisterCardClass() const
{
    WNDCLASSW cardClass{};
    ::GetClassInfoW(Instance(), win::kDialogClass, &cardClass);
    cardClass.hInstance = Instance();
    cardClass.lpszClassName = L"" CARD_CLASS;
    ::RegisterClassW(&cardClass);
}
