#pragma once
// The reinforcement policy wizard (layout 555) that the policy list opens for a new
// policy or for its checked one. Thirteen pages of one layout, switched by hiding one
// and showing the next: name and description, one target server kind, one template,
// the service, start-up, driver, share and peripheral lists with a choice per row, the
// network-security rules with their editor, two hardening checklists and a summary.
// "完成" stores the policy and adds or rewrites its row in the owner page's grid. The
// service choices are stored on leaving the service page, and the network rules as
// they are edited; neither belongs to a policy. It ends with 2 in every case.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CMulStatusTree.h"
#include "platform/CImageList.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CSRReinforceStrategyUIHandler;

class CSRSecurityReinforceDlg : public CUiDialogImpl<CSRSecurityReinforceDlg>,
                                public CWHRoundRectFrameHelper<CSRSecurityReinforceDlg> {
 public:
  using Grid = CListCtrlDataEx<unsigned long>;

  enum : UINT {
    kLayoutId = 555,
    kItemClose = 101,  // the header's close and every "退出"
    kItemMaxRestore = 102,
    kItemMinimize = 103,
    kItemUpdate = 104,
    // Pages.
    kPageName = 20000,
    kPageTarget,
    kPageTemplate,
    kPageServices,
    kPageStartups,
    kPageDrivers,
    kPageShares,
    kPagePeripherals,
    kPageNetRules,
    kPageNetRuleEditor,
    kPageSystemOptions,
    kPageUserOptions,
    kPageSummary,
    // Controls.
    kNameEdit = 3040,
    kDocEdit = 3042,
    kListTypeCombo = 3043,
    kRuleNameEdit = 3044,
    kAddressCombo = 3045,
    kLocalPortCombo = 3046,
    kPeerPortCombo = 3047,
    kDirectionCombo = 3048,
    kRuleDocEdit = 3049,
    kTargetTree = 5000,
    kTemplateTree = 5004,
    kServiceGrid = 5008,  // each grid's scroll parts take the three ids above it
    kStartupGrid = 5012,
    kDriverGrid = 5016,
    kShareGrid = 5020,
    kPeripheralGrid = 5024,
    kRuleGrid = 5028,
    kSystemOptionGrid = 5032,
    kUserOptionGrid = 5036,
    // Buttons that do more than change the page.
    kNameNext = 10000,
    kTargetNext = 10002,
    kTemplateNext = 10004,
    kServicesNext = 10006,
    kRuleAdd = 10016,
    kRuleModify = 10017,
    kRuleDelete = 10018,
    kRuleOK = 10021,
    kRuleCancel = 10022,
    kUserOptionsNext = 10031,
    kFinish = 10033,
    kSummaryFirst = 31001,  // the summary's five counts, 31001 to 31005
    // Window messages that refill the inventory grids (1553 to 1556) or check options.
    kReloadServices = 1553,
    kReloadPeripherals = 1556,
    kReservedMessage = 1557,
    kSystemOptionBits = 1558,
    kUserOptionBits = 1559,
  };
  // The "设置" choices of the inventory rows, as stored in their enabled column.
  enum : int { kChoiceEnable = 0, kChoiceMoveBack = 1 };
  // Network-rule editor modes.
  enum : int { kRuleAddMode = 0, kRuleModifyMode = 1 };
  // The inventory grids, in the order of the reload messages.
  enum Inventory : int { kServices, kStartups, kShares, kPeripherals, kInventoryCount };

  CSRSecurityReinforceDlg(bool isNew, CSRReinforceStrategyUIHandler* ownerPage);
  ~CSRSecurityReinforceDlg() override;

  BEGIN_MSG_MAP_EX(CSRSecurityReinforceDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CSRSecurityReinforceDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CSRSecurityReinforceDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    COMMAND_CODE_HANDLER(CBN_SELCHANGE, OnSelChange)
    NOTIFY_HANDLER(kTargetTree, CMulStatusTree::kNotifyCheckChanged, OnTargetTreeCheck)
    NOTIFY_HANDLER(kTemplateTree, CMulStatusTree::kNotifyCheckChanged, OnTemplateTreeCheck)
    MESSAGE_RANGE_HANDLER(kReloadServices, kReloadPeripherals, OnReloadInventory)
    MESSAGE_HANDLER(kReservedMessage, OnReservedMessage)
    MESSAGE_RANGE_HANDLER(kSystemOptionBits, kUserOptionBits, OnOptionBits)
    NOTIFY_HANDLER(kRuleGrid, LIST_NOTIFY_CLICK, OnRuleGridNotify)
    NOTIFY_HANDLER(kRuleGrid, LIST_NOTIFY_CELLCHANGED, OnRuleGridNotify)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  // ---- pages, in their order
  UINT CurrentPage() const { return m_page; }
  // Hides the page shown and shows this one.
  void ShowPage(UINT page);
  void OnNameNext();
  void OnTargetNext();
  void OnTemplateNext();
  // Stores the service choices as one unit; on a failure stays with the error shown.
  void OnServicesNext();
  void OnUserOptionsNext();
  void SavePolicy();

  // ---- network rules
  void LoadNetRules(UINT controlId);
  void OnNetRuleGridCheck();
  void OnNetRuleAdd();
  void OnNetRuleModify();
  void OnAddNetRule();
  void OnNetRuleDelete();

  // Checks row i of the grid for every bit i of mask; rows past the end are ignored.
  static void CheckOptionRows(Grid& grid, unsigned long mask);

  CMulStatusTree& TargetTree() { return m_targetTree; }
  CMulStatusTree& TemplateTree() { return m_templateTree; }
  Grid& GridById(UINT id);
  CComboBoxCtrlEx& ComboById(UINT id);

 private:
  struct NetRule {
    std::wstring name, address, localPort, peerPort;
    int direction = 0;  // 0 "进向", 1 "出向"
    int listType = 0;   // 0 white list, 1 black list
  };
  struct InventoryRow {
    std::wstring cells[3];
    int enabled = 0;
  };

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSelChange(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
  LRESULT OnTargetTreeCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTemplateTreeCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnReloadInventory(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnReservedMessage(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnOptionBits(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnRuleGridNotify(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  void CreateControls();
  void FillTemplateTree();
  void CreateGrids();
  // Edit mode: the row loaded, its template, the checks and the inventories.
  void LoadPolicy();
  // The inventory grid refilled from its table; a failure is shown.
  void LoadInventory(Inventory which);
  // False when the grid cannot take every row: it is left empty.
  bool FillInventory(Inventory which, const std::vector<InventoryRow>& rows);
  static void CheckFirstChild(CMulStatusTree& tree, HTREEITEM parent, const std::wstring& text,
                              HTREEITEM& remembered);
  // The only checked node of the tree, or null (none, or more than one).
  static HTREEITEM SingleCheck(const CMulStatusTree& tree);
  static std::wstring ComboText(const CComboBoxCtrlEx& combo);
  Grid& InventoryGrid(Inventory which);
  static void SelectExact(CComboBoxCtrlEx& combo, const std::wstring& text);
  std::vector<int> CheckedRuleRows() const;
  void SetRuleRow(int row, const NetRule& rule);
  // A policy or rule another console deleted: told, then the list read again (a policy's
  // on the page, the wizard ending).
  void PolicyGone();
  void NetRuleGone();
  // After a name refused as another's, which may be one another console stored since the
  // list was read: the page's policy list, or the rule list, read again. The policy or
  // rule being edited keeps its row (checked), and so do the other checked rules.
  void ReadOwnerList();
  void ReloadNetRules();

  void InitNetRuleList();
  // The editor's controls and choices; false when the database cannot be reached.
  bool InitNetSecurity();

  // ---- statements (CSRSecurityReinforceDlgQueries.cpp); each false with *error
  // *found false: no policy of the name (another console deleted it).
  static bool ReadTemplate(const std::wstring& name, int* number, bool* found, std::wstring* error);
  // Whether a policy other than except (none: any) has the name.
  static bool PolicyNameTaken(const std::wstring& name, const std::wstring* except, bool* taken,
                              std::wstring* error);
  static bool ReadInventory(Inventory which, std::vector<InventoryRow>* rows, std::wstring* error);
  // As one unit; a service without a row (another console deleted it) sets *gone and the
  // others are stored.
  static bool StoreServiceChoices(const std::vector<std::pair<std::wstring, int>>& choices,
                                  std::wstring* error, bool* gone);
  // Inserts the policy, or rewrites the one named oldName (*gone when it has no row left).
  static bool StorePolicy(const std::wstring& name, const std::wstring& doc, const std::wstring& objective,
                          int templateNumber, const std::wstring* oldName, std::wstring* error, bool* gone);
  // The addresses and service objects for the rule editor; *connected false when no
  // connection could be made.
  static bool ReadNetChoices(std::vector<std::wstring>* addresses, std::vector<std::wstring>* ports,
                             bool* connected, std::wstring* error);
  static bool ReadNetRules(int listType, std::vector<NetRule>* rules, std::wstring* error);
  static bool RuleNameTaken(const std::wstring& name, const std::wstring* except, bool* taken,
                            std::wstring* error);
  // Inserts the rule; with oldName, in one unit with the deletion of the old rule (*gone
  // when it has no row left, and nothing is written).
  static bool StoreNetRule(const NetRule& rule, const std::wstring* oldName, std::wstring* error, bool* gone);
  // Deletes the rules as one unit; a name without a row sets *gone.
  static bool DeleteNetRules(const std::vector<std::wstring>& names, std::wstring* error, bool* gone);

  CEditEx m_nameEdit;
  CEditEx m_docEdit;
  CComboBoxCtrlEx m_listTypeCombo;
  CEditEx m_ruleNameEdit;
  CComboBoxCtrlEx m_addressCombo;
  CComboBoxCtrlEx m_localPortCombo;
  CComboBoxCtrlEx m_peerPortCombo;
  CComboBoxCtrlEx m_directionCombo;
  CEditEx m_ruleDocEdit;
  CImageList m_images;  // outlives the trees that draw with it
  CMulStatusTree m_targetTree;
  CMulStatusTree m_templateTree;
  Grid m_serviceGrid;
  Grid m_startupGrid;
  Grid m_driverGrid;
  Grid m_shareGrid;
  Grid m_peripheralGrid;
  Grid m_ruleGrid;
  Grid m_systemOptionGrid;
  Grid m_userOptionGrid;
  HTREEITEM m_targetRoot = nullptr;
  std::vector<HTREEITEM> m_templates;  // by template number
  HTREEITEM m_targetChecked = nullptr;
  HTREEITEM m_templateChecked = nullptr;
  int m_ruleMode = kRuleAddMode;
  int m_ruleRow = -1;          // the row being modified
  std::wstring m_ruleOldName;  // its name when the editor opened
  bool m_isNew;
  CSRReinforceStrategyUIHandler* m_ownerPage;
  int m_editRow = -1;        // the owner grid's row being edited
  std::wstring m_oldName;    // its name when the wizard opened
  UINT m_page = kPageName;
};
