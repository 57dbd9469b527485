#include "reports/CRCReportManagementUIHandler.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

#include "console/ConnectOrTell.h"
#include "console/CurrentDirectoryKeeper.h"
#include "console/ListReadFailure.h"
#include "console/LocalClock.h"
#include "console/RecordGone.h"
#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/ShellServices.h"
#include "console/SystemErrorText.h"
#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "platform/FileReplacement.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "reports/ReportGenerator.h"
#include "reports/ReportListAnsiCharset.h"
#include "reports/ReportListXml.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kOpenFailed[] = L"打开 ReportCenter.db 数据库时出错";
const wchar_t kError[] = L"错误";
const wchar_t kNotice[] = L"提示";
const wchar_t kWarning[] = L"警告";

const COLORREF kGridPressed = 0xCFBBA2;
const COLORREF kGridSelected = 0xCDFAFF;
const COLORREF kGridHeaderBottom = 0xF5C2A9;
const COLORREF kTimeText = 0xD0E040;
const COLORREF kTimeBackground = 0xFFFFFF;
const COLORREF kLeftInText = 0x0000FF;
const DWORD kLogStyle =
    WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL;

struct ListedReport {
  std::wstring name;
  std::wstring strategyName;
  std::wstring produceTime;
  int version;
};

using qv::OrEmpty;

ShellServices::FileRequest ReportFileRequest(DWORD extraFlags) {
  return ShellServices::FileRequest{L"report", L"xml", L"XML 文件(*.xml)", L"*.xml",
                                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | extraFlags};
}

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// False for a file that cannot be read or is larger than any report list can be.
bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  FilePtr file(_wfopen(path.c_str(), L"rb"));
  if (!file) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (bytes.size() + n > ReportListXml::kMaxFileBytes) return false;
    bytes.append(buffer, n);
  }
  return !std::ferror(file.get());
}

// Runs work on a database link of its own, closed when work returns: the page shows no
// box or dialog while it holds a connection. False (told) when it cannot connect.
template <class Work>
bool OnOwnLink(Work work) {
  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kError, MB_OK)) return false;
  work(link);
  return true;
}

// The database answers: checked before the user is asked anything, on a link that is
// closed again at once.
bool DatabaseAnswers() {
  return OnOwnLink([](SQLServerLink&) {});
}

// The statements of the page, at the end of this file.
bool ReadReportList(SQLServerLink& link, std::vector<ListedReport>& reports);
// 1 deleted, 0 no report of the name, -1 failed.
int DeleteReports(SQLServerLink& link, const std::wstring& name);
bool ReadReportTable(SQLServerLink& link, std::vector<ReportListXml::Row>& rows);
bool ReplaceReportTable(SQLServerLink& link, const std::vector<ReportListXml::Row>& rows,
                        std::wstring& diagnosis);

}  // namespace

CRCReportManagementUIHandler::CRCReportManagementUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollSkin, kGridPressed, kGridSelected, kGridHeaderBottom) {}

CRCReportManagementUIHandler::~CRCReportManagementUIHandler() = default;

int CRCReportManagementUIHandler::Init() {
  HWND view = m_owner->GetViewHWnd();
  m_grid.Create(view, nullptr, nullptr, 0, 0, kGrid);
  m_grid.AddColumn(L"报告名称", 245, -1, FALSE, TRUE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"对应策略名称", 220, -1, FALSE, TRUE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"报告版本", 200, -1, FALSE, TRUE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"生成时间", 100, -1, FALSE, TRUE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_logBox = RichEditCreate(view, kLogBox, kLogStyle, CUIResource::GetSkinBitmap(), kLogScrollSkin);
  if (!LoadReports()) {
    UiMessageBox(L"初始化 ReportList 数据出错", kError, MB_OK);
    return 0;
  }
  return 1;
}

int CRCReportManagementUIHandler::UnInit() { return 1; }

int CRCReportManagementUIHandler::Refresh() { return LoadReports(); }

// The rows are read whole before the grid changes, so a failure leaves it as it was.
int CRCReportManagementUIHandler::LoadReports() {
  std::vector<ListedReport> reports;
  bool read = false;
  std::wstring diagnosis;
  if (!OnOwnLink([&](SQLServerLink& link) {
        read = ReadReportList(link, reports);
        if (!read) diagnosis = OrEmpty(link.GetLastErrorText());
      }))
    return 0;
  if (!read) {
    TellListUnread(kReadReportsFailed, diagnosis.c_str(), kError);
    return 0;
  }
  // Scroll bars and paint once, after the last row.
  m_grid.SendMessage(WM_SETREDRAW, FALSE);
  m_grid.DeleteAllItems();
  bool whole = true;  // a grid that cannot take another row holds part of the list
  for (size_t i = 0; whole && i < reports.size(); ++i)
    whole = AddRow(reports[i].name.c_str(), reports[i].strategyName.c_str(), reports[i].produceTime.c_str(),
                   reports[i].version) >= 0;
  // Part of the reports would pass for all of them.
  if (!whole) m_grid.DeleteAllItems();
  m_grid.SendMessage(WM_SETREDRAW, TRUE);
  m_grid.Invalidate();
  if (!whole) {
    TellListUnread(kReadReportsFailed, kGridFullReason, kError);
    return 0;
  }
  return 1;
}

int CRCReportManagementUIHandler::AddRow(LPCWSTR name, LPCWSTR strategyName, LPCWSTR produceTime,
                                         int version) {
  const int row = m_grid.AddItem(name, -1, ITEM_FORMAT_CHECKBOX, 0);
  if (row < 0) return row;
  m_grid.SetItemFlags(row, kColumnName, ITEM_FLAGS_LEFT);
  m_grid.SetItemText(row, kColumnStrategy, strategyName);
  m_grid.SetItemText(row, kColumnVersion, qv::FormatW(L"%d", version).c_str());
  m_grid.SetItemText(row, kColumnTime, produceTime);
  m_grid.SetItemColours(row, kColumnTime, kTimeBackground, kTimeText);
  return row;
}

int CRCReportManagementUIHandler::SelectedRow() const {
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemCheck(row, kColumnName) > 0) return row;
  return -1;
}

LRESULT CRCReportManagementUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->code == UINM_COMMAND) {
    switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
      case kItemGenerate:
        return OnGenerateReport();
      case kItemDelete:
        return OnDeleteReport();
      case kItemImport:
        return OnImportReports();
      case kItemExport:
        return OnExportReports();
    }
  }
  bHandled = FALSE;
  return 0;
}

// The grid has toggled the clicked box itself; only the other boxes are cleared here. A
// click outside the rows (a header click that sorts, for one) comes without a row.
LRESULT CRCReportManagementUIHandler::OnListClick(int, LPNMHDR pnmh, BOOL&) {
  const CListNotify* notify = reinterpret_cast<const CListNotify*>(pnmh);
  if (notify->m_nItem < 0 || notify->m_nSubItem != kColumnName) return 0;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (row != notify->m_nItem && m_grid.GetItemCheck(row, kColumnName) > 0)
      m_grid.SetItemCheck(row, kColumnName, 0);
  return 0;
}

int CRCReportManagementUIHandler::OnGenerateReport() {
  int row = -1, listed = -1;
  std::wstring name, strategyName, diagnosis;
  int version = 0;
  if (!OnOwnLink([&](SQLServerLink& check) {
        row = SelectedRow();
        if (row < 0) return;
        name = m_grid.GetItemText(row, kColumnName);
        strategyName = m_grid.GetItemText(row, kColumnStrategy);
        version = std::atoi(qv::WideToAnsi(m_grid.GetItemText(row, kColumnVersion)).c_str());
        listed = ReportGenerator::Listed(check, name);
        if (listed < 0) diagnosis = OrEmpty(check.GetLastErrorText());
      }))
    return 0;
  if (row < 0) {
    UiMessageBox(L"请选择要生成简报的项", kNotice, MB_OK);
    return 0;
  }
  if (listed < 0) {
    TellError(diagnosis.c_str(), kError, MB_OK);
    return 0;
  }
  if (listed == 0) {  // another console deleted it
    TellRecordGone([this] { LoadReports(); });
    return 0;
  }
  CRCReportManageOutPutSetDlg dialog(version, strategyName.c_str(), name.c_str());
  const UINT ended = dialog.DoModal();
  if (dialog.ReportGone()) LoadReports();  // told by the dialog
  if (ended != CRCReportManageOutPutSetDlg::kGenerated) return 0;
  LogStoreResult(name.c_str(), dialog.LeftIn());
  return 1;
}

void CRCReportManagementUIHandler::LogStoreResult(LPCWSTR name, const std::wstring& leftIn) {
  const std::wstring time = LocalClock::TimeText();
  RichEditAppendText(m_logBox, qv::FormatW(L"%ls 报告名称:%ls 开始存储......", time, name).c_str(), FALSE, 0);
  RichEditAppendNewLine(m_logBox);
  if (leftIn.empty())
    RichEditAppendText(m_logBox, qv::FormatW(L"%ls 报告名称:%ls 存储成功......", time, name).c_str(), FALSE, 0);
  else  // what the earlier report's folder held did not all move over or go
    RichEditAppendText(m_logBox,
                       qv::FormatW(L"%ls 报告名称:%ls 已存储，但有原有内容未能移入或删除，留在“%ls”......", time, name, leftIn).c_str(),
                       FALSE, kLeftInText);
  RichEditAppendNewLine(m_logBox);
}

int CRCReportManagementUIHandler::OnDeleteReport() {
  int row = -1, deleted = -1;
  std::wstring diagnosis;
  if (!OnOwnLink([&](SQLServerLink& link) {
        row = SelectedRow();
        if (row < 0) return;
        deleted = DeleteReports(link, m_grid.GetItemText(row, kColumnName));
        if (deleted < 0) diagnosis = OrEmpty(link.GetLastErrorText());
      }))
    return 0;
  if (row < 0) {
    UiMessageBox(L"请选中要删除的报告", kNotice, MB_OK);
    return 0;
  }
  if (deleted < 0) {
    TellError(diagnosis.c_str(), kError, MB_OK);
    return 0;
  }
  if (deleted == 0) {  // another console deleted it
    TellRecordGone([this] { LoadReports(); });
    return 0;
  }
  // Every report of that name is gone: the list is read again.
  LoadReports();
  return 1;
}

int CRCReportManagementUIHandler::OnImportReports() {
  if (!DatabaseAnswers()) return 0;
  CurrentDirectoryKeeper keep;
  std::wstring path;
  if (!ShellServices::Current().ChooseOpenFile(ReportFileRequest(OFN_FILEMUSTEXIST), path)) return 0;
  std::string bytes;
  std::vector<ReportListXml::Row> rows;
  char32_t unheld = 0;
  if (!ReadFileBytes(path, bytes) || !ReportListXml::Read(bytes, ReportListAnsiCharset(), rows, &unheld)) {
    if (unheld)
      UiMessageBox(qv::FormatW(L"导入文件“%ls”含有系统代码页无法表示的字符（&#x%X;），未能导入，报告列表未被改动。",
                               path.c_str(), static_cast<unsigned>(unheld)).c_str(),
                   kError, MB_OK);
    else
      UiMessageBox(L"导入文件无法读取或格式不正确", kError, MB_OK);
    return 0;
  }
  bool replaced = false;
  std::wstring diagnosis;
  if (!OnOwnLink([&](SQLServerLink& link) { replaced = ReplaceReportTable(link, rows, diagnosis); })) return 0;
  if (!replaced) {
    TellError(diagnosis.c_str(), kError, MB_OK);
    return 0;
  }
  LoadReports();
  UiMessageBox(L"导入成功！", kWarning, MB_OK);
  return 1;
}

int CRCReportManagementUIHandler::OnExportReports() {
  if (!DatabaseAnswers()) return 0;
  CurrentDirectoryKeeper keep;
  std::wstring path;
  if (!ShellServices::Current().ChooseSaveFile(ReportFileRequest(0), path)) return 0;
  std::vector<ReportListXml::Row> rows;
  bool read = false;
  std::wstring diagnosis;
  if (!OnOwnLink([&](SQLServerLink& link) {
        read = ReadReportTable(link, rows);
        if (!read) diagnosis = OrEmpty(link.GetLastErrorText());
      }))
    return 0;
  if (!read) {
    TellError(diagnosis.c_str(), kError, MB_OK);
    return 0;
  }
  std::string bytes;
  size_t badRow = 0;
  if (!ReportListXml::Write(rows, ReportListAnsiCharset(), bytes, &badRow)) {
    UiMessageBox(qv::FormatW(L"报告“%ls”含有系统代码页无法表示的字符，未能导出。", rows[badRow].reportName).c_str(),
                 kError, MB_OK);
    return 0;
  }
  DWORD error = 0;
  if (!FileReplacement::WriteWhole(path, bytes, &error)) {
    // A failed replacement leaves what was there; a file there is the earlier one.
    const wchar_t* earlier = FileReplacement::IsFile(path) ? L"未能导出，原有的文件未被改动。" : L"未能导出。";
    UiMessageBox(qv::FormatW(L"%ls\r\n%ls", WriteFailureText(path, error), earlier).c_str(), kError, MB_OK);
    return 0;
  }
  UiMessageBox(L"导出成功！", kWarning, MB_OK);
  return 1;
}

namespace {

// The statements of the page. Values are bound. The file moves the table's five
// columns by position, whatever the last two are called and hold, so the export reads
// "select *" and the import inserts without a column list (the table has no identity
// column); an empty time, fourth or fifth value goes in as NULL, which every column type
// takes, and comes out as empty again.

const wchar_t kListQuery[] =
    L"select ReportName,StrategyName,ProduceTime,StrategyVersion from ReportCenterTable";
const wchar_t kDeleteByName[] = L"delete from ReportCenterTable where ReportName=?";
const wchar_t kSelectNamed[] = L"select ReportName from ReportCenterTable where ReportName=?";
const wchar_t kTableQuery[] = L"select * from ReportCenterTable";
const wchar_t kDeleteAll[] = L"delete from ReportCenterTable";
const wchar_t kInsert[] = L"insert into ReportCenterTable values (?,?,?,?,?)";
const int kFileColumns = 5;
const int kFirstNullable = 2;

bool ReadReportList(SQLServerLink& link, std::vector<ListedReport>& reports) {
  SQLStatement* statement = link.CreateStatement(kListQuery);
  if (!statement) return false;
  while (statement->Fetch())
    reports.push_back({statement->GetAsText(0), statement->GetAsText(1), statement->GetAsText(2), statement->GetInt(3)});
  const bool ok = !statement->Failed();
  link.ReleaseStatement(statement);
  return ok;
}

bool ReadReportTable(SQLServerLink& link, std::vector<ReportListXml::Row>& rows) {
  SQLStatement* statement = link.CreateStatement(kTableQuery);
  if (!statement) return false;
  while (statement->Fetch())
    rows.push_back({statement->GetAsText(0), statement->GetAsText(1), statement->GetAsText(2),
                    statement->GetAsText(3), statement->GetAsText(4)});
  const bool ok = !statement->Failed();
  link.ReleaseStatement(statement);
  return ok;
}

bool Run(SQLServerLink& link, const wchar_t* sql, std::initializer_list<const std::wstring*> values) {
  SQLStatement* statement = link.CreateStatement(sql);
  bool ok = statement != nullptr;
  int index = 0;
  for (const std::wstring* value : values) ok = ok && statement->BindString(index++, value->c_str());
  ok = ok && statement->Execute();
  link.ReleaseStatement(statement);
  return ok;
}

int DeleteReports(SQLServerLink& link, const std::wstring& name) {
  auto bindName = [&](SQLStatement& st) { return st.BindString(0, name.c_str()) != 0; };
  return ExecuteOnRecord(link, {kSelectNamed, bindName}, {kDeleteByName, bindName});
}

bool InsertReport(SQLServerLink& link, const ReportListXml::Row& row) {
  const std::wstring* values[kFileColumns] = {&row.reportName, &row.strategyName, &row.produceTime, &row.fourth,
                                              &row.fifth};
  SQLStatement* statement = link.CreateStatement(kInsert);
  bool ok = statement != nullptr;
  for (int i = 0; ok && i < kFileColumns; ++i) {
    const bool null = i >= kFirstNullable && values[i]->empty();
    ok = null ? statement->BindNull(i) : statement->BindString(i, values[i]->c_str());
  }
  ok = ok && statement->Execute();
  link.ReleaseStatement(statement);
  return ok;
}

bool ReplaceReportTable(SQLServerLink& link, const std::vector<ReportListXml::Row>& rows,
                        std::wstring& diagnosis) {
  return RunInTransaction(
      link,
      [&] {
        bool ok = Run(link, kDeleteAll, {});
        for (size_t i = 0; ok && i < rows.size(); ++i) ok = InsertReport(link, rows[i]);
        return ok;
      },
      &diagnosis);
}

}  // namespace
