#pragma once
// Shows how `newPath` differs from `oldPath`: compares the two files, saves the
// comparison page (UTF-8) under a new name in the temporary folder and opens it with
// the shell (ShellServices). 1 when the page was opened; 0 when a file cannot be read,
// the page cannot be saved or the shell fails.
#include <string>

int ShowFileComparison(const std::wstring& oldPath, const std::wstring& newPath);
