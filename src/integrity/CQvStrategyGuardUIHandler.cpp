#include "integrity/CQvStrategyGuardUIHandler.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "console/AgentLinkNotice.h"
#include "console/AgentLinkPayloadInfo.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/ConnectOrTell.h"
#include "console/LinkRecords.h"
#include "console/ListReadFailure.h"
#include "console/LocalClock.h"
#include "console/RecordGone.h"
#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/StoreAndTell.h"
#include "console/ShellServices.h"
#include "console/SysServerPortConfig.h"
#include "console/SystemErrorText.h"
#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "integrity/CQvStrategyGuardDlg.h"
#include "integrity/StrategyTableRow.h"
#include "integrity/StrategyXmlFile.h"
#include "platform/FileReplacement.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const COLORREF kGreen = 0x00FF00;
const COLORREF kBlue = 0xFF0000;
const COLORREF kRed = 0x0000FF;
const UINT kInfo = MB_ICONINFORMATION;  // 64
const UINT kError = MB_ICONERROR;       // 16

const wchar_t kWarning[] = L"警告";
const wchar_t kErrorCaption[] = L"错误";
const wchar_t kOpenFailed[] = L"打开数据库失败！";
const wchar_t kScheduled[] = L"计划中";
const wchar_t kPaused[] = L"暂停计划";
const wchar_t kResume[] = L"恢复计划";
const wchar_t kRunning[] = L"运行中";
const wchar_t kIdle[] = L"无";
const wchar_t kNoProgress[] = L"--";
const wchar_t kBadImport[] = L"无效的导入文件或文件不存在！";
const wchar_t kImportTooLarge[] = L"导入文件超过 64 MB，无法导入，策略未改变。";

// The largest file the import reads: it is parsed whole in a 32-bit process.
const size_t kMaxImportBytes = 64u * 1024u * 1024u;

const UINT kRegisteredIds[] = {AGENT_MSG_STRATEGY_RUN_LOG, AGENT_MSG_STRATEGY_RUN,
                               AGENT_MSG_STRATEGY_PAUSE,   AGENT_MSG_STRATEGY_STOP,
                               AGENT_MSG_STRATEGY_NEW,     AGENT_MSG_STRATEGY_DELETE,
                               AGENT_MSG_STRATEGY_MODIFY};

const wchar_t* StatusText(int status) {
  return status == 1 ? kScheduled : status == 2 ? kPaused : L"";
}

const wchar_t* RunStatusText(int runStatus) {
  return runStatus == 0 ? kIdle : runStatus == 1 ? kRunning : L"";
}

// The payload of a service message that reached us as a frame with a payload (frame
// types 0 and 1: wParam points at its AgentLinkPayloadInfo), or null when the link is not
// delivering it right now (a message anyone else sent with the same number).
const unsigned char* DeliveredPayload(UINT message, WPARAM wParam, LPARAM lParam, size_t& length) {
  if (!CAgentLink::IsDelivering(message, wParam, lParam)) return nullptr;
  length = reinterpret_cast<const AgentLinkPayloadInfo*>(wParam)->length;
  return reinterpret_cast<const unsigned char*>(lParam);
}

using StrategyKey = CQvStrategyGuardUIHandler::StrategyKey;

// A statement on a strategy's rows: its name, and its id where the row has one of its
// own; then what else the statement asks (rest).
std::wstring OnStrategy(const wchar_t* sql, const StrategyKey& strategy, const wchar_t* rest = L"") {
  return std::wstring(sql) + L" where StrategyName = ?" + (strategy.id.empty() ? L"" : L" and id = ?") + rest;
}

// Binds the strategy's name and id from parameter `first` on.
bool BindStrategy(SQLStatement& statement, int first, const StrategyKey& strategy) {
  return statement.BindString(first, strategy.name.c_str()) &&
         (strategy.id.empty() || statement.BindString(first + 1, strategy.id.c_str()));
}

// The chooser of both file commands: integrity.xml, one filter for "*.xml".
ShellServices::FileRequest XmlFileRequest() {
  return ShellServices::FileRequest{L"integrity", L"xml", L"*.xml", L"*.xml",
                                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT};
}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

enum class FileRead { kRead, kFailed, kTooLarge };

// Stops reading once the file proves larger than `limit`.
FileRead ReadFileBytes(const std::wstring& path, size_t limit, std::string& bytes) {
  File f(_wfopen(path.c_str(), L"rb"), &fclose);
  if (!f) return FileRead::kFailed;
  char buffer[65536];
  size_t n;
  bytes.clear();
  while ((n = fread(buffer, 1, sizeof buffer, f.get())) > 0) {
    if (n > limit - bytes.size()) return FileRead::kTooLarge;
    bytes.append(buffer, n);
  }
  return ferror(f.get()) ? FileRead::kFailed : FileRead::kRead;
}

// A file row as table values: texts from the ANSI code page (or UTF-8 where the file
// says so), integers as the leading decimal number of their text (0 without one),
// RunStatus 0 as for a new strategy.
StrategyTableRow FromFile(const StrategyXmlFile::Row& values, bool utf8) {
  StrategyTableRow row;
  for (int i = 0; i < int(StrategyXmlFile::kAttributeCount); ++i) {
    if (StrategyTableRow::ColumnAt(i).text)
      row.SetText(i, utf8 ? qv::Utf8ToWide(values[size_t(i)]) : qv::AnsiToWide(values[size_t(i)]));
    else
      row.SetInt(i, int(std::strtol(values[size_t(i)].c_str(), nullptr, 10)));
  }
  row.SetInt(StrategyTableRow::kRunStatus, 0);
  return row;
}

// The file's values of a table row; false when a text has no exact ANSI form.
bool ToFile(const StrategyTableRow& row, StrategyXmlFile::Row& values) {
  values.assign(StrategyXmlFile::kAttributeCount, std::string());
  for (int i = 0; i < int(StrategyXmlFile::kAttributeCount); ++i) {
    if (!StrategyTableRow::ColumnAt(i).text)
      values[size_t(i)] = std::to_string(row.Int(i));
    else if (!qv::WideToAnsiExact(row.Text(i), values[size_t(i)]))
      return false;
  }
  return true;
}

}  // namespace

CQvStrategyGuardUIHandler::CQvStrategyGuardUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollId, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_wizardGoing(L"QuorvaneWizardLetGo") {}

CQvStrategyGuardUIHandler::~CQvStrategyGuardUIHandler() {
  m_wizardGoing.Stop();
  m_goneWizard.reset();
  if (m_logPane && ::IsWindow(m_logPane)) ::DestroyWindow(m_logPane);
}

int CQvStrategyGuardUIHandler::Init() {
  m_registered = m_owner->GetHWnd();
  for (UINT id : kRegisteredIds) CAgentLinkManager::RegisterWindow(AgentLinkWindow{m_registered, id});

  const HWND view = m_owner->GetViewHWnd();
  m_grid.Create(view, nullptr, nullptr, 0, 0, kGrid);
  m_grid.AddColumn(L"策略名称", 190, -1, FALSE, FALSE, ITEM_FORMAT_HYPERLINK, ITEM_FLAGS_LEFT);
  m_grid.AddColumn(L"描述", 200, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT);
  m_grid.AddColumn(L"模式", 90, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"策略状态", 60, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"运行状态", 60, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_grid.AddColumn(L"进度", 60, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  m_owner->EnableItem(kItemStop, FALSE);
  m_logPane = RichEditCreate(view, kLogPane,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                 ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                             CUIResource::GetSkinBitmap(), kLogScrollId);

  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) return -1;
  LoadRows(link);
  return 0;
}

// The window it registered may be gone by now: its pages are torn down after it.
int CQvStrategyGuardUIHandler::Uninit() {
  m_wizardGoing.Stop();
  m_goneWizard.reset();
  for (UINT id : kRegisteredIds) CAgentLinkManager::UnregisterWindow(AgentLinkWindow{m_registered, id});
  m_registered = nullptr;
  return 0;
}

int CQvStrategyGuardUIHandler::LoadStrategies() {
  SQLServerLink link;
  if (!ConnectOrTell(link, nullptr, L"连接数据库错误")) return 0;
  return LoadRows(link);
}

void CQvStrategyGuardUIHandler::StrategiesGone() {
  TellRecordGone([this] { LoadStrategies(); });
}

int CQvStrategyGuardUIHandler::AddStrategyRow(const wchar_t* name, const wchar_t* descriptor,
                                              int taskMode, int status, int runStatus, const std::wstring& id) {
  const int row = m_grid.AddItem(name, -1, ITEM_FORMAT_CHECKBOX);
  if (row < 0) return row;
  m_ids.push_back(id);
  m_grid.SetItemData(row, static_cast<unsigned long>(m_ids.size()));
  m_grid.SetItemText(row, kColDescriptor, descriptor);
  m_grid.SetItemText(row, kColMode, taskMode == 3 ? L"单次任务" : L"计划任务");
  SetCell(row, kColStatus, StatusText(status), kGreen);
  SetCell(row, kColRunStatus, RunStatusText(runStatus), kBlue);
  SetCell(row, kColProgress, kNoProgress, kBlue);
  return row;
}

LRESULT CQvStrategyGuardUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (const UINMREALWNDRESIZED* resized = RealWndResizedOf(pnmh, kGrid)) {
    OnSize(resized->rcWnd);
    return 0;
  }
  switch (CommandItemOf(pnmh)) {
    case kItemNew: OnNewStrategy(); break;
    case kItemModify: OnModifyStrategy(); break;
    case kItemDelete: OnDeleteStrategy(); break;
    case kItemImport: OnImportXml(); break;
    case kItemExport: OnExportXml(); break;
    case kItemRun: OnRunStrategy(); break;
    case kItemPauseResume: OnPauseResume(); break;
    case kItemStop: OnStopStrategy(); break;
    default: bHandled = FALSE; break;
  }
  return 0;
}

void CQvStrategyGuardUIHandler::OnNewStrategy() {
  auto wizard = std::make_unique<CQvStrategyGuardDlg>(CQvStrategyGuardDlg::kModeNew, this);
  if (wizard->Load(CQvStrategyGuardDlg::kLayoutId)) wizard->DoModal(m_owner->GetHWnd());
  LetGoLater(std::move(wizard));
}

void CQvStrategyGuardUIHandler::LetGoLater(std::unique_ptr<CQvStrategyGuardDlg> wizard) {
  m_wizardGoing.Stop();
  m_goneWizard = std::move(wizard);
  m_wizardGoing.Start(m_owner->GetHWnd(), [this](DWORD until) {
    while (m_goneWizard->LetGoSome())
      if (!IdleSlices::Within(until)) return true;
    m_goneWizard.reset();
    return false;
  });
}

void CQvStrategyGuardUIHandler::OnModifyStrategy() {
  const int checked = m_grid.GetCheckedCount(kColName);
  if (checked <= 0) {
    UiMessageBox(L"您没有选择要修改的策略!", kWarning, kInfo);
    return;
  }
  if (checked > 1) {
    UiMessageBox(L"您不能对多个策略进行修改!", kWarning, kInfo);
    return;
  }
  auto wizard = std::make_unique<CQvStrategyGuardDlg>(CQvStrategyGuardDlg::kModeModify, this);
  if (wizard->Load(CQvStrategyGuardDlg::kLayoutId)) wizard->DoModal(m_owner->GetHWnd());
  LetGoLater(std::move(wizard));
}

// Per strategy: its rows are deleted in one transaction, committed only once the
// service has heard of it (StoreAndTell), and only then do its grid rows go. A failure,
// or a send the link cannot take, keeps that strategy and the ones after it. A strategy
// with no rows left (another console deleted it) is not told to the service.
void CQvStrategyGuardUIHandler::OnDeleteStrategy() {
  if (UiMessageBox(L"确定要删除这些策略吗？", kWarning, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) return;
  // Every message comes with the link closed; it is opened again to go on.
  bool anyGone = false;
  for (const StrategyKey& strategy : CheckedStrategies()) {
    StrategyNameRecord record{};
    if (!NameRecord(strategy.name, record, &link)) continue;
    if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) break;
    const int stored = StoreAndTellRecord(link, [&] { return DeleteRows(link, strategy); },
                                          [&] { return SendRecord(AGENT_MSG_STRATEGY_DELETE, &record, sizeof record); });
    anyGone = anyGone || stored == 0;
    if (stored < 0) break;
    if (stored == 0) continue;
    const std::vector<int> rows = RowsOf(strategy);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) m_grid.DeleteItem(*row);
  }
  link.Disconnect();
  if (anyGone) StrategiesGone();
}

void CQvStrategyGuardUIHandler::OnRunStrategy() {
  const std::vector<StrategyKey> strategies = CheckedStrategies();
  if (strategies.empty()) {
    UiMessageBox(L"请选择要执行的策略!", kWarning, kInfo);
    return;
  }
  bool anyGone = false;
  for (const StrategyKey& strategy : strategies) SendStrategy(strategy, AGENT_MSG_STRATEGY_RUN, &anyGone);
  if (anyGone) StrategiesGone();
}

int CQvStrategyGuardUIHandler::SendStrategy(const StrategyKey& strategy, UINT messageId, bool* gone) {
  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) return 0;
  int type = 0;
  const int read = StoredStrategyType(link, strategy, type);
  link.Disconnect();
  if (read == 0 && gone) *gone = true;  // no such strategy: nothing to run
  if (read <= 0) return 1;
  StrategyRunRecord record{};
  if (!WriteFixedText(record.StrategyName, strategy.name)) {
    UiMessageBox(L"策略名称超过63个字符，命令未发送！", kWarning, kInfo);
    return 1;
  }
  record.StrategyType = static_cast<uint32_t>(type);
  SentOrTellLinkDown(g_agentLinkManager.SendOnChannel3(0, messageId, &record, sizeof record));
  return 1;
}

void CQvStrategyGuardUIHandler::OnPauseResume() {
  const std::vector<StrategyKey> strategies = CheckedStrategies();
  if (strategies.empty()) {
    UiMessageBox(L"请选择要暂停的策略！", kWarning, kInfo);
    return;
  }
  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) return;
  // Per strategy, as the delete: Status is written, the service told, then committed, and
  // only then does the grid show the new state. A failure keeps it and the ones after it.
  // 1547 toggles: a row that no longer shows the stored state (another console paused or
  // resumed the strategy since) sends nothing, or the service would toggle it back.
  // Every message comes with the link closed; it is opened again to go on.
  bool anyGone = false;
  std::wstring changed;  // the strategies whose state was changed elsewhere
  for (const StrategyKey& strategy : strategies) {
    const std::wstring& name = strategy.name;
    StrategyNameRecord record{};
    if (!NameRecord(name, record, &link)) continue;
    const std::vector<int> checked = CheckedRowsOf(strategy);
    if (checked.empty()) continue;
    // The checked row says which way; the service pauses or resumes the whole strategy.
    const bool scheduled = m_grid.GetItemText(checked.front(), kColStatus) == kScheduled;
    if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) break;
    bool elsewhere = false;
    auto write = [&] {
      const int set = SetStrategyStatus(link, scheduled ? 2 : 1, strategy);
      if (set != 0) return set;
      int type = 0;
      const int exists = ReadStrategyType(link, strategy, type);
      elsewhere = exists > 0;
      return exists < 0 ? -1 : 0;
    };
    const int stored = StoreAndTellRecord(link, write,
                                          [&] { return SendRecord(AGENT_MSG_STRATEGY_PAUSE, &record, sizeof record); });
    if (stored == 0 && elsewhere) changed += (changed.empty() ? L"" : L"、") + name;
    anyGone = anyGone || (stored == 0 && !elsewhere);
    if (stored < 0) break;
    if (stored == 0) continue;
    for (int row : RowsOf(strategy)) SetCell(row, kColStatus, scheduled ? kPaused : kScheduled, kGreen);
    m_owner->SetItemText(kItemPauseResume, scheduled ? kResume : kPaused);
  }
  link.Disconnect();
  if (!changed.empty()) {
    UiMessageBox(qv::FormatW(L"策略“%ls”的状态已被其他控制台更改，命令未发送，列表将重新读取。", changed.c_str()).c_str(),
                 L"提示", kInfo);
    if (!anyGone) LoadStrategies();
  }
  if (anyGone) StrategiesGone();
}

void CQvStrategyGuardUIHandler::OnStopStrategy() {
  const std::vector<StrategyKey> strategies = CheckedStrategies();
  if (strategies.empty()) {
    UiMessageBox(L"请选择要终止的策略！", kWarning, kInfo);
    return;
  }
  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) return;
  // Every message comes with the link closed; it is opened again to go on.
  bool anyGone = false;
  for (const StrategyKey& strategy : strategies) {
    if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) break;
    int type = 0;
    const int read = StoredStrategyType(link, strategy, type);
    anyGone = anyGone || read == 0;
    if (read <= 0 || !SendName(strategy.name, AGENT_MSG_STRATEGY_STOP, &link)) continue;
    for (int row : RowsOf(strategy)) {
      SetCell(row, kColStatus, L"停止", kRed);
      SetCell(row, kColRunStatus, kNoProgress, kBlue);
    }
  }
  link.Disconnect();
  m_owner->EnableItem(kItemRun, TRUE);
  m_owner->EnableItem(kItemPauseResume, FALSE);
  if (anyGone) StrategiesGone();
}

// Run and pause follow the checked rows: nothing of a running strategy may be
// started or paused again.
LRESULT CQvStrategyGuardUIHandler::OnListCheckChanged(int, LPNMHDR, BOOL&) {
  int checked = 0;
  bool running = false;
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    if (m_grid.GetItemCheck(row, kColName) <= 0) continue;
    ++checked;
    if (m_grid.GetItemText(row, kColRunStatus) == kRunning) {
      m_owner->EnableItem(kItemRun, FALSE);
      m_owner->EnableItem(kItemPauseResume, FALSE);
      running = true;
    } else if (!running) {
      const bool scheduled = m_grid.GetItemText(row, kColStatus) == kScheduled;
      m_owner->SetItemText(kItemPauseResume, scheduled ? kPaused : kResume);
      m_owner->EnableItem(kItemPauseResume, TRUE);
    }
  }
  // With nothing checked the buttons stay as they were.
  if (checked > 0 && !running) m_owner->EnableItem(kItemRun, TRUE);
  return 1;
}

// The description takes what the fixed columns leave, never less than 50 pixels.
void CQvStrategyGuardUIHandler::OnSize(const RECT& rect) {
  const int width = rect.right - rect.left - 480;
  m_grid.SetColumnWidth(kColDescriptor, width < 50 ? 50 : width);
}

LRESULT CQvStrategyGuardUIHandler::OnRunState(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  size_t length = 0;
  const unsigned char* payload = DeliveredPayload(uMsg, wParam, lParam, length);
  StrategyRunStateRecord record;
  if (!payload || !ReadStrategyRunState(payload, length, record)) return 0;
  const bool running = record.State == 1;
  bool checked = false;
  for (int row : RowsOf(record.StrategyName)) {
    SetCell(row, kColRunStatus, running ? kRunning : kIdle, kBlue);
    checked = checked || m_grid.GetItemCheck(row, kColName) > 0;
  }
  if (checked) {
    m_owner->EnableItem(kItemRun, !running);
    m_owner->EnableItem(kItemPauseResume, !running);
  }
  return 0;
}

// The schedule cell already shows what the command set (and wrote to the database).
// The answers name no strategy: they are for the checked ones, on all of their rows.
LRESULT CQvStrategyGuardUIHandler::OnPauseResumeAck(UINT, WPARAM, LPARAM, BOOL&) {
  for (const StrategyKey& strategy : CheckedStrategies())
    for (int row : RowsOf(strategy)) SetCell(row, kColRunStatus, kNoProgress, kBlue);
  return 0;
}

LRESULT CQvStrategyGuardUIHandler::OnStopAck(UINT, WPARAM, LPARAM, BOOL&) {
  for (const StrategyKey& strategy : CheckedStrategies()) {
    for (int row : RowsOf(strategy)) {
      SetCell(row, kColStatus, L"停止", kRed);
      SetCell(row, kColRunStatus, kNoProgress, kBlue);
    }
  }
  return 0;
}

// The delete command has removed the rows already.
LRESULT CQvStrategyGuardUIHandler::OnDeleteAck(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT CQvStrategyGuardUIHandler::OnModifyAck(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT CQvStrategyGuardUIHandler::OnRunLog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  size_t length = 0;
  const unsigned char* payload = DeliveredPayload(uMsg, wParam, lParam, length);
  StrategyRunLogRecord record;
  // No more of the reason than a line keeps: the frame may hold megabytes of it.
  if (!payload || !ReadStrategyRunLog(payload, length, record, kLogLineChars)) return 0;
  // One run for the line and its break: every append keeps the user's selection and
  // view, once.
  std::wstring line = L"策略名称：" + record.StrategyName + L"     ";
  switch (record.Result) {
    case 1: line += L"开始运行 "; break;
    case 2: line += L"运行成功 "; break;
    case 3: line += L"运行失败      " + record.Reason; break;
    default: break;
  }
  const std::wstring time = LocalClock::TimeText();
  // A line cut shows so, and its time stays apart from the cut text (a pair of
  // surrogates goes whole or not at all).
  if (line.size() + time.size() > static_cast<size_t>(kLogLineChars)) {
    const wchar_t cut[] = L"… ";
    size_t keep = kLogLineChars - time.size() - (sizeof cut / sizeof cut[0] - 1);
    if (IS_HIGH_SURROGATE(line[keep - 1])) --keep;
    line.resize(keep);
    line += cut;
  }
  line += time + L"\r\n";
  RichEditAppendText(m_logPane, line.c_str(), FALSE, 0);
  // The service logs for as long as the console runs; under Wine a line kept costs
  // about 10 KiB, and a long one much more.
  RichEditKeepLastLines(m_logPane, kLogLines, kLogChars, kLogBatch);
  return 0;
}

CQvStrategyGuardUIHandler::StrategyKey CQvStrategyGuardUIHandler::KeyOf(int row) const {
  std::wstring id = StrategyIdOf(row);
  if (!StrategyTableRow::OwnId(id)) id.clear();
  return StrategyKey{m_grid.GetItemText(row, kColName), id};
}

std::vector<CQvStrategyGuardUIHandler::StrategyKey> CQvStrategyGuardUIHandler::CheckedStrategies() const {
  std::vector<StrategyKey> strategies;
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    if (m_grid.GetItemCheck(row, kColName) <= 0) continue;
    StrategyKey strategy = KeyOf(row);
    bool seen = false;
    for (const StrategyKey& s : strategies) seen = seen || (s.name == strategy.name && s.id == strategy.id);
    if (!seen) strategies.push_back(std::move(strategy));
  }
  return strategies;
}

std::vector<int> CQvStrategyGuardUIHandler::CheckedRowsOf(const StrategyKey& strategy) const {
  std::vector<int> rows;
  for (int row : RowsOf(strategy))
    if (m_grid.GetItemCheck(row, kColName) > 0) rows.push_back(row);
  return rows;
}

std::vector<int> CQvStrategyGuardUIHandler::RowsOf(const StrategyKey& strategy) const {
  std::vector<int> rows;
  for (int row : RowsOf(strategy.name))
    if (KeyOf(row).id == strategy.id) rows.push_back(row);
  return rows;
}

std::vector<int> CQvStrategyGuardUIHandler::RowsOf(const std::wstring& name) const {
  std::vector<int> rows;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemText(row, kColName) == name) rows.push_back(row);
  return rows;
}

void CQvStrategyGuardUIHandler::SetCell(int row, int column, const wchar_t* text, COLORREF colour) {
  m_grid.SetItemText(row, column, text);
  m_grid.SetItemColours(row, column, CLR_INVALID, colour);
}

bool CQvStrategyGuardUIHandler::NameRecord(const std::wstring& name, StrategyNameRecord& record,
                                           SQLServerLink* open) {
  if (WriteFixedText(record.StrategyName, name)) return true;
  if (open) open->Disconnect();
  UiMessageBox(L"策略名称超过63个字符，命令未发送！", kWarning, kInfo);
  return false;
}

bool CQvStrategyGuardUIHandler::SendRecord(UINT messageId, const void* record, uint32_t size) {
  return g_agentLinkManager.SendOnChannel3(0, messageId, record, size) != 0;
}

bool CQvStrategyGuardUIHandler::SendName(const std::wstring& name, UINT messageId, SQLServerLink* open) {
  StrategyNameRecord record{};
  if (!NameRecord(name, record, open)) return false;
  const bool sent = SendRecord(messageId, &record, sizeof record);
  if (!sent && open) open->Disconnect();
  return SentOrTellLinkDown(sent);
}

void CQvStrategyGuardUIHandler::ReloadChecking(const std::wstring& id, const std::wstring& name,
                                               const std::wstring& descriptor) {
  if (!LoadStrategies()) return;
  int chosen = -1;
  for (int row : RowsOf(name)) {
    if (!id.empty() && StrategyIdOf(row) != id) continue;
    if (m_grid.GetItemText(row, kColDescriptor) == descriptor) {
      chosen = row;
      break;
    }
    if (chosen < 0) chosen = row;
  }
  if (chosen >= 0) m_grid.SetItemCheck(chosen, kColName, 1);
}

std::wstring CQvStrategyGuardUIHandler::StrategyIdOf(int row) const {
  unsigned long data = 0;
  if (!m_grid.GetItemData(row, data) || data == 0 || data > m_ids.size()) return std::wstring();
  return m_ids[data - 1];
}

void CQvStrategyGuardUIHandler::RenameCheckedRow(const wchar_t* name, const wchar_t* descriptor) {
  for (int row = 0; row < m_grid.GetItemCount(); ++row) {
    if (m_grid.GetItemCheck(row, kColName) <= 0) continue;
    m_grid.SetItemText(row, kColName, name);
    m_grid.SetItemText(row, kColDescriptor, descriptor);
    return;
  }
}

void CQvStrategyGuardUIHandler::OnExportXml() {
  SQLServerLink check;
  if (!ConnectOrTell(check, kOpenFailed, kWarning, kInfo)) return;
  check.Disconnect();
  std::wstring path;
  if (!ShellServices::Current().ChooseSaveFile(XmlFileRequest(), path)) return;
  if (!ExportTable(path)) return;
  UiMessageBox(L"导出成功！", kWarning, MB_OK);
}

// The whole file is checked before the table is touched.
void CQvStrategyGuardUIHandler::OnImportXml() {
  SQLServerLink check;
  if (!ConnectOrTell(check, kOpenFailed, kWarning, kInfo)) return;
  check.Disconnect();
  std::wstring path;
  if (!ShellServices::Current().ChooseOpenFile(XmlFileRequest(), path)) return;
  if (!ReplaceTable(path)) return;
  LoadStrategies();
  UiMessageBox(L"导入成功！", kWarning, MB_OK);
}

// ---- Statements

int CQvStrategyGuardUIHandler::LoadRows(SQLServerLink& link) {
  SQLStatement* statement = link.CreateStatement(
      L"select distinct StrategyName, StrategyDescriptor, TaskMode, Status, RunStatus, id "
      L"from StrategyTable");
  if (!statement) {
    TellListUnread(kReadStrategiesFailed, link, kErrorCaption);
    return 0;
  }
  // Scroll bars and paint once, after the last row.
  m_grid.SendMessage(WM_SETREDRAW, FALSE);
  m_grid.DeleteAllItems();
  m_ids.clear();
  bool whole = true;  // a grid that cannot take another row holds part of the list
  while (whole && statement->Fetch()) {
    const wchar_t* name = statement->GetString(0);
    const wchar_t* descriptor = statement->GetString(1);
    whole = AddStrategyRow(qv::OrEmpty(name), qv::OrEmpty(descriptor), statement->GetInt(2),
                           statement->GetInt(3), statement->GetInt(4), qv::OrEmpty(statement->GetString(5))) >= 0;
  }
  // Part of the list would pass for all of it.
  const bool failed = !whole || statement->Failed() != 0;
  if (failed) m_grid.DeleteAllItems();
  m_grid.SendMessage(WM_SETREDRAW, TRUE);
  m_grid.Invalidate();
  if (failed) {
    const std::wstring reason = whole ? qv::OrEmpty(link.GetLastErrorText()) : kGridFullReason;
    link.Disconnect();
    TellListUnread(kReadStrategiesFailed, reason.c_str(), kErrorCaption);
    return 0;
  }
  return 1;
}

int CQvStrategyGuardUIHandler::DeleteRows(SQLServerLink& link, const StrategyKey& strategy) {
  auto bind = [&](SQLStatement& s) { return BindStrategy(s, 0, strategy); };
  const std::wstring check = OnStrategy(L"select StrategyName from StrategyTable", strategy);
  const std::wstring change = OnStrategy(L"delete from StrategyTable", strategy);
  return ExecuteOnRecord(link, {check.c_str(), bind}, {change.c_str(), bind});
}

int CQvStrategyGuardUIHandler::StoredStrategyType(SQLServerLink& link, const StrategyKey& strategy, int& type) {
  const int read = ReadStrategyType(link, strategy, type);
  if (read < 0) {
    const std::wstring reason = qv::OrEmpty(link.GetLastErrorText());
    link.Disconnect();
    UiMessageBox(qv::FormatW(L"读取策略“%ls”的类型失败：%ls", strategy.name.c_str(), reason.c_str()).c_str(),
                 kErrorCaption, kError);
  }
  return read;
}

int CQvStrategyGuardUIHandler::ReadStrategyType(SQLServerLink& link, const StrategyKey& strategy, int& type) {
  const std::wstring sql = OnStrategy(L"select StrategyType from StrategyTable", strategy);
  SQLStatement* statement = link.CreateStatement(sql.c_str());
  if (!statement || !BindStrategy(*statement, 0, strategy) || !statement->SetMaxRows(1)) return -1;
  if (!statement->Fetch()) return statement->Failed() ? -1 : 0;
  type = statement->GetInt(0);
  return 1;
}

// The stored state is read with the write: a pause changes only rows that are
// scheduled, a resume only rows that are not.
int CQvStrategyGuardUIHandler::SetStrategyStatus(SQLServerLink& link, int status, const StrategyKey& strategy) {
  const wchar_t* state = status == 2 ? L" and Status = 1" : L" and (Status is null or Status <> 1)";
  const std::wstring check = OnStrategy(L"select StrategyName from StrategyTable", strategy, state);
  const std::wstring change = OnStrategy(L"update StrategyTable set Status = ?", strategy, state);
  return ExecuteOnRecord(
      link, {check.c_str(), [&](SQLStatement& s) { return BindStrategy(s, 0, strategy); }},
      {change.c_str(), [&](SQLStatement& s) { return s.BindInt(0, status) && BindStrategy(s, 1, strategy); }});
}

// The file's rows replace the table in one transaction: all of them or none.
int CQvStrategyGuardUIHandler::ReplaceTable(const std::wstring& path) {
  std::string bytes;
  std::vector<StrategyXmlFile::Row> values;
  std::vector<StrategyTableRow> rows;
  const FileRead read = ReadFileBytes(path, kMaxImportBytes, bytes);
  if (read == FileRead::kTooLarge) {
    UiMessageBox(kImportTooLarge, kWarning, kInfo);
    return 0;
  }
  bool utf8 = false;
  char32_t unheld = 0;
  bool valid = read == FileRead::kRead && StrategyXmlFile::Read(bytes, values, &utf8, qv::WideToAnsiExact, &unheld);
  for (size_t i = 0; valid && i < values.size(); ++i) {
    rows.push_back(FromFile(values[i], utf8));
    valid = rows.back().FirstOverlongColumn() < 0;
  }
  if (unheld) {
    UiMessageBox(qv::FormatW(L"导入失败！文件“%ls”中有当前代码页无法表示的字符（&#x%X;），策略未改变。", path.c_str(),
                             static_cast<unsigned>(unheld)).c_str(),
                 kWarning, kInfo);
    return 0;
  }
  if (!valid) {
    UiMessageBox(kBadImport, kWarning, kInfo);
    return 0;
  }
  SQLServerLink link;
  if (!ConnectOrTell(link, kOpenFailed, kWarning, kInfo)) return 0;
  std::wstring error;
  const bool done = RunInTransaction(
      link,
      [&] {
        bool written = link.ExecDirect(L"delete from StrategyTable") != 0;
        for (size_t i = 0; written && i < rows.size(); ++i) written = rows[i].Insert(link) != 0;
        return written;
      },
      &error);
  link.Disconnect();
  if (!done) TellError(error.c_str());
  return done;
}

int CQvStrategyGuardUIHandler::ExportTable(const std::wstring& path) {
  std::vector<StrategyXmlFile::Row> values;
  {
    SQLServerLink link;
    SQLStatement* statement = Connect(link) ? StrategyTableRow::SelectAll(link) : nullptr;
    if (!statement) {
      TellError(link);
      return 0;
    }
    StrategyTableRow row;
    bool exact = true;
    while (exact && statement->Fetch()) {
      row.Read(*statement);
      values.emplace_back();
      exact = ToFile(row, values.back());
    }
    if (statement->Failed()) {
      TellError(link);
      return 0;
    }
    if (!exact) {
      link.Disconnect();  // its rows are still being read
      UiMessageBox(L"导出失败！策略中有当前代码页无法表示的字符。", kErrorCaption, kError);
      return 0;
    }
  }
  DWORD error = 0;
  if (!FileReplacement::WriteWhole(path, StrategyXmlFile::Write(values), &error)) {
    // A failed replacement leaves what was there; a file there is the earlier one.
    const wchar_t* earlier = FileReplacement::IsFile(path) ? L"\r\n原有的文件未被改动。" : L"";
    UiMessageBox(qv::FormatW(L"导出失败！%ls%ls", WriteFailureText(path, error), earlier).c_str(), kErrorCaption, kError);
    return 0;
  }
  return 1;
}
