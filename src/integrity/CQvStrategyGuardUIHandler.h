#pragma once
// Sub-page "监测策略" of the integrity area (layout 513): the grid of monitoring
// strategies (one row per distinct name, descriptor, mode and state; StrategyTable
// holds one row per monitored target) with the commands that create, modify, delete,
// run, pause, resume and stop them, the export and import of the whole table as an XML
// file, and a log pane in which the service reports strategy runs. The grid is the
// page's only state: every command acts on the strategies of the checked rows, and the
// service's answers change its cells.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "console/AgentMessageId.h"
#include "console/IdleSlices.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CQvStrategyGuardDlg;
class CUiDialogHost;
class SQLServerLink;
struct StrategyNameRecord;

class CQvStrategyGuardUIHandler {
 public:
  enum : UINT {
    kItemNew = 112,
    kItemModify = 113,
    kItemDelete = 114,
    kItemImport = 115,
    kItemExport = 116,
    kItemRun = 117,
    kItemPauseResume = 118,
    kItemStop = 119,
    kGrid = 124,
    kLogPane = 125,
    kLogScrollId = 126,
    kGridScrollId = 136,
  };
  enum : int { kColName, kColDescriptor, kColMode, kColStatus, kColRunStatus, kColProgress };
  // The run-log lines the log pane keeps, the latest, and how many more it takes
  // before the oldest go, all at once. Under Wine a cut costs about 7 ms per line cut
  // (of service lines, 200 to 2,000 characters) with a thousand kept: a batch of 20 is
  // a short pause a second at 20 lines a second, where 100 held a click up to 2 s.
  // The characters are bounded too: Wine's rich edit keeps shaping buffers for every
  // character and splits each line into a run per script (Chinese, Latin, punctuation),
  // each with buffers of its own: 0.2 to 0.3 KiB a character of a failure reason, so a
  // thousand lines of 2,000 characters took 370 to 580 MB; 100,000 characters take
  // about 20 MB.
  // And each line: Wine's rich edit shapes a line whole and lays out one row of it at a
  // cost that grows faster than its length (4,000 characters about 30 ms, 64,000 about
  // 0.7 s, and showing the page again about half that), so a longer failure reason is cut,
  // before anything else is done with it.
  enum : int { kLogLines = 1000, kLogBatch = 20, kLogChars = 100000, kLogLineChars = 4000 };

  // A strategy as a row shows it: its name, and its id where it has one of its own (else
  // empty, and it is found by name). A command acts on the strategy of both: one another
  // console stored since under the same name is another.
  struct StrategyKey {
    std::wstring name, id;
  };

  explicit CQvStrategyGuardUIHandler(CUiDialogHost* owner);
  ~CQvStrategyGuardUIHandler();
  CQvStrategyGuardUIHandler(const CQvStrategyGuardUIHandler&) = delete;
  CQvStrategyGuardUIHandler& operator=(const CQvStrategyGuardUIHandler&) = delete;

  // Registers the service messages, builds the grid and the log pane, then loads the
  // grid: 0, or -1 when the database cannot be opened (the page stands, empty).
  int Init();
  int Uninit();
  // Empties the grid and loads it again; 1 when it could.
  int LoadStrategies();
  // A strategy another console deleted: told, then the list read again.
  void StrategiesGone();
  // Appends the row of one strategy: the one way rows come into the grid. The id is
  // the one its rows were stored under (empty when unknown).
  int AddStrategyRow(const wchar_t* name, const wchar_t* descriptor, int taskMode, int status,
                     int runStatus, const std::wstring& id = std::wstring());
  // The id of the row's strategy as the page read it (empty when unknown): a strategy
  // another console renamed since is still found by it.
  std::wstring StrategyIdOf(int row) const;
  // Sends 1546 with the strategy's type from the database; 0 when the database cannot
  // be opened. A type that cannot be read is told and nothing is sent; a strategy with no
  // rows left sends nothing and sets *gone.
  int SendStrategy(const StrategyKey& strategy, UINT messageId, bool* gone = nullptr);

  // Reads the list again with only the strategy's row checked (one of its id showing its
  // description, else its first): the wizard goes on modifying it as it is stored now.
  void ReloadChecking(const std::wstring& id, const std::wstring& name, const std::wstring& descriptor);
  // The first checked row takes a modified strategy's new name and description.
  void RenameCheckedRow(const wchar_t* name, const wchar_t* descriptor);

  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }
  HWND LogPane() const { return m_logPane; }

  BEGIN_MSG_MAP_EX(CQvStrategyGuardUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    MESSAGE_HANDLER(AGENT_MSG_STRATEGY_RUN, OnRunState)
    MESSAGE_HANDLER(AGENT_MSG_STRATEGY_PAUSE, OnPauseResumeAck)
    MESSAGE_HANDLER(AGENT_MSG_STRATEGY_STOP, OnStopAck)
    MESSAGE_HANDLER(AGENT_MSG_STRATEGY_DELETE, OnDeleteAck)
    MESSAGE_HANDLER(AGENT_MSG_STRATEGY_MODIFY, OnModifyAck)
    MESSAGE_HANDLER(AGENT_MSG_STRATEGY_RUN_LOG, OnRunLog)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CLICK, OnListCheckChanged)
    CHAIN_MSG_MAP_MEMBER(m_wizardGoing)
  END_MSG_MAP()

  // Commands (elements of the view); 115, 116 and 119 have no element in the layout.
  void OnNewStrategy();
  void OnModifyStrategy();
  void OnDeleteStrategy();
  void OnImportXml();
  void OnExportXml();
  void OnRunStrategy();
  void OnPauseResume();
  void OnStopStrategy();

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  void OnSize(const RECT& rect);
  LRESULT OnListCheckChanged(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  // Answers of the service.
  LRESULT OnRunState(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPauseResumeAck(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnStopAck(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDeleteAck(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnModifyAck(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnRunLog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  StrategyKey KeyOf(int row) const;
  // The strategies of the checked rows, each once, taken before any box can run.
  std::vector<StrategyKey> CheckedStrategies() const;
  // A strategy may show on several rows (its targets' states differ), checked or not;
  // what the service does to a strategy shows on all of them.
  std::vector<int> CheckedRowsOf(const StrategyKey& strategy) const;
  std::vector<int> RowsOf(const StrategyKey& strategy) const;
  // The service names the strategy of its answer.
  std::vector<int> RowsOf(const std::wstring& name) const;
  void SetCell(int row, int column, const wchar_t* text, COLORREF colour);
  // The name record of a strategy; false (and the user told) when the name does not fit.
  // A command's link (open) is closed before the user is told anything.
  bool NameRecord(const std::wstring& name, StrategyNameRecord& record, SQLServerLink* open = nullptr);
  static bool SendRecord(UINT messageId, const void* record, uint32_t size);
  // Sends a name record; a name too long for it or a link that is down is told to the
  // user, and the command then leaves that strategy alone.
  bool SendName(const std::wstring& name, UINT messageId, SQLServerLink* open = nullptr);

  // Statements.
  int LoadRows(SQLServerLink& link);
  // 1 deleted, 0 no rows left, -1 failed.
  int DeleteRows(SQLServerLink& link, const StrategyKey& strategy);
  // 1 read, 0 no such strategy, -1 not readable.
  int ReadStrategyType(SQLServerLink& link, const StrategyKey& strategy, int& type);
  // The same, a type that cannot be read told (once the link is closed).
  int StoredStrategyType(SQLServerLink& link, const StrategyKey& strategy, int& type);
  // Writes Status (2 paused, 1 scheduled) of the strategy's rows that are in the other
  // state; 1 written, 0 none was (no rows left, or the state changed elsewhere), -1 failed.
  int SetStrategyStatus(SQLServerLink& link, int status, const StrategyKey& strategy);
  int ReplaceTable(const std::wstring& path);
  int ExportTable(const std::wstring& path);

  CUiDialogHost* m_owner;
  HWND m_registered = nullptr;  // the window its service messages come to
  HWND m_logPane = nullptr;
  CListCtrlDataEx<unsigned long> m_grid;
  std::vector<std::wstring> m_ids;  // the rows' strategy ids; a row's data word is its index + 1
  // A wizard run to its end lets go of its host lists from the page's idle time, once it
  // has left the screen: a site's hosts twice took a tenth of a second of its close.
  void LetGoLater(std::unique_ptr<CQvStrategyGuardDlg> wizard);
  std::unique_ptr<CQvStrategyGuardDlg> m_goneWizard;
  IdleSlices m_wizardGoing;
};
