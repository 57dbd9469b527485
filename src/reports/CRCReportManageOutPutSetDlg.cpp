#include "reports/CRCReportManageOutPutSetDlg.h"

#include "console/ShellServices.h"
#include "platform/WideFormat.h"
#include "reports/ReportFolderPicker.h"
#include "reports/ReportGenerator.h"
#include "reports/ReportSettings.h"
#include "uiwin/UiMessageBox.h"

namespace {

const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
const DWORD kComboStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
const wchar_t kNotice[] = L"提示";
const wchar_t kError[] = L"错误";

// Shown while a generation holds the thread; nothing is dispatched meanwhile.
class WaitCursor {
 public:
  WaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(m_previous); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR m_previous;
};

// The name becomes a folder: none of the characters a folder name cannot hold.
bool IsFolderName(const std::wstring& name) {
  if (name == L"." || name == L"..") return false;
  for (wchar_t c : name)
    if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c)) return false;
  return true;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder.back() == L'\\' || folder.back() == L'/' ? folder + name : folder + L"\\" + name;
}

// What the user is told of a generation that did not end in a report.
std::wstring GenerationFailure(ReportGenerator::Result result, const ReportGenerator& generator,
                               const std::wstring& reportFolder) {
  switch (result) {
    case ReportGenerator::kCopyFailed:
      return qv::FormatW(L"复制报告模板到“%ls”时出错", reportFolder);
    case ReportGenerator::kConnectFailed:
      return L"打开 ReportCenter.db 数据库时出错";
    case ReportGenerator::kQueryFailed:
      return qv::FormatW(L"错误信息：%ls", generator.ErrorText());
    default:
      return qv::FormatW(L"写入报告数据文件“%ls”时出错", ReportGenerator::XmlPath(reportFolder));
  }
}

}  // namespace

CRCReportManageOutPutSetDlg::CRCReportManageOutPutSetDlg(int version, LPCWSTR strategyName)
    : CUiDialogImpl<CRCReportManageOutPutSetDlg>(kLayoutId), m_strategyName(strategyName), m_version(version) {}

// The layout's real-window elements place the controls.
LRESULT CRCReportManageOutPutSetDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  HWND view = GetViewHWnd();
  m_nameEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kNameEdit);
  m_nameEdit.SetLimits(20, 0, '0', FALSE);
  m_authorEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kAuthorEdit);
  m_authorEdit.SetLimits(10, 0, '0', FALSE);
  m_formatCombo.Create(view, RECT{}, nullptr, kComboStyle, 0, kFormatCombo);
  m_formatCombo.AddString(L"HTML 格式");
  m_folderEdit.Create(view, nullptr, nullptr, kEditStyle | ES_READONLY, 0, kFolderEdit);
  if (!g_reportBriefName.empty()) {
    m_nameEdit.SetWindowText(g_reportBriefName.c_str());
    m_authorEdit.SetWindowText(g_reportBriefAuthor.c_str());
    m_formatCombo.SetCurSel(g_reportFormatIndex);
    m_folderEdit.SetWindowText(g_reportOutputFolder.c_str());
  }
  return 1;
}

LRESULT CRCReportManageOutPutSetDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kItemMaximize:
      SendMessage(WM_SYSCOMMAND, ::IsZoomed(m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
      return 0;
    case kItemMinimize:
      SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return 0;
    case kItemBrowse:
      return OnBrowse();
    case kItemGenerate:
      return OnGenerate();
    case kItemClose:
    case kItemBack:
    case kItemExit:
      EndDialog(kLeft);
      return 0;
    default:
      bHandled = FALSE;
      return 0;
  }
}

int CRCReportManageOutPutSetDlg::OnBrowse() {
  std::wstring folder;
  if (ReportFolderPicker::Choose(folder)) m_folderEdit.SetWindowText(folder.c_str());
  return 0;
}

int CRCReportManageOutPutSetDlg::OnGenerate() {
  const std::wstring name = m_nameEdit.GetWindowText();
  const std::wstring author = m_authorEdit.GetWindowText();
  const std::wstring folder = m_folderEdit.GetWindowText();
  const int format = m_formatCombo.GetCurSel();
  const std::wstring formatText = format >= 0 ? m_formatCombo.GetLBText(format) : std::wstring();
  LPCWSTR refusal = name.empty()         ? L"请输入简报名称"
                    : author.empty()     ? L"请输入简报作者"
                    : formatText.empty() ? L"请选择简报格式"
                    : folder.empty()     ? L"请选择简报存储路径"
                    : !IsFolderName(name)
                        ? L"简报名称不能用作文件夹名称：不能是“.”或“..”，也不能含有 \\ / : * ? \" < > | 等字符"
                        : nullptr;
  const std::wstring reportFolder = refusal ? std::wstring() : Join(folder, name);
  if (!refusal && ReportGenerator::XmlPath(reportFolder).size() >= MAX_PATH)
    refusal = L"简报存储路径过长，请选择较短的路径或名称";
  if (refusal) {
    UiMessageBox(refusal, kNotice, MB_OK);
    return 0;
  }
  g_reportBriefName = name;
  g_reportBriefAuthor = author;
  g_reportOutputFolder = folder;
  g_reportFormatIndex = format;

  const std::wstring templateFolder = ReportGenerator::FindTemplate();
  if (templateFolder.empty()) {
    UiMessageBox(L"找不到报告模板文件夹 ReportTemplate", kError, MB_OK);
    return 0;
  }
  ReportGenerator generator;
  ReportGenerator::Result result;
  {
    WaitCursor wait;
    result = generator.Generate(templateFolder, reportFolder,
                                {name, author, m_strategyName ? m_strategyName : L"", m_version});
  }
  if (result != ReportGenerator::kGenerated) {
    UiMessageBox(GenerationFailure(result, generator, reportFolder).c_str(), kError, MB_OK);
    return 0;
  }
  EndDialog(kGenerated);
  // Without a program for the page, the folder at least.
  ShellServices& shell = ShellServices::Current();
  if (!shell.OpenPath(ReportGenerator::IndexPath(reportFolder))) shell.OpenPath(reportFolder);
  return 1;
}
