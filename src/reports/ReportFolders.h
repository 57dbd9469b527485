#pragma once
// The file-system side of a report: the template folder copied into the report folder.
#include <windows.h>

// Copies the folder source into target, sub-folders recursively, overwriting files
// that are there; target is made when missing (its parent must exist). Paths are
// compared in full and without regard to case: the same folder twice copies nothing
// and succeeds; a target inside the source is refused, since the copy would feed on
// itself. Copies come without the read-only mark, so the next copy can replace them.
BOOL CopyFolder(LPCWSTR source, LPCWSTR target);

// TRUE when the path names an existing folder; one trailing "\" is allowed.
BOOL FolderExists(LPCWSTR path);
