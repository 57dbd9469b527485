// The filter editor inside a real main window: its fields and rules, the apply against
// a real database in one transaction, and what the filter's host hears on a loopback peer.
#include <gtest/gtest.h>

#include "console/CDirectoryDlg.h"
#include "console/CServerDlg.h"
#include "console/SQLStatement.h"
#include "integrity/CQvHIPSNewRuleDlg.h"
#include "integrity/HipsPatternKey.h"
#include "platform/TextConv.h"
#include "support/ConnectionWatch.h"
#include "support/IntegrityPageHost.h"
#include "support/TreeClicks.h"

namespace {

using Dlg = CQvHIPSNewRuleDlg;

class HipsEditor : public IntegrityPageHost {
 protected:
  // Runs the editor modally inside the main window; body acts on it while it runs.
  // With a service that does not listen yet, the body starts with the link down.
  void Edit(int mode, const std::function<void(Dlg&)>& body, int filterId = -1,
            testenv::LoopbackPeer* service = nullptr) {
    id = filterId;
    agent = service ? service : &peer;
    Run([&] {
      if (service) {
        ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 5000));
      } else {
        ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      }
      Dlg dlg(mode, &info, &id);
      script.ExpectDialog([&](UiDialogDriver& d) {
        editor = &d;
        body(dlg);
      });
      dlg.DoModal(main->m_hWnd);
    }, service ? service->Port() : 0);
  }
  // The editor as the HIPS page opens it for a new filter.
  void NewFromPage(const std::function<void(Dlg&)>& body) {
    Run([&] {
      ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      script.ExpectDialog([&](UiDialogDriver& d) {
        editor = &d;
        body(*d.As<Dlg>());
      });
      Hips().OnNewRule();
    });
  }
  // Whether the HIPS page's grid has a row of the filter name.
  bool Listed(const std::wstring& name) {
    for (int row = 0; row < Hips().Grid().GetItemCount(); ++row)
      if (Hips().Grid().GetItemText(row, CQvHipsUIHandler::kColName) == name) return true;
    return false;
  }
  // A new filter's fields: name, combo 108 index, target, RegExp.
  static void Fill(Dlg& d, const wchar_t* name, int category, const wchar_t* regExp = L"C:\\Data\\*") {
    d.Edit(Dlg::kName).SetWindowText(name);
    d.Combo(Dlg::kCategory).SetCurSel(category);
    d.OnCategoryChanged();
    d.Edit(Dlg::kTarget).SetWindowText(L"127.0.0.1");
    d.Edit(Dlg::kRegExp).SetWindowText(regExp);
  }
  static void Rule(Dlg& d, int entry, const wchar_t* text, bool modify = false) {
    d.Combo(Dlg::kBehaviour).SetCurSel(entry);
    d.UpdateIndexField();
    d.Combo(Dlg::kCompare).SetCurSel(1);
    d.Combo(Dlg::kResult).SetCurSel(2);
    d.Edit(Dlg::kString).SetWindowText(text);
    modify ? d.OnModifyRule() : d.OnAddRule();
  }
  // The next frame: id, length, the mask at +69 and the target address.
  std::wstring NextFilter() {
    testenv::PeerFrame f;
    if (!agent->ReceiveFrame(&f, 5000) || f.payload.size() < 600) return L"none";
    return std::to_wstring(f.messageId) + L" " + std::to_wstring(f.payload.size()) + L" mask " +
           std::to_wstring(f.payload[69]) + L" to " + std::to_wstring(f.wParam);
  }
  std::wstring RulesOf(int filterId) {
    std::wstring text;
    for (SQLStatement* s = qvtest::Prepare(link, L"select id, OperatorType, UnicodeName from Rules where FilterID = ? "
                                                 L"order by id", {filterId});
         s && s->Fetch();)
      text += std::to_wstring(s->GetInt(0)) + L":" + std::to_wstring(s->GetInt(1)) + L":" + qvtest::Str(s->GetString(2)) + L" ";
    return text;
  }
  // Filter and Rules as stored.
  // "应用生效" and "完成", each clicked where painted and refused with `box`: nothing
  // stored, the editor open with apply still offered, and what `more` checks.
  void ApplyRefused(Dlg& d, const wchar_t* box, const std::wstring& before,
                    const std::function<void()>& more = [] {}) {
    for (UINT item : {Dlg::kItemApply, Dlg::kItemFinish}) {
      SCOPED_TRACE(item);
      script.ExpectBox(box);
      EXPECT_TRUE(editor->Click(item));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(before, Tables());
      EXPECT_TRUE(editor->IsOpenAndShown());
      EXPECT_TRUE(d.IsItemEnabled(Dlg::kItemApply));
      more();
    }
  }
  std::wstring Tables() {
    std::wstring text;
    for (SQLStatement* s = qvtest::Prepare(link, L"select ClientIP, FilterName, RegExp, id, TypeOfHipsRule, "
                                                 L"OperatorType, DefaultLogFilter from Filter order by id");
         s && s->Fetch();) {
      for (int c = 0; c < 3; ++c) text += qvtest::Str(s->GetString(c)) + L"|";
      for (int c = 3; c < 7; ++c) text += std::to_wstring(s->GetInt(c)) + L"|";
    }
    text += L"#";
    for (SQLStatement* s = qvtest::Prepare(link, L"select id, FilterID, OperatorType, UnicodeName from Rules order by id");
         s && s->Fetch();)
      text += std::to_wstring(s->GetInt(0)) + L":" + std::to_wstring(s->GetInt(1)) + L":" +
              std::to_wstring(s->GetInt(2)) + L":" + qvtest::Str(s->GetString(3)) + L" ";
    return text;
  }
  // The host picker as the user works it: the host's box, then OK.
  void ChooseTarget(const wchar_t* name) {
    script.ExpectDialog([=](UiDialogDriver& picker) {
      qvtest::ToggleItem(picker.As<CServerDlg>()->Tree().tree, name);
      EXPECT_TRUE(picker.Click(CServerDlg::kItemOK));
    });
    EXPECT_TRUE(editor->Click(Dlg::kItemSelectTarget));
  }
  // "浏览" of the filter pattern: the picker's first request must be for the drives of
  // host; the agent has C:, D: and E:, and the user checks `node` and presses OK.
  void Browse(const wchar_t* node, uint32_t host) {
    script.ExpectDialog([=](UiDialogDriver& picker) {
      testenv::PeerFrame f;
      ASSERT_TRUE(agent->ReceiveFrame(&f, 5000));
      ASSERT_EQ(L"1536 to " + std::to_wstring(host), std::to_wstring(f.messageId) + L" to " + std::to_wstring(f.wParam));
      const wchar_t drives[] = L"<drives><drive mask=\"28\"/></drives>";
      ASSERT_TRUE(agent->SendFrame(1, f.wParam, 1536, drives, sizeof drives));
      CMulStatusTree& tree = picker.As<CDirectoryDlg>()->Browser().Tree().tree;
      ASSERT_TRUE(testenv::PumpUntil([&] { return qvtest::FindItem(tree, node) != nullptr; }, 5000));
      qvtest::ToggleItem(tree, node);
      EXPECT_TRUE(picker.Click(CDirectoryDlg::kItemOK));
    });
    EXPECT_TRUE(editor->Click(Dlg::kItemSelectPath));
  }
  static bool ReadOnly(CEditEx& e) { return (e.GetStyle() & ES_READONLY) != 0; }
  // A click on a line of the rule list, where the list box shows it.
  static void ClickLine(Dlg& d, int line) {
    RECT rc{};
    d.RuleList().SendMessage(LB_GETITEMRECT, WPARAM(line), LPARAM(&rc));
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    d.RuleList().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    d.RuleList().SendMessage(WM_LBUTTONUP, 0, at);
  }
  // The rule records after a filter head: behaviour code and name, one per record.
  static std::wstring RuleRecords(const testenv::PeerFrame& f) {
    std::wstring text;
    for (size_t at = 600; at + 12 <= f.payload.size();) {
      const size_t n = f.payload[at + 8] | f.payload[at + 9] << 8;
      text += std::to_wstring(f.payload[at + 4]) + L":" + std::to_wstring(n) + L":" +
              std::wstring(reinterpret_cast<const wchar_t*>(f.payload.data() + at + 10), n) + L" ";
      at += 12 + 2 * n;
    }
    return text;
  }

  HipsFilterInfo info;
  int id = -1;
  UiDialogDriver* editor = nullptr;
  testenv::LoopbackPeer* agent = &peer;  // where the link goes
};

const UINT kHome = 0x0100007F;

TEST_F(HipsEditor, RulesAddedModifiedAndDeletedAcrossAppliesKeepTheirIdsAndTheMaskFollowsTheChecks) {
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    Fill(d, L"文件过滤", 0);
    Rule(d, 0, L"abc");
    EXPECT_TRUE(ReadOnly(d.Edit(Dlg::kName)) && !d.Combo(Dlg::kCategory).IsWindowEnabled());
    Rule(d, 0, L"abcde");  // two rules of one code
    d.SetItemCheck(113, FALSE);  // a click has toggled the check: it goes back
    d.OnBehaviourCheckClicked(113);
    d.SetItemCheck(114, TRUE);
    d.OnBehaviourCheckClicked(114);
    EXPECT_TRUE(d.GetItemCheck(113) && !d.GetItemCheck(114));
    script.ExpectBox(L"应用成功");
    d.OnApply();
    EXPECT_EQ(L"1539 640 mask 32 to " + std::to_wstring(kHome), NextFilter());
    ASSERT_NE(-1, id);
    EXPECT_EQ(L"文件过滤", info.FilterName);
    const std::wstring ids = std::to_wstring(d.Rules()[0].id) + L":1:abc " + std::to_wstring(d.Rules()[1].id) + L":1:abcde ";
    EXPECT_EQ(ids, RulesOf(id));

    d.RuleList().SetCurSel(0);  // "修改" to another behaviour rebuilds the checks
    script.ExpectBox(L"修改成功");
    Rule(d, 2, L"xyz", true);
    d.RuleList().SetCurSel(1);
    d.OnDeleteRule();
    EXPECT_TRUE(d.GetItemCheck(115) && !d.GetItemCheck(113));
    script.ExpectBox(L"应用成功");
    d.OnApply();
    EXPECT_EQ(L"1540 618 mask 2 to " + std::to_wstring(kHome), NextFilter());
    EXPECT_EQ(std::to_wstring(d.Rules()[0].id) + L":3:xyz ", RulesOf(id));
    EXPECT_EQ(2, qvtest::Int(link, L"select OperatorType from Filter where id = ?", {id}));
    d.OnApply();  // nothing changed: sent again, no box
    EXPECT_EQ(L"1540 618 mask 2 to " + std::to_wstring(kHome), NextFilter());
  });
}

TEST_F(HipsEditor, CategoriesStoreTheirCodeAndReopenAsStoredDriverAndOtherWithoutRegExp) {
  struct Case {
    int combo, stored;
    const wchar_t* regExp;
    const wchar_t* shown;
  } cases[] = {{0, 0, L"C:\\Data\\*", L"C:\\Data\\*"}, {1, 1, L"HKLM\\Run", L"HKLM\\Run"}, {2, 3, L"x", L""}, {3, 2, L"x", L""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.combo);
    Edit(Dlg::kModeNew, [&](Dlg& d) {
      Fill(d, (L"过滤" + std::to_wstring(c.combo)).c_str(), c.combo, c.regExp);
      Rule(d, 0, L"n");
      script.ExpectBox(L"应用成功");
      d.OnFinish();
    });
    EXPECT_EQ(c.stored, qvtest::Int(link, L"select TypeOfHipsRule from Filter where id = ?", {id}));
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Filter where id = ? and RegExp = ?", {id, c.shown}));
    const int stored = id;
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterID, OperatorType, UnicodeName) values (?, 99, 'x')", {id}));
    Edit(Dlg::kModeModify, [&](Dlg& d) {
      EXPECT_EQ(c.combo, d.Combo(Dlg::kCategory).GetCurSel());
      EXPECT_EQ(1u, d.Rules().size());  // the foreign code gets no entry
      EXPECT_FALSE(d.Combo(Dlg::kCategory).IsWindowEnabled());
      script.ExpectBox(L"应用成功");
      d.RuleList().SetCurSel(0);
      d.OnDeleteRule();
      d.OnApply();
      EXPECT_EQ(L"1540 600 mask 0 to " + std::to_wstring(kHome), NextFilter());
    }, stored);
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Rules where FilterID = ?", {stored}));
  }
}

// Some of a filter's rules would pass for all of them, and an apply would tell the
// host a filter without the rest: the editor does not open.
TEST_F(HipsEditor, AFilterWhoseRulesCannotBeReadIsNotEditedAndTheUserIsToldWhy) {
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    Fill(d, L"读错", 2);
    Rule(d, 0, L"a");
    script.ExpectBox(L"应用成功");
    d.OnFinish();
  });
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterID, OperatorType, UnicodeName) "
                                 L"select FilterID, OperatorType, 'b' from Rules"));
  std::wstring error;
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Rules", L"UnicodeName", L"UnicodeName = 'b'", &error));
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    qvtest::ConnectionWatch watch(script);  // told with nothing held
    Dlg dlg(Dlg::kModeModify, &info, &id);
    script.ExpectBox(L"integer overflow");
    EXPECT_EQ(IDCANCEL, int(dlg.DoModal(main->m_hWnd)));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(1, watch.Looks());
  });
  ASSERT_FALSE(script.Boxes().empty());
  EXPECT_EQ(0u, script.Boxes().back().text.find(L"读取主动监测规则失败：")) << qv::WideToUtf8(script.Boxes().back().text);
}

TEST_F(HipsEditor, AFailingApplyStoresAndSendsNothingAndTheNextOneSucceeds) {
  ASSERT_TRUE(qvtest::Exec(link, L"create trigger refuse before insert on Rules begin select raise(abort, 'full'); end"));
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    Fill(d, L"失败", 2);
    Rule(d, 0, L"n");
    script.ExpectBox(L"full");
    d.OnFinish();  // stays open: nothing stored
    EXPECT_TRUE(editor->IsOpenAndShown());
    EXPECT_EQ(-1, id);
    EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Filter"));
    EXPECT_TRUE(d.IsItemEnabled(Dlg::kItemApply) && d.IsWindow());
    ASSERT_TRUE(qvtest::Exec(link, L"drop trigger refuse"));
    script.ExpectBox(L"应用成功");
    d.OnApply();
    EXPECT_EQ(L"1539 614 mask 1 to " + std::to_wstring(kHome), NextFilter());
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Filter where id = ?", {id}));
  });
}

// Another console deletes what an apply writes or sends: the filter being edited, a rule
// being rewritten, or a stored rule sent as it is. The apply stores nothing (no rule is
// left pointing at no filter), tells the host nothing and says that the record no longer
// exists. A filter gone ends the editor, for its page to read the list again; a rule gone
// leaves it open with its rules read again.
TEST_F(HipsEditor, AnApplyMeetingAFilterOrRuleAnotherConsoleDeletedStoresAndSendsNothing) {
  enum Gone { kFilter, kRewrittenRule, kUnchangedRule };
  for (Gone gone : {kFilter, kRewrittenRule, kUnchangedRule}) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << (gone) << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      const int stored = AddFilter(L"旧", 0, L"C:\\Data\\*", L"127.0.0.1");
      ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterName, FilterID, OperatorType, CompareType, "
                                     L"MatchActionType, UnicodeIndex, UnicodeName) values "
                                     L"('旧', ?, 1, 0, 1, 1, 'a'), ('旧', ?, 2, 0, 1, 1, 'b')", {stored, stored}));
      const int first = qvtest::Int(link, L"select min(id) from Rules where FilterID = ?", {stored});
      const std::wstring left = gone == kFilter ? RulesOf(stored) : RulesOf(stored).substr(RulesOf(stored).find(L' ') + 1);
      info = HipsFilterInfo{};
      info.FilterName = L"旧";
      info.ClientIP = L"127.0.0.1";
      info.RegExp = L"C:\\Data\\*";
      Edit(Dlg::kModeModify, [&](Dlg& d) {
        ASSERT_EQ(2, d.RuleList().GetCount());
        if (gone == kRewrittenRule) {
          for (size_t line = 0; line < d.Rules().size(); ++line)
            if (d.Rules()[line].id == first) d.RuleList().SetCurSel(int(line));
          script.ExpectBox(L"修改成功");
          Rule(d, 0, L"m", true);
        } else {
          Rule(d, 2, L"n");
        }
        ASSERT_TRUE(qvtest::Exec(link, gone == kFilter ? L"delete from Filter where id = ?" : L"delete from Rules where id = ?",
                                 {gone == kFilter ? stored : first}));
        script.ExpectBox(L"该记录已被删除，列表将重新读取。");
        EXPECT_TRUE(editor->Click(gone == kUnchangedRule ? Dlg::kItemFinish : Dlg::kItemApply));
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_EQ(gone == kFilter, d.FilterGone());
        if (gone != kFilter) {  // open, even after "完成", with the rules as stored now
          EXPECT_TRUE(editor->IsOpenAndShown());
          EXPECT_EQ(1, d.RuleList().GetCount());
          EXPECT_FALSE(d.IsItemEnabled(Dlg::kItemApply));
        }
        g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
        testenv::PeerFrame f;
        EXPECT_TRUE(peer.ReceiveFrame(&f, 5000) && f.messageId == 9999) << "sent " << f.messageId;
      }, stored);
      EXPECT_EQ(left, RulesOf(stored));
      EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Rules where UnicodeName in ('m', 'n')"));
    }
  }
}

// A name or pattern refused as another filter's: that filter may be one another console
// stored since the page read its list, which is read again behind the editor; the editor
// stays open with what was entered.
TEST_F(HipsEditor, FilterFieldsAreRefusedInOrderAndDeletingEveryRuleUnlocksThem) {
  AddFilter(L"已有", 0, L"c:\\TAKEN\\*", L"127.0.0.1");
  NewFromPage([&](Dlg& d) {
    struct Case {
      const wchar_t* name;
      const wchar_t* target;
      const wchar_t* regExp;
      const wchar_t* box;
      const wchar_t* otherName;  // a filter another console stores just before, and its pattern
      const wchar_t* otherRegExp;
    } cases[] = {{L"", L"127.0.0.1", L"x", L"请先输入策略名称", nullptr, nullptr},
                 {L"已有", L"127.0.0.1", L"x", L"该策略名已经被客户端使用", nullptr, nullptr},
                 {L"他人", L"127.0.0.1", L"x", L"该策略名已经被客户端使用", L"他人", L"D:\\Other\\*"},
                 {L"新", L"", L"x", L"请输入策略目标", nullptr, nullptr},
                 {L"新", L"127.0.0.1", L"", L"请输入过滤规则", nullptr, nullptr},
                 {L"新", L"127.0.0.1", L"C:\\Taken\\*", L"该过滤规则已被使用", nullptr, nullptr},
                 {L"新", L"127.0.0.1", L"C:\\Others\\*", L"该过滤规则已被使用", L"他的", L"c:\\OTHERS\\*"}};
    for (const Case& c : cases) {
      SCOPED_TRACE(c.box);
      Fill(d, c.name, 0, c.regExp);
      d.Edit(Dlg::kTarget).SetWindowText(c.target);
      if (c.otherName) AddFilter(c.otherName, 0, c.otherRegExp, L"127.0.0.1");
      script.ExpectBox(c.box);
      Rule(d, 0, L"n");
      EXPECT_TRUE(d.Rules().empty());
      EXPECT_TRUE(editor->IsOpenAndShown());
      EXPECT_EQ(c.name, d.Edit(Dlg::kName).GetWindowText());
      EXPECT_EQ(c.target, d.Edit(Dlg::kTarget).GetWindowText());
      EXPECT_EQ(c.regExp, d.Edit(Dlg::kRegExp).GetWindowText());
      if (c.otherName) {
        EXPECT_TRUE(Listed(c.otherName));
      }
    }
    const std::wstring dsn = g_dsnName;  // a count that cannot be made refuses, with the error alone
    wcscpy(g_dsnName, L"QvNoSuchSource");
    Fill(d, L"新", 0);
    script.ExpectBox(L"错误信息");
    Rule(d, 0, L"n");
    wcscpy(g_dsnName, dsn.c_str());
    EXPECT_TRUE(d.Rules().empty() && script.Remaining() == 0);
    EXPECT_TRUE(editor->IsOpenAndShown());
    script.ExpectBox(L"路径太长，最多259个字符");
    EXPECT_FALSE(d.TakePickedDirectory(L"C:\\" + std::wstring(255, L'd')));
    EXPECT_TRUE(editor->IsOpenAndShown());
    EXPECT_TRUE(d.TakePickedDirectory(L"C:\\" + std::wstring(254, L'd')));
    Fill(d, L"新", 0);
    Rule(d, 0, L"n");
    EXPECT_TRUE(ReadOnly(d.Edit(Dlg::kName)));
    d.RuleList().SetCurSel(0);
    d.OnDeleteRule();
    EXPECT_TRUE(!ReadOnly(d.Edit(Dlg::kName)) && d.Combo(Dlg::kCategory).IsWindowEnabled());
  });
}

// A stored rule string longer than a path is loaded, shown, changed and sent whole.
TEST_F(HipsEditor, ALongRuleStringIsKeptWholeThroughModifyAndApply) {
  const std::wstring name(300, L'串');
  const int stored = AddFilter(L"长字串", 0, L"C:\\Data\\*", L"127.0.0.1", 32);
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterName, FilterID, OperatorType, CompareType, MatchActionType, "
                                 L"UnicodeIndex, UnicodeName) values ('长字串', ?, 1, 0, 1, 1, ?)", {stored, name.c_str()}));
  info.FilterName = L"长字串";
  info.ClientIP = L"127.0.0.1";
  info.RegExp = L"C:\\Data\\*";
  info.OperatorType = 32;
  Edit(Dlg::kModeModify, [&](Dlg& d) {
    ClickLine(d, 0);
    EXPECT_EQ(300u, d.Edit(Dlg::kString).GetWindowText().size());
    d.Combo(Dlg::kCompare).SetCurSel(3);
    script.ExpectBox(L"修改成功").ExpectBox(L"应用成功");
    EXPECT_TRUE(editor->Click(Dlg::kItemModify) && editor->Click(Dlg::kItemApply));
    testenv::PeerFrame f;
    ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
    EXPECT_EQ(1540u, f.messageId);
    EXPECT_TRUE(RuleRecords(f) == L"1:300:" + name + L" ") << RuleRecords(f).substr(0, 8);
  }, stored);
  EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Rules where UnicodeName = ? and CompareType = 3", {name.c_str()}));
}

// A stored pattern longer than the head's field is refused on apply: nothing stored,
// nothing sent (the next frame the host gets is the test's own), the row as it was.
TEST_F(HipsEditor, AFilterWhosePatternIsLongerThanTheHeadsFieldIsRefusedOnApply) {
  const std::wstring pattern = L"C:\\" + std::wstring(297, L'目');
  const int stored = AddFilter(L"长规则", 0, pattern.c_str(), L"127.0.0.1");
  info.FilterName = L"长规则";
  info.ClientIP = L"127.0.0.1";
  info.RegExp = pattern;
  Edit(Dlg::kModeModify, [&](Dlg& d) {
    Rule(d, 0, L"n");
    script.ExpectBox(L"过滤规则超过259个字符");
    EXPECT_TRUE(editor->Click(Dlg::kItemApply));
    EXPECT_TRUE(d.IsItemEnabled(Dlg::kItemApply));
    EXPECT_TRUE(editor->IsOpenAndShown());
    g_agentLinkManager.SendOnChannel1(kHome, 9999, nullptr, 0);
    testenv::PeerFrame f;
    ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
    EXPECT_EQ(9999u, f.messageId);
  }, stored);
  EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Rules"));
  EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Filter where id = ? and RegExp = ? and OperatorType = 0",
                           {stored, pattern.c_str()}));
}

// "浏览" opens at the drives of the chosen target every time: after a pick, after a pick
// refused as another filter's pattern (whatever its letter case), and after another target
// was chosen; no folder picked on one host is asked of another. A folder takes one wildcard.
TEST_F(HipsEditor, BrowsingAlwaysOpensAtTheDrivesOfTheChosenTargetAndNeverDoublesTheWildcard) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name) values ('127.0.0.1', '本机'), ('127.0.0.2', '备机')"));
  AddFilter(L"旧", 0, L"e:\\*", L"127.0.0.1");
  const uint32_t other = 0x0200007F;
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    d.Edit(Dlg::kName).SetWindowText(L"网站");
    ChooseTarget(L"本机");
    const struct {
      const wchar_t* node;
      const wchar_t* pattern;
    } picks[] = {{L"本地磁盘(D:)", L"D:\\*"}, {L"本地磁盘(E:)", L"E:\\*"}};
    for (const auto& p : picks) {
      Browse(p.node, kHome);
      EXPECT_EQ(p.pattern, d.Edit(Dlg::kRegExp).GetWindowText());
    }
    script.ExpectBox(L"该过滤规则已被使用");
    Rule(d, 0, L"n");
    EXPECT_TRUE(d.Rules().empty());
    EXPECT_TRUE(editor->IsOpenAndShown());
    Browse(L"本地磁盘(C:)", kHome);
    EXPECT_EQ(L"C:\\*", d.Edit(Dlg::kRegExp).GetWindowText());
    ChooseTarget(L"备机");
    EXPECT_EQ(L"", d.Edit(Dlg::kRegExp).GetWindowText());
    Browse(L"本地磁盘(D:)", other);
    EXPECT_EQ(L"D:\\*", d.Edit(Dlg::kRegExp).GetWindowText());
    ASSERT_TRUE(d.TakePickedDirectory(L"D:\\WebSite\\wwwroot\\*"));
    EXPECT_EQ(L"D:\\WebSite\\wwwroot\\*", d.Edit(Dlg::kRegExp).GetWindowText());
  });
  const struct { const wchar_t* a; const wchar_t* b; bool same; } patterns[] = {
      {L"D:\\A\\*\\*", L"d:\\a\\*", true}, {L"HKLM\\Run", L"hklm\\run", true}, {L"D:\\A", L"D:\\A\\*", false}};
  for (const auto& p : patterns)
    EXPECT_EQ(p.same, HipsPatternKey(p.a) == HipsPatternKey(p.b)) << testing::PrintToString(std::wstring(p.a));
}

// With the link down neither "应用生效" nor "完成" stores anything: the user is told, the
// editor stays open as entered, and the same apply goes through once the link is back.
TEST_F(HipsEditor, WithTheLinkDownApplyStoresNothingAndTheEditorStaysAsEntered) {
  const int stored = AddFilter(L"已有", 0, L"C:\\Old\\*", L"127.0.0.1", 32);
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterName, FilterID, OperatorType, CompareType, MatchActionType, "
                                 L"UnicodeIndex, UnicodeName) values ('已有', ?, 1, 0, 1, 1, 'old')", {stored}));
  const struct {
    int mode;
    const wchar_t* name;
    size_t rules;
    const wchar_t* sent;
  } cases[] = {{Dlg::kModeNew, L"新过滤", 1, L"1539"}, {Dlg::kModeModify, L"已有", 2, L"1540"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    info = HipsFilterInfo{};
    if (c.mode == Dlg::kModeModify) {
      info.FilterName = L"已有";
      info.ClientIP = L"127.0.0.1";
      info.RegExp = L"C:\\Old\\*";
      info.OperatorType = 32;
      info.DefaultLogFilter = 1;
    }
    const std::wstring before = Tables();
    testenv::LoopbackPeer service(0, false);
    Edit(c.mode, [&](Dlg& d) {
      if (c.mode == Dlg::kModeNew) Fill(d, c.name, 2);
      Rule(d, 0, L"新规则");
      ApplyRefused(d, L"与监测服务的连接已断开，命令未发送！", before, [&] {
        EXPECT_EQ(c.name, d.Edit(Dlg::kName).GetWindowText());
        EXPECT_EQ(c.rules, d.Rules().size());
        EXPECT_EQ(LRESULT(c.rules), d.RuleList().SendMessage(LB_GETCOUNT, 0, 0));
      });
      ASSERT_TRUE(service.Listen() && service.Accept(20000) && LinkConnected());
      script.ExpectBox(L"应用成功");
      EXPECT_TRUE(editor->Click(Dlg::kItemApply));
      EXPECT_EQ(c.sent, NextFilter().substr(0, 4));
      EXPECT_FALSE(d.IsItemEnabled(Dlg::kItemApply));
    }, c.mode == Dlg::kModeModify ? stored : -1, &service);
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Rules where UnicodeName = '新规则'"));
    ASSERT_TRUE(qvtest::Exec(link, L"delete from Rules where UnicodeName = '新规则'"));
  }
}

// "记录日志" as it shows at the apply is what is stored and sent (at +72): ticked before
// the first "增加" it goes with the filter; after it the box is locked with the filter.
TEST_F(HipsEditor, TheLogBoxAsShownAtTheApplyIsWhatIsStoredAndSent) {
  for (bool afterAdd : {false, true}) {
    SCOPED_TRACE(afterAdd);
    int shown = -1, sent = -1;
    Edit(Dlg::kModeNew, [&](Dlg& d) {
      Fill(d, afterAdd ? L"后记录" : L"先记录", 2);
      const UINT log = Dlg::kLogCheck;
      if (!afterAdd) { EXPECT_TRUE(editor->Click(log)); }
      Rule(d, 0, L"n");
      if (afterAdd) { EXPECT_TRUE(editor->Click(log)); }
      shown = d.GetItemCheck(Dlg::kLogCheck) ? 1 : 0;
      script.ExpectBox(L"应用成功");
      EXPECT_TRUE(editor->Click(Dlg::kItemApply));
      testenv::PeerFrame f;
      ASSERT_TRUE(peer.ReceiveFrame(&f, 5000) && f.payload.size() >= 600);
      sent = f.payload[72];
    });
    EXPECT_EQ(afterAdd ? 0 : 1, shown);
    EXPECT_EQ(shown, sent);
    EXPECT_EQ(shown, qvtest::Int(link, L"select DefaultLogFilter from Filter where id = ?", {id}));
  }
}

// A filter no agent could be told of is not stored: its host's address is one the
// service cannot take.
TEST_F(HipsEditor, AFilterForAHostTheServiceCannotAddressIsNotApplied) {
  const std::wstring before = Tables();
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    Fill(d, L"无址", 2);
    d.Edit(Dlg::kTarget).SetWindowText(L"主机甲");
    Rule(d, 0, L"n");
    ApplyRefused(d, L"客户端IP地址无效，命令未发送！", before);
    g_agentLinkManager.SendOnChannel1(kHome, 9999, nullptr, 0);  // the first frame the agent gets
    testenv::PeerFrame f;
    ASSERT_TRUE(agent->ReceiveFrame(&f, 5000));
    EXPECT_EQ(9999u, f.messageId);
  });
}

// What an apply tells comes with its database connection closed: one held while the
// user reads would hold the database for as long as that takes.
TEST_F(HipsEditor, NoBoxComesUpWhileAnApplyHoldsADatabaseConnection) {
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    qvtest::ConnectionWatch watch(script);
    Fill(d, L"监", 2);
    Rule(d, 0, L"a");
    const struct {
      const char* what;
      std::function<void()> act;
    } rows[] = {
        {"an apply that fails",
         [&] {
           ASSERT_TRUE(qvtest::Exec(link, L"create trigger refuse before insert on Rules "
                                          L"begin select raise(abort, 'full'); end"));
           script.ExpectBox(L"full");
           d.OnApply();
           ASSERT_TRUE(qvtest::Exec(link, L"drop trigger refuse"));
         }},
        {"an apply", [&] {
           script.ExpectBox(L"应用成功");
           d.OnApply();
           EXPECT_EQ(L"1539 614 mask 1 to " + std::to_wstring(kHome), NextFilter());
         }},
        {"an apply meeting a rule another console deleted",
         [&] {
           Rule(d, 2, L"n");
           ASSERT_TRUE(qvtest::Exec(link, L"delete from Rules where FilterID = ?", {id}));
           script.ExpectBox(L"该记录已被删除，列表将重新读取。");
           d.OnApply();
         }},
    };
    watch.RunRows(rows);
  });
}

}  // namespace
