#pragma once
// The folder chooser of the report settings and of the report generation: the shell's
// folder browser (file-system folders only), and the folder made ready for a report
// name to be appended to it.
#include <string>

class ReportFolderPicker {
 public:
  // 1 with the chosen folder ending in one "\"; 0 when cancelled, or when the folder
  // has no path, which is told to the user.
  static int Choose(std::wstring& folder);
};
