#include "reports/ReportBriefFields.h"

#include "reports/ReportFolderPicker.h"

namespace {
const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
const DWORD kComboStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}  // namespace

void ReportBriefFields::Create(HWND view) {
  m_nameEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kNameEdit);
  m_nameEdit.SetLimits(20, 0, '0', FALSE);
  m_authorEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kAuthorEdit);
  m_authorEdit.SetLimits(10, 0, '0', FALSE);
  m_formatCombo.Create(view, RECT{}, nullptr, kComboStyle, 0, kFormatCombo);
  m_formatCombo.AddString(L"HTML 格式");
  m_folderEdit.Create(view, nullptr, nullptr, kEditStyle | ES_READONLY, 0, kFolderEdit);
}

void ReportBriefFields::Fill(const std::wstring& name, const std::wstring& author, int format,
                             const std::wstring& folder) {
  m_nameEdit.SetWindowText(name.c_str());
  m_authorEdit.SetWindowText(author.c_str());
  m_formatCombo.SetCurSel(format);
  m_folderEdit.SetWindowText(folder.c_str());
}

std::wstring ReportBriefFields::FormatText() const {
  const int format = Format();
  return format >= 0 ? m_formatCombo.GetLBText(format) : std::wstring();
}

int ReportBriefFields::ChooseFolder() {
  std::wstring folder;
  if (ReportFolderPicker::Choose(folder)) m_folderEdit.SetWindowText(folder.c_str());
  return 0;
}
