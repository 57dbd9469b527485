#pragma once
// The four fields of a report's brief that the report settings page and the output
// settings of a generation both show, on the view of their layout, which places them
// by id: the name (at most 20 characters), the author (10), the format (the one entry
// "HTML 格式", none chosen at first) and the folder, read-only, set by the folder picker.
#include <windows.h>

#include <string>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"

class ReportBriefFields {
 public:
  enum : UINT { kNameEdit = 1103, kAuthorEdit = 1104, kFormatCombo = 1105, kFolderEdit = 1106 };

  void Create(HWND view);
  void Fill(const std::wstring& name, const std::wstring& author, int format, const std::wstring& folder);

  std::wstring Name() const { return m_nameEdit.GetWindowText(); }
  std::wstring Author() const { return m_authorEdit.GetWindowText(); }
  std::wstring Folder() const { return m_folderEdit.GetWindowText(); }
  // The chosen entry, -1 none; and its text, empty for none.
  int Format() const { return m_formatCombo.GetCurSel(); }
  std::wstring FormatText() const;

  // The folder picker; a folder chosen goes into the folder field. Returns 0 as the
  // pages' picker commands do.
  int ChooseFolder();

 private:
  CEditEx m_nameEdit;
  CEditEx m_authorEdit;
  CComboBoxCtrlEx m_formatCombo;
  CEditEx m_folderEdit;
};
