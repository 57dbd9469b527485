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

// A new empty folder beside path (in the same parent) under a name of its own; empty
// when none could be made.
std::wstring MakeFolderBeside(const std::wstring& path);

// Puts the folder made in target's place, on the same volume. An earlier target is
// replaced whole: it steps aside first and comes back when the new one cannot take
// its place, and what it held that the new one lacks is moved over. FALSE (with the
// system's code as the last error) leaves target as it was and made where it was.
BOOL ReplaceFolder(LPCWSTR made, LPCWSTR target);
