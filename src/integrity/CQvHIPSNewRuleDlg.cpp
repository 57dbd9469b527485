#include "integrity/CQvHIPSNewRuleDlg.h"

#include <algorithm>
#include <utility>

#include "console/AgentMessageId.h"
#include "console/CDirectoryDlg.h"
#include "console/CServerDlg.h"
#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/StoreAndTell.h"
#include "controls/CUIResource.h"
#include "integrity/HipsPatternKey.h"
#include "integrity/HipsTellHost.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"

namespace {

const UINT kNotice = MB_ICONEXCLAMATION;  // 48
const wchar_t kErrorCaption[] = L"错误";
const wchar_t kNoticeCaption[] = L"注意";

// One behaviour of a category: its combo 122 entry, code, check, mask bit and list line.
struct Behaviour {
  const wchar_t* entry;
  uint8_t code;
  UINT check;
  uint8_t bit;
  const wchar_t* line;
};
struct Category {
  uint32_t stored;  // TypeOfHipsRule of the combo 108 index
  std::vector<Behaviour> behaviours;
};
// By combo 108 index: file, registry, driver load, other.
const Category kCategories[] = {
    {0,
     {{L"新建文件", 1, 113, 32, L"新建文件规则"},
      {L"新建目录", 2, 114, 16, L"新建目录规则"},
      {L"写入", 3, 115, 2, L"文件写入规则"},
      {L"删除", 4, 116, 8, L"文件删除规则"},
      {L"重命名", 5, 117, 64, L"文件重命名规则"}}},
    {1,
     {{L"新建键值", 6, 127, 32, L"注册表创建规则"},
      {L"删除键值", 9, 128, 128, L"注册表删除值规则"},
      {L"写入", 7, 129, 2, L"注册表写入规则"},
      {L"删除", 8, 130, 8, L"注册表删除规则"}}},
    {3, {{L"装载驱动", 11, 135, 1, L"装载驱动策略"}}},
    {2, {{L"装载映像", 10, 136, 2, L"装载映像规则"}, {L"创建远线程", 12, 137, 1, L"创建远线程规则"}}},
};
const UINT kPanels[] = {131, 132, 133, 134};
const UINT kAllChecks[] = {113, 114, 115, 116, 117, 127, 128, 129, 130, 135, 136, 137};

int CategoryIndexOfType(uint32_t type) {
  for (int i = 0; i < 4; ++i)
    if (kCategories[i].stored == type) return i;
  return -1;
}

const Behaviour* BehaviourOf(int category, uint8_t code, int* index = nullptr) {
  if (category < 0 || category > 3) return nullptr;
  const std::vector<Behaviour>& list = kCategories[category].behaviours;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].code != code) continue;
    if (index) *index = int(i);
    return &list[i];
  }
  return nullptr;
}

using qv::OrEmpty;

void SetCombo(CComboBoxCtrlEx& combo, std::initializer_list<const wchar_t*> entries) {
  combo.ResetContent();
  for (const wchar_t* entry : entries) combo.AddString(entry);
}

}  // namespace

CQvHIPSNewRuleDlg::CQvHIPSNewRuleDlg(int mode, HipsFilterInfo* filter, int* filterId,
                                     std::function<void()> readList)
    : CUiDialogImpl<CQvHIPSNewRuleDlg>(kLayoutId),
      m_mode(mode),
      m_filterId(filterId),
      m_readList(std::move(readList)),
      m_callerFilter(filter),
      m_ruleList(CUIResource::GetSkinBitmap(), kRuleListScrollId) {
  if (mode == kModeModify && filter) m_filter = *filter;
}

CComboBoxCtrlEx& CQvHIPSNewRuleDlg::Combo(UINT id) {
  switch (id) {
    case kMatch: return m_match;
    case kCategory: return m_category;
    case kDefault: return m_default;
    case kBehaviour: return m_behaviour;
    case kCompare: return m_compare;
    default: return m_result;
  }
}

CEditEx& CQvHIPSNewRuleDlg::Edit(UINT id) {
  switch (id) {
    case kName: return m_name;
    case kRegExp: return m_regExp;
    case kTarget: return m_target;
    case kIndex: return m_index;
    default: return m_string;
  }
}

LRESULT CQvHIPSNewRuleDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  const HWND view = GetViewHWnd();
  const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  const DWORD list = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_CHILD | WS_VISIBLE;
  m_name.Create(view, nullptr, nullptr, edit, 0, kName);
  m_name.SetLimitText(20);
  struct {
    CComboBoxCtrlEx& combo;
    UINT id;
    std::initializer_list<const wchar_t*> entries;
  } combos[] = {
      {m_match, kMatch, {L"精确匹配", L"通配匹配", L"全部匹配"}},
      {m_category, kCategory, {L"文件策略", L"注册表策略", L"驱动装载策略", L"其他策略"}},
      {m_default, kDefault, {L"未决", L"允许", L"拒绝"}},
      {m_behaviour, kBehaviour, {L"新建文件", L"新建目录", L"写入", L"删除", L"重命名"}},
      {m_compare, kCompare,
       {L"长文件名通配匹配", L"短文件名通配匹配", L"长文件名精确匹配", L"短文件名精确匹配", L"执行自定义脚本",
        L"执行自定义模块"}},
      {m_result, kResult, {L"未决", L"允许", L"拒绝"}},
  };
  for (auto& c : combos) {
    c.combo.Create(view, RECT{}, nullptr, list | (c.id == kBehaviour ? WS_TABSTOP : 0), 0, c.id);
    SetCombo(c.combo, c.entries);
  }
  m_target.Create(view, nullptr, nullptr, edit | ES_READONLY, 0, kTarget);
  m_regExp.Create(view, nullptr, nullptr, edit | ES_READONLY, 0, kRegExp);
  m_regExp.SetLimitText(kPathChars);
  m_ruleList.Create(view, RECT{}, nullptr,
                    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY, 0,
                    kRuleList);
  m_index.Create(view, nullptr, nullptr, edit | ES_READONLY | ES_NUMBER, 0, kIndex);
  m_index.SetInputType(CEditEx::kDigits);
  m_index.SetNumberRange(0, 2);
  m_string.Create(view, nullptr, nullptr, edit, 0, kString);
  m_string.SetLimitText(kPathChars);
  m_match.SetCurSel(0);
  m_category.SetCurSel(0);
  m_default.SetCurSel(1);

  if (m_mode == kModeModify) {
    LockFilterFields(true);
    SetItemText(60004, L"修改策略");
    SetWindowText(L"修改策略");
    m_name.SetWindowText(m_filter.FilterName.c_str());
    m_match.SetCurSel(m_filter.MatchType);
    m_category.SetCurSel(CategoryIndexOfType(m_filter.TypeOfHipsRule));
    m_default.SetCurSel(m_filter.DefaultAction);
    m_target.SetWindowText(m_filter.ClientIP.c_str());
    m_regExp.SetWindowText(m_filter.RegExp.c_str());
    OnCategoryChanged();
    SetItemCheck(kLogCheck, m_filter.DefaultLogFilter != 0);
    // Rules that cannot be read whole are not edited: an apply would tell the host a
    // filter without them.
    if (!LoadRules()) {
      EndDialog(IDCANCEL);
      return 0;
    }
  } else {
    OnCategoryChanged();
  }
  EnableItem(kItemApply, FALSE);
  return 0;
}

LRESULT CQvHIPSNewRuleDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    EndDialog(IDCANCEL);
    return 0;
  }
  return FollowMaxButton(wParam, kItemMaxRestore, bHandled);
}

LRESULT CQvHIPSNewRuleDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  const UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
  switch (item) {
    case kItemClose: EndDialog(IDCANCEL); break;
    case kItemMaxRestore:
      SendMessage(WM_SYSCOMMAND, ::IsZoomed(m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
      break;
    case kItemMinimise: SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case kItemFinish: OnFinish(); break;
    case kItemCancel: OnCancel(); break;
    case kItemSelectTarget: OnSelectTarget(); break;
    case kItemSelectPath: OnSelectPath(); break;
    case kItemAdd: OnAddRule(); break;
    case kItemDelete: OnDeleteRule(); break;
    case kItemModify: OnModifyRule(); break;
    case kItemApply: OnApply(); break;
    default: {
      bool check = false;
      for (UINT c : kAllChecks) check = check || c == item;
      if (check)
        OnBehaviourCheckClicked(item);
      else
        bHandled = FALSE;
    }
  }
  return 0;
}

LRESULT CQvHIPSNewRuleDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_rules.clear();
  m_deleted.clear();
  bHandled = FALSE;
  return 0;
}

void CQvHIPSNewRuleDlg::OnCategoryChanged() {
  const int category = m_category.GetCurSel();
  if (category < 0 || category > 3) return;
  const bool path = category <= 1;
  SetItemVisible(kRegExpLabel, path);
  m_regExp.ShowWindow(path ? SW_SHOW : SW_HIDE);
  SetItemVisible(kItemSelectPath, category == 0);
  if (path) m_regExp.SetReadOnly(category == 0 || m_filterStored || m_mode == kModeModify || !m_rules.empty());
  for (int i = 0; i < 4; ++i) SetItemVisible(kPanels[i], i == category);
  m_behaviour.ResetContent();
  for (const Behaviour& b : kCategories[category].behaviours) m_behaviour.AddString(b.entry);
  m_behaviour.SetCurSel(0);
  m_ruleList.ResetContent();
  m_rules.clear();
  m_deleted.clear();
  ShowRuleChecks();
  UpdateIndexField();
}

void CQvHIPSNewRuleDlg::UpdateIndexField() {
  const int category = m_category.GetCurSel(), entry = m_behaviour.GetCurSel();
  if (category < 0 || entry < 0) return;
  static const int kIndexes[4] = {1, 1, 1, 0};
  const int index = category == 0 && entry == 4 ? 2 : kIndexes[category];
  m_index.SetWindowText(std::to_wstring(index).c_str());
}

// The element has toggled itself already: the checks show the rules, not the user's clicks.
void CQvHIPSNewRuleDlg::OnBehaviourCheckClicked(UINT item) { SetItemCheck(item, !GetItemCheck(item)); }

void CQvHIPSNewRuleDlg::OnSelectTarget() {
  std::wstring ip = m_filter.ClientIP;
  CServerDlg picker(&ip, L"请选择策略目标");
  if (picker.DoModal(m_hWnd) != IDOK) return;
  m_target.SetWindowText(ip.c_str());
  m_filter.ClientIP = ip;
  m_filter.RegExp.clear();  // a path of the old host is nothing on the new one
  m_regExp.SetWindowText(L"");
  m_targetChosen = 1;
}

void CQvHIPSNewRuleDlg::OnSelectPath() {
  if (!m_targetChosen) {
    UiMessageBox(L"清先选择策略目标", kNoticeCaption, kNotice);
    return;
  }
  // Always from the host's drives: a picker started in a folder reaches nothing above it.
  std::wstring path;
  CDirectoryDlg picker(m_target.GetWindowText(), &path, L"请选择策略规则");
  if (picker.DoModal(m_hWnd) != IDOK) return;
  TakePickedDirectory(path);
}

bool CQvHIPSNewRuleDlg::TakePickedDirectory(const std::wstring& directory) {
  const std::wstring regExp = HipsPatternFolder(directory) + L"\\*";
  if (regExp.size() > size_t(kPathChars)) {
    UiMessageBox(L"路径太长，最多259个字符", kNoticeCaption, kNotice);
    return false;
  }
  m_filter.RegExp = regExp;
  m_regExp.SetWindowText(regExp.c_str());
  return true;
}

bool CQvHIPSNewRuleDlg::Refuse(const wchar_t* text, HWND focus, bool selectAll) {
  UiMessageBox(text, kNoticeCaption, kNotice);
  ::SetFocus(focus);
  if (selectAll) ::SendMessageW(focus, EM_SETSEL, 0, -1);
  return false;
}

bool CQvHIPSNewRuleDlg::RefuseTaken(const wchar_t* text, HWND focus) {
  UiMessageBox(text, kNoticeCaption, kNotice);
  if (m_readList) m_readList();
  ::SetFocus(focus);
  ::SendMessageW(focus, EM_SETSEL, 0, -1);
  return false;
}

// Reads the filter of a new, not yet stored filter; false after a refusal.
bool CQvHIPSNewRuleDlg::ReadFilterFields() {
  const std::wstring name = m_name.GetWindowText();
  if (name.empty()) return Refuse(L"请先输入策略名称", m_name);
  m_filter.FilterName = name;
  if (m_match.GetCurSel() < 0) return Refuse(L"请先选择规则匹配", m_match);
  m_filter.MatchType = uint8_t(m_match.GetCurSel());
  const int category = m_category.GetCurSel();
  if (category < 0) return Refuse(L"请先选择策略分类", m_category);
  m_filter.OperatorType = 0;
  m_filter.TypeOfHipsRule = kCategories[category].stored;
  const int named = CountFiltersByName(name, int(m_filter.TypeOfHipsRule));
  if (named < 0) return false;  // the error is shown
  if (named) return RefuseTaken(L"该策略名已经被客户端使用\n请重新输入新的策略名", m_name);
  if (m_default.GetCurSel() < 0) return Refuse(L"请先选择默认规则", m_default);
  m_filter.DefaultAction = uint16_t(m_default.GetCurSel());
  const std::wstring target = m_target.GetWindowText();
  if (target.empty()) return Refuse(L"请输入策略目标", m_target);
  m_filter.ClientIP = target;
  std::wstring regExp;
  if (category <= 1) {
    regExp = m_regExp.GetWindowText();
    if (regExp.empty()) return Refuse(L"请输入过滤规则", m_regExp);
    const int used = CountFiltersByTarget(regExp, target);
    if (used < 0) return false;
    if (used) return RefuseTaken(L"该过滤规则已被使用\n请重新输入过滤规则", m_regExp);
  }
  m_filter.RegExp = regExp;
  m_filter.DefaultLogFilter = GetItemCheck(kLogCheck) ? 1 : 0;
  return true;
}

void CQvHIPSNewRuleDlg::OnAddRule() {
  if (m_mode == kModeNew && !m_filterStored && !ReadFilterFields()) return;
  const int category = m_category.GetCurSel();
  const int entry = m_behaviour.GetCurSel();
  if (entry < 0) return void(Refuse(L"请选择程序行为", m_behaviour));
  if (m_compare.GetCurSel() < 0) return void(Refuse(L"请选择规则比较", m_compare));
  if (m_result.GetCurSel() < 0) return void(Refuse(L"请选择匹配结果", m_result));
  const std::wstring index = m_index.GetWindowText(), text = m_string.GetWindowText();
  if (index.empty()) return void(Refuse(L"请输入索引", m_index));
  if (text.empty()) return void(Refuse(L"请输入字串", m_string));
  if (category < 0 || size_t(entry) >= kCategories[category].behaviours.size()) return;
  HipsRuleEntry added;
  added.rule.reset(new HipsRuleInfo);
  added.rule->OperatorType = kCategories[category].behaviours[size_t(entry)].code;
  added.rule->CompareType = uint8_t(m_compare.GetCurSel());
  added.rule->MatchActionType = uint8_t(m_result.GetCurSel());
  added.rule->UnicodeIndex = uint8_t(std::wcstol(index.c_str(), nullptr, 10));
  added.rule->UnicodeName = text;
  added.rule->FilterName = m_filter.FilterName;
  AddRuleRow(*added.rule);
  m_rules.push_back(std::move(added));
  ShowRuleChecks();
  LockFilterFields(true);
  EnableItem(kItemCancel, TRUE);
  EnableItem(kItemApply, TRUE);
}

void CQvHIPSNewRuleDlg::OnDeleteRule() {
  const int selected = m_ruleList.GetCurSel();
  if (selected < 0 || size_t(selected) >= m_rules.size()) {
    UiMessageBox(L"请选中一项规则", kNoticeCaption, kNotice);
    return;
  }
  m_deleted.push_back(std::move(m_rules[size_t(selected)]));
  m_rules.erase(m_rules.begin() + selected);
  m_ruleList.SendMessage(LB_DELETESTRING, WPARAM(selected), 0);
  EnableItem(kItemCancel, TRUE);
  if (m_category.GetCurSel() < 0) return;
  ShowRuleChecks();
  if (m_mode == kModeNew && m_rules.empty() && !m_filterStored) LockFilterFields(false);
  EnableItem(kItemApply, TRUE);
}

void CQvHIPSNewRuleDlg::OnRuleSelChanged() {
  const int selected = m_ruleList.GetCurSel();
  if (selected < 0 || size_t(selected) >= m_rules.size()) {
    for (CComboBoxCtrlEx* combo : {&m_behaviour, &m_compare, &m_result}) combo->SetCurSel(-1);
    m_index.SetWindowText(L"");
    m_string.SetWindowText(L"");
    return;
  }
  const HipsRuleInfo& rule = *m_rules[size_t(selected)].rule;
  int entry = -1;
  BehaviourOf(m_category.GetCurSel(), rule.OperatorType, &entry);
  m_behaviour.SetCurSel(entry);
  m_compare.SetCurSel(rule.CompareType);
  m_result.SetCurSel(rule.MatchActionType);
  m_index.SetWindowText(std::to_wstring(rule.UnicodeIndex).c_str());
  m_string.SetWindowText(rule.UnicodeName.c_str());
}

// The line and every check are rebuilt, so the mask sent next follows the rules.
void CQvHIPSNewRuleDlg::OnModifyRule() {
  const int selected = m_ruleList.GetCurSel();
  if (selected < 0 || size_t(selected) >= m_rules.size()) return;
  const int category = m_category.GetCurSel(), entry = m_behaviour.GetCurSel();
  if (entry < 0 || category < 0 || size_t(entry) >= kCategories[category].behaviours.size())
    return void(Refuse(L"请选择程序行为", m_behaviour));
  if (m_compare.GetCurSel() < 0) return void(Refuse(L"请选择规则比较", m_compare));
  if (m_result.GetCurSel() < 0) return void(Refuse(L"请选择匹配结果", m_result));
  const std::wstring index = m_index.GetWindowText(), text = m_string.GetWindowText();
  if (index.empty()) return void(Refuse(L"请输入索引", m_index));
  if (text.empty()) return void(Refuse(L"请输入字串", m_string));
  HipsRuleEntry& changed = m_rules[size_t(selected)];
  const Behaviour& behaviour = kCategories[category].behaviours[size_t(entry)];
  changed.rule->OperatorType = behaviour.code;
  changed.rule->CompareType = uint8_t(m_compare.GetCurSel());
  changed.rule->MatchActionType = uint8_t(m_result.GetCurSel());
  changed.rule->UnicodeIndex = uint8_t(std::wcstol(index.c_str(), nullptr, 10));
  changed.rule->UnicodeName = text;
  changed.modified = 1;
  m_ruleList.SendMessage(LB_DELETESTRING, WPARAM(selected), 0);
  m_ruleList.SendMessage(LB_INSERTSTRING, WPARAM(selected), LPARAM(behaviour.line));
  m_ruleList.SetCurSel(selected);
  ShowRuleChecks();
  EnableItem(kItemApply, TRUE);
  UiMessageBox(L"修改成功", L"成功", MB_OK);
}

void CQvHIPSNewRuleDlg::AddRuleRow(const HipsRuleInfo& rule) {
  if (const Behaviour* b = BehaviourOf(m_category.GetCurSel(), rule.OperatorType)) m_ruleList.AddString(b->line);
}

void CQvHIPSNewRuleDlg::ShowRuleChecks() {
  for (UINT check : kAllChecks) SetItemCheck(check, FALSE);
  for (const HipsRuleEntry& e : m_rules)
    if (const Behaviour* b = BehaviourOf(m_category.GetCurSel(), e.rule->OperatorType)) SetItemCheck(b->check, TRUE);
}

uint8_t CQvHIPSNewRuleDlg::BehaviourMask() {
  const int category = m_category.GetCurSel();
  uint8_t mask = 0;
  if (category < 0) return mask;
  for (const Behaviour& b : kCategories[category].behaviours)
    if (GetItemCheck(b.check)) mask = uint8_t(mask | b.bit);
  return mask;
}

void CQvHIPSNewRuleDlg::LockFilterFields(bool lock) {
  const bool modify = m_mode == kModeModify;
  for (CEditEx* edit : {&m_name, &m_target, &m_regExp}) {
    if (modify)
      edit->EnableWindow(FALSE);
    else
      edit->SetReadOnly(lock || edit != &m_name);
  }
  if (!lock && m_category.GetCurSel() == 1) m_regExp.SetReadOnly(FALSE);
  for (CComboBoxCtrlEx* combo : {&m_match, &m_category, &m_default}) combo->EnableWindow(!lock);
  EnableItem(kItemSelectTarget, !lock);
  EnableItem(kItemSelectPath, !lock);
  // The log switch is the filter's too: read with the other fields, stored with them.
  EnableItem(kLogCheck, !lock);
}

// One transaction: the filter (once), its mask, the rules saved and deleted, committed
// only once the host has been sent the whole filter (1539 on a new filter's first apply,
// 1540 after). The caller's id and filter, the entries and the deleted list change only
// once it is committed; a failure, or a send the link cannot take, leaves the dialog as
// it was.
bool CQvHIPSNewRuleDlg::OnApply() {
  // The head's field holds 259 characters; cut, the pattern would be another key to the
  // agent than the one its deletion names.
  if (m_filter.RegExp.size() > size_t(kPathChars))
    return UiMessageBox(L"该策略的过滤规则超过259个字符，无法发送给客户端，未应用", kNoticeCaption, kNotice), false;
  if (!HipsHostAddressOrTell(m_filter.ClientIP)) return false;
  SQLServerLink link;
  if (!ConnectOrTell(link)) return false;
  const bool first = m_mode == kModeNew && !m_filterStored;
  HipsFilterInfo applied = m_filter;
  applied.OperatorType = BehaviourMask();
  int filterId = first ? -1 : *m_filterId;
  std::vector<int> ids(m_rules.size(), -1);
  bool changed = !m_deleted.empty();
  // A stored filter's row is written first, whether its mask changed or not: one that
  // another console deleted meanwhile has none, and gets no rules nor a send. So does a
  // stored rule without its row: the host would be sent a rule the database does not hold.
  bool filterGone = false, ruleGone = false, gone = false;
  auto write = [&] {
    if (first && (filterId = InsertFilter(link)) == -1) return false;
    if (!first || applied.OperatorType != m_filter.OperatorType) {
      const int updated = UpdateFilterOperatorType(link, applied.OperatorType, filterId);
      gone = filterGone = updated == 0;
      if (updated <= 0) return false;
    }
    if (!first) {
      const int present = UnchangedRulesPresent(link, filterId);
      gone = ruleGone = present == 0;
      if (present <= 0) return false;
    }
    for (size_t i = 0; i < m_rules.size(); ++i) {
      if (m_rules[i].stored && !m_rules[i].modified) continue;
      const int saved = SaveRule(link, m_rules[i], filterId, &ids[i]);
      gone = ruleGone = saved == 0;
      if (saved <= 0) return false;
      changed = true;
    }
    for (const HipsRuleEntry& deleted : m_deleted)
      if (!DeleteRule(link, deleted)) return false;
    return true;
  };
  auto tell = [&] {
    std::string payload;
    AppendHipsFilterHead(payload, HeadFieldsOf(applied), false);
    for (size_t i = 0; i < m_rules.size(); ++i) {
      const HipsRuleInfo& r = *m_rules[i].rule;
      AppendHipsRuleRecord(payload, r.OperatorType, r.CompareType, r.MatchActionType, r.UnicodeIndex, r.UnicodeName,
                           i + 1 == m_rules.size());
    }
    return HipsTellHost(applied.ClientIP, first ? AGENT_MSG_HIPS_FILTER_NEW : AGENT_MSG_HIPS_FILTER_MODIFY, payload);
  };
  if (!StoreAndTell(link, write, tell, kErrorCaption, &gone)) {
    if (ruleGone) TellRecordGone([this] { ReloadRules(); });
    if (!filterGone) return false;
    TellRecordGone(nullptr);  // the page reads its list again once the editor has ended
    m_filterGone = true;
    *m_filterId = -1;
    EndDialog(IDCANCEL);
    return false;
  }
  link.Disconnect();

  *m_filterId = filterId;
  m_filter = applied;
  if (first) {
    *m_callerFilter = m_filter;
    m_filterStored = 1;
  }
  for (size_t i = 0; i < m_rules.size(); ++i) {
    if (ids[i] == -1) continue;
    m_rules[i].id = ids[i];
    m_rules[i].stored = 1;
    m_rules[i].modified = 0;
    m_rules[i].rule->FilterName = m_filter.FilterName;
    m_rules[i].rule->FilterID = uint32_t(filterId);
  }
  m_deleted.clear();
  EnableItem(kItemCancel, FALSE);
  EnableItem(kItemApply, FALSE);
  if (changed) UiMessageBox(L"应用成功", L"成功", MB_OK);
  return true;
}

// A refused apply keeps the editor open: nothing is lost by closing, and rules read
// again are seen.
void CQvHIPSNewRuleDlg::OnFinish() {
  if (IsItemEnabled(kItemApply) && !OnApply()) return;
  EndDialog(IDOK);
}

void CQvHIPSNewRuleDlg::OnCancel() { EndDialog(IDCANCEL); }

// ---- Statements

int CQvHIPSNewRuleDlg::InsertFilter(SQLServerLink& link) {
  SQLStatement* statement = link.CreateStatement(
      L"insert into Filter (ClientIP,FilterName,RegExp,TypeOfHipsRule,MatchType,OperatorType,DefaultAction,"
      L"DefaultLogFilter) values(?,?,?,?,?,?,?,?)");
  const HipsFilterInfo& f = m_filter;
  if (!statement || !statement->BindString(0, f.ClientIP.c_str()) || !statement->BindString(1, f.FilterName.c_str()) ||
      !statement->BindString(2, f.RegExp.c_str()) || !statement->BindInt(3, int(f.TypeOfHipsRule)) ||
      !statement->BindInt(4, f.MatchType) || !statement->BindInt(5, f.OperatorType) ||
      !statement->BindInt(6, f.DefaultAction) || !statement->BindInt(7, int(f.DefaultLogFilter)) ||
      !statement->Execute())
    return -1;
  link.ReleaseStatement(statement);
  statement = link.CreateStatement(
      L"select max(id) from Filter where FilterName=? and TypeOfHipsRule=? and ClientIP=?");
  if (!statement || !statement->BindString(0, f.FilterName.c_str()) || !statement->BindInt(1, int(f.TypeOfHipsRule)) ||
      !statement->BindString(2, f.ClientIP.c_str()) || !statement->Fetch())
    return -1;
  const int id = statement->GetInt(0);
  link.ReleaseStatement(statement);
  return id;
}

int CQvHIPSNewRuleDlg::UpdateFilterOperatorType(SQLServerLink& link, uint8_t mask, int filterId) {
  return ExecuteOnRecord(link,
                         {L"select id from Filter where id=?",
                          [&](SQLStatement& s) { return s.BindInt(0, filterId) != 0; }},
                         {L"update Filter set OperatorType=? where id=?",
                          [&](SQLStatement& s) { return s.BindInt(0, mask) && s.BindInt(1, filterId); }});
}

// Whether the stored rules that the apply does not rewrite all still have their rows (the
// rewritten ones find theirs by their update): 1, 0 when one has none left, -1 failed.
int CQvHIPSNewRuleDlg::UnchangedRulesPresent(SQLServerLink& link, int filterId) {
  SQLStatement* statement = link.CreateStatement(L"select id from Rules where FilterID=?");
  if (!statement || !statement->BindInt(0, filterId)) return -1;
  std::vector<int> present;
  while (statement->Fetch()) present.push_back(statement->GetInt(0));
  if (statement->Failed()) return -1;
  link.ReleaseStatement(statement);
  for (const HipsRuleEntry& entry : m_rules)
    if (entry.stored && !entry.modified && std::find(present.begin(), present.end(), entry.id) == present.end())
      return 0;
  return 1;
}

int CQvHIPSNewRuleDlg::SaveRule(SQLServerLink& link, HipsRuleEntry& entry, int filterId, int* id) {
  const HipsRuleInfo& r = *entry.rule;
  const bool insert = !entry.stored;
  auto bind = [&](SQLStatement& s) {
    return s.BindString(0, m_filter.FilterName.c_str()) && s.BindInt(1, filterId) && s.BindInt(2, r.OperatorType) &&
           s.BindInt(3, r.CompareType) && s.BindInt(4, r.MatchActionType) && s.BindInt(5, r.UnicodeIndex) &&
           s.BindString(6, r.UnicodeName.c_str()) && (insert || s.BindInt(7, entry.id));
  };
  if (!insert) {
    const int updated = ExecuteOnRecord(
        link, {L"select id from Rules where id=?", [&](SQLStatement& s) { return s.BindInt(0, entry.id) != 0; }},
        {L"update Rules set FilterName=?,FilterID=?,OperatorType=?,CompareType=?,MatchActionType=?,"
         L"UnicodeIndex=?,UnicodeName=? where id=?",
         bind});
    if (updated > 0) *id = entry.id;
    return updated;
  }
  SQLStatement* statement = link.CreateStatement(
      L"insert into Rules (FilterName,FilterID,OperatorType,CompareType,MatchActionType,UnicodeIndex,"
      L"UnicodeName) values(?,?,?,?,?,?,?)");
  if (!statement || !bind(*statement) || !statement->Execute()) return -1;
  link.ReleaseStatement(statement);
  // The newest row of this filter and code: right for two rules of one code too.
  statement = link.CreateStatement(L"select max(id) from Rules where FilterID=? and OperatorType=?");
  if (!statement || !statement->BindInt(0, filterId) || !statement->BindInt(1, r.OperatorType) || !statement->Fetch())
    return -1;
  *id = statement->GetInt(0);
  link.ReleaseStatement(statement);
  return 1;
}

// A rule another console deleted already is what this deletion wants: no row is fine.
int CQvHIPSNewRuleDlg::DeleteRule(SQLServerLink& link, const HipsRuleEntry& entry) {
  if (!entry.stored) return 1;
  SQLStatement* statement = link.CreateStatement(L"delete from Rules where id=?");
  const int done = statement && statement->BindInt(0, entry.id) && statement->Execute();
  if (statement) link.ReleaseStatement(statement);
  return done;
}

// Fails closed: a count that cannot be made shows the error and gives -1, which refuses.
int CQvHIPSNewRuleDlg::CountFiltersByName(const std::wstring& name, int category) {
  SQLServerLink link;
  if (!ConnectOrTell(link)) return -1;
  SQLStatement* statement =
      link.CreateStatement(L"select count(*) from Filter where FilterName=? and TypeOfHipsRule=?");
  if (!statement || !statement->BindString(0, name.c_str()) || !statement->BindInt(1, category) ||
      !statement->Fetch())
    return TellError(link), -1;
  return statement->GetInt(0) != 0;
}

// The host's patterns are compared as the agent reads them, not as their texts.
int CQvHIPSNewRuleDlg::CountFiltersByTarget(const std::wstring& regExp, const std::wstring& clientIp) {
  SQLServerLink link;
  if (!ConnectOrTell(link)) return -1;
  SQLStatement* statement = link.CreateStatement(L"select RegExp from Filter where ClientIP=?");
  if (!statement || !statement->BindString(0, clientIp.c_str())) return TellError(link), -1;
  const std::wstring key = HipsPatternKey(regExp);
  while (statement->Fetch())
    if (HipsPatternKey(statement->GetAsText(0)) == key) return 1;
  if (statement->Failed()) return TellError(link), -1;
  return 0;
}

// The stored rules read again, in place of every change not yet applied.
void CQvHIPSNewRuleDlg::ReloadRules() {
  m_ruleList.ResetContent();
  m_rules.clear();
  m_deleted.clear();
  m_loadedRules = 0;
  LoadRules();
  OnRuleSelChanged();
  EnableItem(kItemApply, FALSE);
}

// Rules of a code outside the filter's category get no entry: their rows stay as they are.
int CQvHIPSNewRuleDlg::LoadRules() {
  SQLServerLink link;
  if (!ConnectOrTell(link)) return 0;
  SQLStatement* statement = link.CreateStatement(
      L"select Rules.id,Filter.TypeOfHipsRule,Rules.OperatorType, Rules.FilterName,FilterID,CompareType,"
      L"MatchActionType,UnicodeIndex,UnicodeName from Rules,Filter where Filter.id=? and Rules.FilterID = Filter.id");
  if (!statement || !statement->BindInt(0, *m_filterId))
    return TellListUnread(kReadHipsRulesFailed, link, kErrorCaption), 0;
  while (statement->Fetch()) {
    const uint8_t code = uint8_t(statement->GetInt(2));
    if (!BehaviourOf(CategoryIndexOfType(uint32_t(statement->GetInt(1))), code)) continue;
    HipsRuleEntry entry;
    entry.id = statement->GetInt(0);
    entry.stored = 1;
    entry.rule.reset(new HipsRuleInfo);
    entry.rule->OperatorType = code;
    entry.rule->FilterName = statement->GetAsText(3);
    entry.rule->FilterID = uint32_t(statement->GetInt(4));
    entry.rule->CompareType = uint8_t(statement->GetInt(5));
    entry.rule->MatchActionType = uint8_t(statement->GetInt(6));
    entry.rule->UnicodeIndex = uint8_t(statement->GetInt(7));
    entry.rule->UnicodeName = statement->GetAsText(8);
    AddRuleRow(*entry.rule);
    m_rules.push_back(std::move(entry));
    ++m_loadedRules;
  }
  if (statement->Failed()) {
    // Part of the rules would pass for all of them.
    const std::wstring error = OrEmpty(link.GetLastErrorText());
    link.Disconnect();
    m_ruleList.ResetContent();
    m_rules.clear();
    m_loadedRules = 0;
    ShowRuleChecks();
    TellListUnread(kReadHipsRulesFailed, error.c_str(), kErrorCaption);
    return 0;
  }
  ShowRuleChecks();
  return 1;
}
