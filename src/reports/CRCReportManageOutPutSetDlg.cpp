#include "reports/CRCReportManageOutPutSetDlg.h"

#include <vector>

#include "console/RecordGone.h"
#include "console/ShellServices.h"
#include "console/SystemErrorText.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "reports/ReportFolders.h"
#include "reports/ReportGenerator.h"
#include "reports/ReportSettings.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kNotice[] = L"提示";
const wchar_t kError[] = L"错误";
const wchar_t kWarning[] = L"警告";

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

// Where the earlier report of the name is after a generation that failed: nowhere to
// tell when there was none.
std::wstring EarlierReport(const ReportGenerator& generator, const std::wstring& reportFolder) {
  if (!generator.EarlierIn().empty())
    return qv::FormatW(L"\r\n原有的报告未能移回原处，现在文件夹“%ls”中。", generator.EarlierIn());
  return FolderExists(reportFolder.c_str()) ? L"\r\n原有的报告未被改动。" : L"";
}

// What the user is told of a generation that did not end in a report.
std::wstring GenerationFailure(ReportGenerator::Result result, const ReportGenerator& generator,
                               const std::wstring& reportFolder) {
  const std::wstring why = SystemErrorLine(generator.Error());
  switch (result) {
    case ReportGenerator::kCopyFailed:
      return qv::FormatW(L"复制报告模板到“%ls”时出错：%ls", reportFolder, why);
    case ReportGenerator::kConnectFailed:
      return L"打开 ReportCenter.db 数据库时出错";
    case ReportGenerator::kQueryFailed:
      return qv::FormatW(L"错误信息：%ls", generator.ErrorText());
    case ReportGenerator::kReplaceFailed:
      return qv::FormatW(L"无法以新报告替换文件夹“%ls”：%ls", reportFolder, why) +
             EarlierReport(generator, reportFolder);
    case ReportGenerator::kRecordGone:  // told by the caller
      return std::wstring();
    default:
      return qv::FormatW(L"写入报告数据文件时出错。%ls", WriteFailureText(generator.FailedPath(), generator.Error())) +
             EarlierReport(generator, reportFolder);
  }
}

// Entries that stayed beside the new report, after the line that says what they are:
// the first few, each with its own reason, and how many in all.
std::wstring StayedEntries(const wchar_t* what, const std::vector<StayedEntry>& entries) {
  const size_t kShown = 5;
  std::wstring text = qv::FormatW(L"\r\n%ls %u 项：", what, static_cast<unsigned>(entries.size()));
  for (size_t i = 0; i < entries.size() && i < kShown; ++i) {
    const StayedEntry& entry = entries[i];
    // A listing that broke off names no entry: what it did not reach stayed.
    text += (entry.path.empty() ? std::wstring(L"\r\n其余内容") : L"\r\n“" + entry.path + L"”") + L"：" +
            SystemErrorLine(entry.error);
  }
  if (entries.size() > kShown) text += L"\r\n等。";
  return text;
}

}  // namespace

CRCReportManageOutPutSetDlg::CRCReportManageOutPutSetDlg(int version, LPCWSTR strategyName, LPCWSTR reportName)
    : CUiDialogImpl<CRCReportManageOutPutSetDlg>(kLayoutId),
      m_strategyName(strategyName),
      m_version(version),
      m_reportName(reportName) {}

// The layout's real-window elements place the controls.
LRESULT CRCReportManageOutPutSetDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_fields.Create(GetViewHWnd());
  if (!g_reportBriefName.empty())
    m_fields.Fill(g_reportBriefName, g_reportBriefAuthor, g_reportFormatIndex, g_reportOutputFolder);
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

int CRCReportManageOutPutSetDlg::OnBrowse() { return m_fields.ChooseFolder(); }

int CRCReportManageOutPutSetDlg::OnGenerate() {
  const std::wstring name = m_fields.Name();
  const std::wstring author = m_fields.Author();
  const std::wstring folder = m_fields.Folder();
  const std::wstring formatText = m_fields.FormatText();
  LPCWSTR refusal = name.empty()         ? L"请输入简报名称"
                    : author.empty()     ? L"请输入简报作者"
                    : formatText.empty() ? L"请选择简报格式"
                    : folder.empty()     ? L"请选择简报存储路径"
                    : !IsFolderName(name)
                        ? L"简报名称不能用作文件夹名称：不能是“.”或“..”，也不能含有 \\ / : * ? \" < > | 等字符"
                        : nullptr;
  const std::wstring reportFolder = refusal ? std::wstring() : Join(folder, name);
  const std::wstring templateFolder = ReportGenerator::FindTemplate();
  if (!refusal && ReportGenerator::LongestPath(templateFolder, reportFolder) >= MAX_PATH)
    refusal = L"简报存储路径过长，请选择较短的路径或名称";
  if (refusal) {
    UiMessageBox(refusal, kNotice, MB_OK);
    return 0;
  }
  g_reportBriefName = name;
  g_reportBriefAuthor = author;
  g_reportOutputFolder = folder;
  g_reportFormatIndex = m_fields.Format();

  if (templateFolder.empty()) {
    UiMessageBox(L"找不到报告模板文件夹 ReportTemplate", kError, MB_OK);
    return 0;
  }
  ReportGenerator generator;
  ReportGenerator::Result result;
  {
    WaitCursor wait;
    result = generator.Generate(templateFolder, reportFolder,
                                {name, author, qv::OrEmpty(m_strategyName), m_version, qv::OrEmpty(m_reportName)});
  }
  if (result == ReportGenerator::kRecordGone) {
    TellRecordGone(nullptr);  // the list is read again once the dialog has ended
    m_reportGone = true;
    EndDialog(kLeft);
    return 0;
  }
  if (result != ReportGenerator::kGenerated) {
    UiMessageBox(GenerationFailure(result, generator, reportFolder).c_str(), kError, MB_OK);
    return 0;
  }
  m_leftIn = generator.LeftIn();
  if (!m_leftIn.empty()) {
    // Only earlier copies of the report's own files: nothing was to move.
    const bool ownOnly = generator.Left().empty() && !generator.Undeleted().empty();
    std::wstring text = qv::FormatW(L"报告已生成，但原报告文件夹中有内容未能%ls，仍留在文件夹“%ls”中。",
                                    ownOnly ? L"删除" : L"移入新报告", m_leftIn);
    if (!generator.Left().empty()) text += StayedEntries(L"未能移入的有", generator.Left());
    if (!generator.Undeleted().empty()) text += StayedEntries(L"原报告的旧文件未能删除的有", generator.Undeleted());
    UiMessageBox(text.c_str(), kWarning, MB_OK | MB_ICONWARNING);
  }
  EndDialog(kGenerated);
  // Without a program for the page, the folder at least.
  ShellServices& shell = ShellServices::Current();
  if (!shell.OpenPath(ReportGenerator::IndexPath(reportFolder))) shell.OpenPath(reportFolder);
  return 1;
}
