// The MSI's one custom action. An upgrade or a repair replaces Velopass.ini,
// the file an OEM configures (its settings: resources/oem_settings.tsv).
// Before anything is removed, this carries each setting the administrator did
// not give on the command line into its property, from which the IniFile
// table writes it into the new file: taken from the installed file, or from
// the values the last installation remembered when that file is gone. In a
// run where the package's tables say given settings do not count (a repair by
// a user who is no administrator, which Windows runs elevated all the same),
// every setting is carried so.
//
// It imports kernel32 and the C runtime only: the Windows Installer functions
// come from msi.dll, which the process hosting the action has loaded already.
#include <windows.h>
#include <msiquery.h>

#include <string>
#include <vector>

#include "text/OemSettings.h"
#include "win/SystemLibrary.h"

namespace {

struct Msi {
    win::DllFunctions dll{::GetModuleHandleW(L"msi.dll")};
    WIN_FUNCTION(dll, , MsiGetPropertyW);
    WIN_FUNCTION(dll, , MsiSetPropertyW);
};

std::wstring Property(const Msi& msi, MSIHANDLE install, const std::wstring& name)
{
    std::vector<wchar_t> value(256);
    for (;;) {
        DWORD size = static_cast<DWORD>(value.size());
        const UINT result = msi.MsiGetPropertyW(install, name.c_str(), value.data(), &size);
        if (result == ERROR_SUCCESS)
            return std::wstring(value.data(), size);
        if (result != ERROR_MORE_DATA)
            return {};
        value.resize(size + 1);  // the size excludes the terminating NUL
    }
}

// A setting as the card reads it, but whole: the card takes its first 127
// characters, and the file keeps what the OEM wrote.
std::wstring SettingValue(const std::wstring& file, const velopass::oem::Setting& setting)
{
    std::vector<wchar_t> value(32768);
    const DWORD length = ::GetPrivateProfileStringW(setting.section, setting.key, L"", value.data(),
                                                    static_cast<DWORD>(value.size()), file.c_str());
    return std::wstring(value.data(), length);
}

UINT Carry(MSIHANDLE install)
{
    const Msi msi;
    if (!msi.dll.Complete())
        return ERROR_INSTALL_FAILURE;  // nothing carried: stop before the old installation is removed
    const std::wstring folder = Property(msi, install, L"INSTALLFOLDER");
    const std::wstring file = folder + L"Velopass.ini";
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    // A bare file name would be looked for in the Windows folder: only a full path counts.
    const bool installed = !folder.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
                           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    const std::wstring shipped[] = {Property(msi, install, L"SHIPPEDLANG"),
                                    Property(msi, install, L"REMEMBEREDSHIPPEDLANG")};
    const bool givenIgnored = !Property(msi, install, L"IgnoreGivenSettings").empty();
    for (const auto& setting : velopass::oem::kSettings) {
        if (!givenIgnored && !Property(msi, install, setting.property).empty())
            continue;  // given now: it wins
        // The installed file as it is, hand edits and removed lines included;
        // without it, what the last installation was given.
        std::wstring value = installed ? SettingValue(file, setting) : Property(msi, install, setting.remembered);
        // A language list as a package shipped it is no choice of the OEM's:
        // the new package's own list, with any new language, takes its place.
        if (setting.list && (value == shipped[0] || value == shipped[1]))
            value.clear();
        // Set also when empty where a given value is ignored: that removes it.
        const bool carried = givenIgnored || !value.empty();
        if (carried && msi.MsiSetPropertyW(install, setting.property, value.c_str()) != ERROR_SUCCESS)
            return ERROR_INSTALL_FAILURE;
    }
    const std::wstring chosen = Property(msi, install, velopass::oem::kLanguageList.property);
    const UINT set = msi.MsiSetPropertyW(install, L"LANGUAGELIST", (chosen.empty() ? shipped[0] : chosen).c_str());
    return set == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CarrySettings(MSIHANDLE install)
{
    try {
        return Carry(install);
    } catch (...) {  // out of memory: stop the installation rather than drop a setting
        return ERROR_INSTALL_FAILURE;
    }
}
