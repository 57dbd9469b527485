#pragma once
// The file-system side of a report: the template folder copied into the report folder.
#include <windows.h>

#include <string>
#include <vector>

// Copies the folder source into target, sub-folders recursively, overwriting files
// that are there; target is made when missing (its parent must exist). Paths are
// compared in full and without regard to case: the same folder twice copies nothing
// and succeeds; a target inside the source is refused, since the copy would feed on
// itself. Copies come without the read-only mark, so the next copy can replace them.
BOOL CopyFolder(LPCWSTR source, LPCWSTR target);

// TRUE when the path names an existing folder; one trailing "\" is allowed.
BOOL FolderExists(LPCWSTR path);

// Removes the folder with everything in it; FALSE when something stayed.
BOOL RemoveFolder(LPCWSTR path);

// The length of the longest path below folder, relative to it and with its leading
// "\" ("\data\Report.xml": 16); 0 for a folder that is empty or missing.
size_t LongestEntry(const std::wstring& folder);

// A new empty folder beside path (in the same parent) under a name of its own; empty
// (with the system's code as the last error) when none could be made.
std::wstring MakeFolderBeside(const std::wstring& path);
// The length of the path of any folder MakeFolderBeside(path) makes.
size_t BesideLength(const std::wstring& path);

// An entry that stayed behind (its path relative to the folder it stayed in; empty for
// what a listing that broke off did not reach) and the system's reason for it.
struct StayedEntry {
  std::wstring path;
  DWORD error = 0;
};

// What a replacement leaves for its caller to tell.
struct FolderReplacement {
  // After FALSE: the folder the earlier target is in when it could not come back to its
  // place; empty when it is there (or there was none).
  std::wstring earlierIn;
  // After TRUE: the folder beside target that stayed (empty when nothing did); in it,
  // the entries of the earlier one that the new one could not take, and the earlier
  // copies of the new one's own files that could not be removed, each in order.
  std::wstring leftIn;
  std::vector<StayedEntry> left;
  std::vector<StayedEntry> undeleted;
};

// Puts the folder made in target's place, on the same volume. An earlier target is
// replaced whole: it steps aside first and comes back when the new one cannot take
// its place; then what it held that the new one lacks is moved over, each entry that
// can. Its copies of the new folder's own files (same name, both files) go; nothing
// else of it is deleted: an entry the new folder holds under its name as the other
// kind (a folder for a file, a file for a folder) stays, as does one that cannot move.
// FALSE (with the system's code as the last error) leaves target as it was and made
// where it was, unless the earlier target could not come back (outcome->earlierIn).
// TRUE with outcome->leftIn not empty: the new folder is in place, but entries of the
// earlier one stayed in outcome->leftIn: the user's in left, copies of its own files
// that could not be removed in undeleted.
BOOL ReplaceFolder(LPCWSTR made, LPCWSTR target, FolderReplacement* outcome = nullptr);
