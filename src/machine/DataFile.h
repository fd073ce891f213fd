// The card's own data file, "VLP.dat" in the data folder, and the
// environment behind the card's %NAME% paths.
#pragma once

#include "machine/PathExpansion.h"
#include "text/FixedText.h"

#include <optional>
#include <string>

namespace velopass {

inline constexpr wchar_t kDataFolder[] = L"c:\\OEM\\Velopass\\";  // before expansion
inline constexpr wchar_t kDataFileName[] = L"VLP.dat";
inline constexpr wchar_t kDataSection[] = L"data";
inline constexpr wchar_t kDateKey[] = L"DOP";

// "<folder>VLP.dat", or nothing when that does not fit a text.
std::optional<Text> DataFilePath(const Text& folder);

// ExpandPathVariables on the path itself, from the process environment; false,
// with the path emptied, when the result would not fit.
bool ExpandPathInPlace(Text& path, std::wstring_view brand);

// The date of purchase from the data file (when there is one), or else from
// the file that the text file names under "RegIniFile"; FUB and DLR from the
// one it names under "FUBIniFile". A value not read leaves its text as it is.
void ReadCardData(const wchar_t* textFile, const std::optional<Text>& dataFile, std::wstring_view brand, Text& date,
                  Text& fub, Text& dlr);

// Writes the date into the data file, creating the folder (hidden) and a
// UTF-16LE file when they are missing so that any characters survive. A file
// that exists keeps its encoding and, when it cannot be written, its content.
void SavePurchaseDate(const Text& folder, const std::wstring& date);

// Creates each missing level of the folder and marks every level hidden.
void CreateFolderLevels(const Text& folder);

// A new, empty UTF-16LE text file (just FF FE); false when it exists or cannot be made.
bool CreateUnicodeFile(const wchar_t* path);

// The process environment, for path expansion: values of 128 characters or
// more count as not set, since the card's texts could not hold them.
std::optional<std::wstring> LookupEnvironment(const std::wstring& name);

}  // namespace velopass
