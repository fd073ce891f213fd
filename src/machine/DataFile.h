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
inline constexpr wchar_t kNewDataFileSuffix[] = L".new";  // "VLP.dat.new": the next data file while it is written
inline constexpr wchar_t kDataSection[] = L"data";
inline constexpr wchar_t kDateKey[] = L"DOP";

// "<folder>VLP.dat", or nothing when that does not fit a text.
std::optional<Text> DataFilePath(const Text& folder);

// ExpandPathVariables on the path itself, from the process environment; false,
// with the path emptied, when the result would not fit.
bool ExpandPathInPlace(Text& path, std::wstring_view brand);

// True when no level of the folder that exists is a link (a junction, a
// symbolic link, a mount point): the card's folder is the one it names, not
// one that whoever made the folder points it at.
bool IsOwnFolder(const Text& folder);

// The date of purchase from the data file (when there is one), or else from
// the file that the text file names under "RegIniFile"; FUB and DLR from the
// one it names under "FUBIniFile". A value not read leaves its text as it is.
// False when the data file is there but could not be read (another program
// holds it): what it holds is then unknown.
bool ReadCardData(const wchar_t* textFile, const std::optional<Text>& dataFile, std::wstring_view brand, Text& date,
                  Text& fub, Text& dlr);

// Why a save did not happen, as the card tells it.
enum class SaveProblem { None, DiskFull, InUse, Denied, Folder, Other };

struct SaveResult {
    SaveProblem problem = SaveProblem::None;
    unsigned long error = 0;  // the system's error code
    explicit operator bool() const { return problem == SaveProblem::None; }
};

// Writes the date into the data file whole or not at all: the new file is
// written beside the old one (every other line of it kept, in its encoding,
// with its attributes and security; a new one in UTF-16LE), flushed, found to
// lie in the folder as named, and swapped in by one rename. Missing levels of
// the folder are made and hidden; a level that is a link or no folder is
// refused. On any failure the old file stays as it was.
SaveResult SavePurchaseDate(const Text& folder, std::wstring_view date);

// The process environment, for path expansion: values of 128 characters or
// more count as not set, since the card's texts could not hold them.
std::optional<std::wstring> LookupEnvironment(const std::wstring& name);

}  // namespace velopass
