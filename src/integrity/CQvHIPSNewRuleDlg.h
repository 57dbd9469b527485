#pragma once
// "新建策略" (layout 528): creates a HIPS filter for one host, or changes the behaviour
// rules of an existing one. The rules live in memory until "应用生效", which stores the
// filter (once), its behaviour mask and the rule changes in one transaction, and then
// sends the whole filter to the host's agent: 1539 on a new filter's first apply, 1540
// afterwards. The caller's filter and id change only after a commit.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CListBoxEx.h"
#include "integrity/HipsFilterInfo.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class SQLServerLink;

class CQvHIPSNewRuleDlg : public CUiDialogImpl<CQvHIPSNewRuleDlg>,
                          public CWHRoundRectFrameHelper<CQvHIPSNewRuleDlg> {
 public:
  enum : int { kModeNew = 0, kModeModify = 1 };
  enum : UINT {
    kLayoutId = 528,
    kItemFinish = 101,
    kItemCancel = 102,
    kItemClose = 103,
    kItemMaxRestore = 104,
    kItemMinimise = 105,
    kName = 106,
    kMatch = 107,
    kCategory = 108,
    kDefault = 109,
    kRegExp = 110,
    kTarget = 111,
    kItemSelectTarget = 112,
    kRuleList = 118,
    kRuleListScrollId = 119,
    kBehaviour = 122,
    kCompare = 123,
    kResult = 124,
    kIndex = 125,
    kString = 126,
    kItemAdd = 138,
    kItemDelete = 139,
    kItemApply = 140,
    kItemSelectPath = 141,
    kRegExpLabel = 142,
    kLogCheck = 143,
    kItemModify = 144,
  };
  static const int kPathChars = 259;

  // readList: the caller's reading of its list, run after a name or pattern is refused
  // as another filter's (another console may have stored that filter since the list was
  // read); the editor stays open as entered.
  CQvHIPSNewRuleDlg(int mode, HipsFilterInfo* filter, int* filterId, std::function<void()> readList = nullptr);

  BEGIN_MSG_MAP_EX(CQvHIPSNewRuleDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvHIPSNewRuleDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvHIPSNewRuleDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    COMMAND_HANDLER(kBehaviour, CBN_SELCHANGE, OnBehaviourChanged)
    COMMAND_HANDLER(kCategory, CBN_SELCHANGE, OnCategorySelChange)
    COMMAND_HANDLER(kRuleList, LBN_SELCHANGE, OnRuleListSelChange)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void OnCategoryChanged();
  void UpdateIndexField();
  void OnBehaviourCheckClicked(UINT item);
  void OnSelectTarget();
  void OnSelectPath();
  void OnAddRule();
  void OnDeleteRule();
  void OnRuleSelChanged();
  void OnModifyRule();
  // True once applied; false when refused (told).
  bool OnApply();
  void OnFinish();
  // "取消": ends the dialog with 2.
  void OnCancel();

  // Where a picked path goes: "\*" appended once; refused (false, with a box) when too long.
  bool TakePickedDirectory(const std::wstring& directory);

  // For the tests and the look-at tool.
  CEditEx& NameEdit() { return m_name; }
  CComboBoxCtrlEx& Combo(UINT id);
  CEditEx& Edit(UINT id);
  CListBoxEx& RuleList() { return m_ruleList; }
  const std::vector<HipsRuleEntry>& Rules() const { return m_rules; }

  // Whether an apply met the stored filter gone (told; the dialog has ended): the
  // caller reads its list again.
  bool FilterGone() const { return m_filterGone; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnBehaviourChanged(WORD, WORD, HWND, BOOL&) { UpdateIndexField(); return 0; }
  LRESULT OnCategorySelChange(WORD, WORD, HWND, BOOL&) { OnCategoryChanged(); return 0; }
  LRESULT OnRuleListSelChange(WORD, WORD, HWND, BOOL&) { OnRuleSelChanged(); return 0; }
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  bool Refuse(const wchar_t* text, HWND focus, bool selectAll = false);
  // The same for a field another stored filter holds already; the caller's list is read again.
  bool RefuseTaken(const wchar_t* text, HWND focus);
  void LockFilterFields(bool lock);
  // The working category: the combo's index while the filter is editable, else stored.
  int CategoryIndex();
  void AddRuleRow(const HipsRuleInfo& rule);
  void ShowRuleChecks();
  uint8_t BehaviourMask();
  bool ReadFilterFields();

  // Statements; the apply's run inside its transaction on one link.
  int InsertFilter(SQLServerLink& link);
  int UpdateFilterOperatorType(SQLServerLink& link, uint8_t mask, int filterId);
  int UnchangedRulesPresent(SQLServerLink& link, int filterId);
  // 1 saved (its id in *id), 0 a stored rule with no row left, -1 failed.
  int SaveRule(SQLServerLink& link, HipsRuleEntry& entry, int filterId, int* id);
  int DeleteRule(SQLServerLink& link, const HipsRuleEntry& entry);
  int CountFiltersByName(const std::wstring& name, int category);
  int CountFiltersByTarget(const std::wstring& regExp, const std::wstring& clientIp);
  int LoadRules();
  void ReloadRules();

  int m_mode;
  int* m_filterId;
  std::function<void()> m_readList;
  int m_loadedRules = 0;
  int m_targetChosen = 0;
  int m_filterStored = 0;
  bool m_filterGone = false;  // the stored filter had no row left at an apply
  HipsFilterInfo* m_callerFilter;
  HipsFilterInfo m_filter;
  std::vector<HipsRuleEntry> m_rules;
  std::vector<HipsRuleEntry> m_deleted;
  CEditEx m_name;
  CComboBoxCtrlEx m_match, m_category, m_default;
  CEditEx m_regExp, m_target;
  CListBoxEx m_ruleList;
  CComboBoxCtrlEx m_behaviour, m_compare, m_result;
  CEditEx m_index, m_string;
};
