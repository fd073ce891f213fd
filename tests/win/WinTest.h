// A text file of the Windows-side tests' own, in UTF-16LE under the temporary folder, removed at the end.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

struct TempTextFile {
    explicit TempTextFile(const std::wstring& text)
    {
        std::ofstream(path, std::ios::binary)
            << "\xFF\xFE" << std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    }
    ~TempTextFile() { std::filesystem::remove(path); }
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vp-" + std::to_string(::GetTickCount() + count++) + ".ini");
    static inline int count = 0;
};
