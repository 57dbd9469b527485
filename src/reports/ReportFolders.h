#pragma once
// The file-system side of a report: the template folder copied into the report folder.
#include <windows.h>

#include <string>

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

// Puts the folder made in target's place, on the same volume. An earlier target is
// replaced whole: it steps aside first and comes back when the new one cannot take
// its place; then what it held that the new one lacks is moved over, each entry that
// can, and the rest of it goes. FALSE (with the system's code as the last error)
// leaves target as it was and made where it was. TRUE with *leftIn not empty: the new
// folder is in place, but what could not move over stays in the folder *leftIn, beside
// target, for the reason *leftError.
BOOL ReplaceFolder(LPCWSTR made, LPCWSTR target, std::wstring* leftIn = nullptr, DWORD* leftError = nullptr);
