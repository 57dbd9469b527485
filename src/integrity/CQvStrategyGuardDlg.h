#pragma once
// The strategy wizard (layout 550, loaded by the caller) that creates a strategy (mode
// 1) or changes the checked one (mode 0). Its panels share one body and one shows at a
// time; which follows which depends on the chosen template. What each panel's
// "下一步" accepts goes into one StrategyRecord; "返回" goes back to the panel shown
// before. In modify mode the controls come filled from the strategy's stored rows and
// the strategy's old name and description are kept for the save.
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "console/IdleSlices.h"
#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CMulStatusTree.h"
#include "controls/CUpDownCtrlEx.h"
#include "integrity/StrategyRecord.h"
#include "integrity/StrategyTableRow.h"
#include "platform/CImageList.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CQvStrategyGuardUIHandler;
class SQLServerLink;
struct StrategyScheduleFields;

class CQvStrategyGuardDlg : public CUiDialogImpl<CQvStrategyGuardDlg>,
                            public CWHRoundRectFrameHelper<CQvStrategyGuardDlg> {
 public:
  using Grid = CListCtrlDataEx<unsigned long>;
  enum : int { kModeModify = 0, kModeNew = 1 };
  enum : UINT {
    kLayoutId = 550,
    kItemClose = 101,
    kItemMaxRestore = 102,
    kItemMinimize = 103,
    kItemUpdate = 104,
    // Panels.
    kPanelTemplates = 20000,
    kPanelDevice = 20001,
    kPanelSchedule = 20002,
    kPanelOsAttributes = 20003,
    kPanelDeviceSummary = 20004,
    kPanelServers = 20010,
    kPanelSettings = 20011,
    kPanelObjects = 20012,
    kPanelSummary = 20013,
    kPanelTargetParams = 20015,
    kPanelName = 20016,
    kTargetTabs = 20017,
    // Texts.
    kAttributesTitle = 2012,
    kScheduleName = 2006,
    kChosenFolder = 2014,
    // Controls.
    kNameEdit = 3000,
    kDescriptorEdit = 3001,
    kDeviceCombo = 3002,
    kDeviceTypeCombo = 3003,
    kLoginTypeCombo = 3004,
    kUserIdEdit = 3005,
    kLoginIdEdit = 3006,
    kManageIdEdit = 3007,
    kObjectNameEdit = 3030,
    kObjectDescriptorEdit = 3031,
    kTemplateTree = 5040,
    kServerTree = 5044,
    kFileTypeTree = 5048,
    kObjectGrid = 5052,  // its scroll parts take the three ids above it
    kSummaryBox = 5056,
    kTargetTree = 5064,
    kIgnoreTree = 5069,
    kFirstAttribute = 6041,  // 6041 to 6048, bit i for check 6041 + i
    kFilterAll = 6038,       // 6038 to 6040, FilterType 0 to 2
    // Buttons that do more than go back.
    kTemplateNext = 10000,
    kLoginNext = 10001,
    kOsAttributesNext = 10003,
    kTargetNext = 10010,
    kObjectAdd = 10017,
    kObjectModify = 10018,
    kObjectDelete = 10019,
    kObjectsNext = 10020,
    kVerifyLogin = 10022,
    kNameNext = 10029,
    kTargetParamsOK = 10027,
    kFileTypeAdd = 10014,
    kFileTypeEdit = 10015,
    kFileTypeDelete = 10016,
    kIgnoreAdd = 10031,
    kIgnoreDelete = 10032,
    // Schedule, settings and summaries.
    kTaskModeCombo = 3009,
    kStartCombo = 3010,
    kRuleCombo = 3027,
    kCopyPlaceEdit = 3034,
    kFirstReportPart = 3035,  // 3035 to 3038
    kScheduleTabs = 20018,
    kScheduleNext = 10002,
    kSettingsFinish = 10012,
    kFinish = 10023,
    kDeviceFinish = 10004,
    kBrowseCopyPlace = 10026,
    kDayForm = 6026,
    kWeekdayForm = 6027,
    kReportCheck = 6036,
  };
  enum : int { kAttributeCount = 8 };
  // Categories of the template tree: their item data.
  enum : DWORD {
    kTypeOs = 0,
    kTypeDatabase = 1,
    kTypeWeb = 2,
    kTypeMail = 3,
    kTypeDevice = 4,
    kTypeFileServer = 5,
    kTypeCustomServer = 6,
    kTypeCustomFiles = 7,
    kTypeCustomDevice = 8,
    kTypeCustomRegistry = 9,
  };
  enum : int { kColCheck, kColServer, kColFolder, kColFilter, kColFileTypes, kColIgnored };

  CQvStrategyGuardDlg(int mode, CQvStrategyGuardUIHandler* page);
  ~CQvStrategyGuardDlg() override;

  BEGIN_MSG_MAP_EX(CQvStrategyGuardDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvStrategyGuardDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvStrategyGuardDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP_MEMBER(m_filling)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    COMMAND_HANDLER(kTaskModeCombo, CBN_SELCHANGE, OnTaskModeChange)
    NOTIFY_HANDLER(kTemplateTree, CMulStatusTree::kNotifyCheckChanged, OnTemplateCheck)
    NOTIFY_HANDLER(kTargetTree, CMulStatusTree::kNotifyCheckChanged, OnTargetCheck)
    NOTIFY_HANDLER(kTargetTree, CMulStatusTree::kNotifyLabelClick, OnTargetLabelClick)
    NOTIFY_HANDLER(kIgnoreTree, CMulStatusTree::kNotifyCheckChanged, OnIgnoreCheck)
    NOTIFY_HANDLER(kFileTypeTree, TVN_ENDLABELEDITW, OnFileTypeEdited)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  BOOL PreTranslateMessage(MSG*) { return FALSE; }

  // ---- panels and their moves
  UINT CurrentPanel() const { return m_panel; }
  void ShowPanel(UINT panel);
  void Back();
  void OnTemplateNext();
  void OnOsAttributesNext();
  void OnTargetNext();
  void OnNameNext();
  void OnLoginNext();
  void OnVerifyLogin();
  // ---- object list
  // The server and folder the next object row watches (what a server label's folder
  // picker chose).
  void ChooseTarget(const std::wstring& server, const std::wstring& ip, const std::wstring& folder);
  void OnTargetParamsOK();
  void OnDeleteObjects();
  void OnSettingsNext();

  // ---- schedule, settings, summaries
  void ShowScheduleSubPanel();
  void OnScheduleNext();
  void OnIntegritySettingsFinish();
  void OnFinish();
  // The report address from its four parts (empty when all are) and back.
  static std::wstring JoinReportPlace(const std::wstring (&parts)[4]);
  static void SplitReportPlace(const std::wstring& place, std::wstring (&parts)[4]);

  // ---- save
  // Writes the strategy's rows, tells the service and lists it on the strategy page;
  // 1 when stored, 0 (told) with nothing stored.
  int SaveStrategy();
  // One row of the record, every column as the record's type and schedule mode want it.
  static StrategyTableRow RowOf(const StrategyRecord& record);
  static StrategyScheduleFields ScheduleFieldsOf(const StrategyRecord& record);
  // The summary's run time of the record's schedule.
  static std::wstring RunTimeText(const StrategyRecord& record);

  const StrategyRecord& Record() const { return m_record; }
  StrategyRecord& EditRecord() { return m_record; }
  CMulStatusTree& TreeById(UINT id);
  // Hosts are still to come into the server trees and the device box from the idle time.
  bool Filling() const { return m_filling.Pending(); }
  // Once the window is gone, lets go of one more part of what its view held (the view
  // waits outside it); false when nothing remains. The rest goes with the object.
  bool LetGoSome();
  Grid& ObjectGrid() { return m_objectGrid; }
  HWND SummaryBox() const { return m_summaryBox; }
  // Where the login test connects (Telnet's port unless a test says otherwise).
  void SetLoginTestPort(unsigned short port) { m_loginTestPort = port; }
  // Every element and control id the wizard acts on.
  static std::vector<UINT> ItemIds();

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTemplateCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTargetCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTargetLabelClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnIgnoreCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnFileTypeEdited(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  // "警告" with the information icon: what the wizard says of a choice it refuses.
  static void Warn(const wchar_t* text);
  bool TargetRows(SQLServerLink& link, std::vector<StrategyTableRow>* rows);
  // The address of a server as a tree or an object row shows it (by its name, or its
  // address): 1 found, 0 no such host (another console deleted it), -1 failed.
  static int ServerAddress(SQLServerLink& link, const std::wstring& label, bool named, std::wstring* ip);
  // A checked server of the server tree: as the tree shows it, and its stored address.
  struct CheckedServer {
    std::wstring label;
    bool named;
    std::wstring ip;
  };
  // The checked servers, in the tree's order (one walk: each step costs Wine's tree a
  // search of its items).
  std::vector<CheckedServer> CheckedServers() const;
  // Their addresses, and the labels of those no longer stored; false when the database
  // could not be asked (told).
  static bool ServerAddresses(SQLServerLink& link, std::vector<CheckedServer>* servers,
                              std::vector<std::wstring>* gone);
  // "主机“a”、“b”已被删除，列表将重新读取。"
  static std::wstring HostsGoneText(const std::vector<std::wstring>& names);
  // Hosts or a template object another console deleted: told by name, and the list read
  // again, without them; the wizard stays where it is. The link is closed before the box
  // and connected again for the reading; it is closed on return.
  void ServersGone(SQLServerLink& link, const std::wstring& text);
  void ObjectGone(SQLServerLink& link, const std::wstring& name);
  void CreateControls();
  void CreateScheduleControls();
  LRESULT OnTaskModeChange(WORD code, WORD id, HWND control, BOOL& bHandled);
  void OnDayFormChange(bool byDay);
  void OnReportCheck();
  void OnBrowseCopyPlace();
  bool IsDeviceType() const;
  int Position(int number) const;
  void PrefillSchedule(const StrategyTableRow& row);
  void FillTemplateTree(SQLServerLink* link);
  void FillClients(SQLServerLink* link);
  // Both server trees filled again from the database; the server tree's checks and the
  // target tree's check stay on the hosts still there.
  void ReadServersAgain(SQLServerLink& link);
  // The hosts read, while the slice lasts; false once all are in.
  bool AddClients(DWORD until);
  bool AddClientsUnseen(DWORD until);
  // The name and description of a panel into the record; false after a refusal.
  bool TakeName(CEditEx& nameEdit, const wchar_t* noName, CEditEx& descriptorEdit, const wchar_t* noDescriptor);
  // Strategy names compare as the table's collation does, without case.
  static bool SameNoCase(const std::wstring& a, const std::wstring& b);
  // 1 free, 0 taken (told), -1 the database could not be asked (told).
  int NameFree(const std::wstring& name);
  // Tells that the name is another strategy's, which may be one another console stored
  // since the page read its list: the page reads it again, the strategy being modified
  // still checked; the wizard stays as the user left it.
  void TellNameTaken();
  // The device box's address into the record; false after a refusal (or the close).
  bool TakeDevice();
  bool TakeCredentials();
  void OnFileTypeAdd();
  void OnIgnoreAdd();
  void DeleteCheckedItems(CMulStatusTree& tree);
  void SetSummaryText(const std::wstring& text);
  // Keeps at most one checked item: the one just checked.
  static void KeepOnlyChecked(CMulStatusTree& tree, HTREEITEM item, int state, HTREEITEM& remembered);
  // The object grid's filter column for FilterType 0 to 2 (the radio items from kFilterAll).
  static const wchar_t* const kFilterTexts[3];

  // ---- modify mode (CQvStrategyGuardDlgPrefill.cpp)
  void Prefill();
  void StrategyGone();
  // The strategy being modified is stored under other values than the page showed
  // (another console changed it): told, and the page's list read again with the
  // strategy's row checked. At the finish the wizard stays open with what the user
  // entered, and the next "完成" replaces the strategy as it is stored now.
  void StrategyChanged(const std::wstring& storedName, const std::wstring& storedDescriptor, bool atFinish);
  void CheckStoredTemplate(DWORD type, const std::wstring& selected);
  // The host name of an address (the address when none), false when the database
  // could not be reached (told).
  bool HostLabel(SQLServerLink& link, const std::wstring& ip, std::wstring* label);

  // ---- statements (CQvStrategyGuardDlgQueries.cpp)
  static bool ReadObjectNames(SQLServerLink& link, const wchar_t* sql, std::vector<std::wstring>* names);
  struct Client {
    std::wstring ip, name;
    int status;
  };
  static bool ReadClients(SQLServerLink& link, int type, std::vector<Client>* clients);
  // 1 found, 0 none, -1 failed.
  static int FindObject(SQLServerLink& link, DWORD type, const std::wstring& name);
  static int LookUp(SQLServerLink& link, const wchar_t* sql, const std::wstring& key, std::wstring* value);
  // The rows of the strategy the page showed: its name, description and (when it has
  // one of its own) id.
  static bool ReadStrategyRows(SQLServerLink& link, const std::wstring& name, const std::wstring& descriptor,
                               const std::wstring& id, std::vector<StrategyTableRow>* rows);
  // The name and description a strategy is stored under now, found by its id (by its
  // name when it has no id of its own): 1 found, 0 none (it is gone), -1 failed. Another
  // strategy that took its name since is not it.
  static int FindStoredStrategy(SQLServerLink& link, const std::wstring& name, const std::wstring& id,
                                std::wstring* storedName, std::wstring* storedDescriptor);

 public:
  // 1 when a strategy of the name exists, 0 when none, -1 when it could not be asked.
  static int StrategyExists(const std::wstring& name);

 private:
  int m_mode;
  CQvStrategyGuardUIHandler* m_page;
  StrategyRecord m_record{};
  std::wstring m_oldName, m_oldDescriptor, m_oldId;
  UINT m_panel = kPanelTemplates;
  std::vector<UINT> m_visited;  // the panels "返回" leads back through

  CEditEx m_nameEdit, m_descriptorEdit, m_userIdEdit, m_loginIdEdit, m_manageIdEdit;
  CEditEx m_objectNameEdit, m_objectDescriptorEdit;
  CComboBoxCtrlEx m_deviceCombo, m_deviceTypeCombo, m_loginTypeCombo;
  CImageList m_templateImages, m_serverImages;  // outlive the trees that draw with them
  CMulStatusTree m_templateTree, m_serverTree, m_targetTree, m_fileTypeTree, m_ignoreTree;
  Grid m_objectGrid;
  CComboBoxCtrlEx m_taskModeCombo, m_startCombo, m_weekOfMonthCombo, m_dayOfWeekCombo, m_ruleCombo;
  CEditEx m_numberEdits[7];
  CUpDownCtrlEx m_upDowns[7];
  CEditEx m_copyPlaceEdit;
  CEditEx m_reportEdits[4];
  HWND m_summaryBox = nullptr;
  HTREEITEM m_serverRoot = nullptr, m_targetRoot = nullptr;
  HTREEITEM m_checkedTemplate = nullptr, m_checkedTarget = nullptr, m_checkedIgnore = nullptr;
  std::wstring m_targetName, m_targetIp, m_targetFolder;  // the object row being made
  std::wstring m_targetToCheck;  // the target tree's checked host, while the tree fills again
  std::vector<Client> m_servers, m_devices;  // read, and not yet all in the trees and the device box
  size_t m_serversIn[2] = {0, 0}, m_devicesIn = 0;  // in the server and target trees, and the box
  // The server tree's items by their text: a stored strategy's targets are found there,
  // not by a walk over the tree per target (each step of which costs Wine's tree a
  // search of all its items).
  std::unordered_multimap<std::wstring, HTREEITEM> m_serverItems;
  unsigned short m_loginTestPort;
  IdleSlices m_filling;
};
