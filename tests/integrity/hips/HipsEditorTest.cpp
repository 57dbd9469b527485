// The filter editor inside a real main window: its fields and rules, the apply against
// a real database in one transaction, and what the filter's host hears on a loopback peer.
#include <gtest/gtest.h>

#include "console/CDirectoryDlg.h"
#include "console/CServerDlg.h"
#include "integrity/CQvHIPSNewRuleDlg.h"
#include "support/IntegrityPageHost.h"
#include "support/TreeClicks.h"

namespace {

using Dlg = CQvHIPSNewRuleDlg;

class HipsEditor : public IntegrityPageHost {
 protected:
  // Runs the editor modally inside the main window; body acts on it while it runs.
  void Edit(int mode, const std::function<void(Dlg&)>& body, int filterId = -1) {
    id = filterId;
    Run([&] {
      ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      Dlg dlg(mode, &info, &id);
      script.ExpectDialog([&](UiDialogDriver& d) {
        editor = &d;
        body(dlg);
      });
      dlg.DoModal(main->m_hWnd);
    });
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
    if (!peer.ReceiveFrame(&f, 5000) || f.payload.size() < 600) return L"none";
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

TEST_F(HipsEditor, FilterFieldsAreRefusedInOrderAndDeletingEveryRuleUnlocksThem) {
  AddFilter(L"已有", 0, L"c:\\TAKEN\\*", L"127.0.0.1");
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    struct Case {
      const wchar_t* name;
      const wchar_t* target;
      const wchar_t* regExp;
      const wchar_t* box;
    } cases[] = {{L"", L"127.0.0.1", L"x", L"请先输入策略名称"},
                 {L"已有", L"127.0.0.1", L"x", L"该策略名已经被客户端使用"},
                 {L"新", L"", L"x", L"请输入策略目标"},
                 {L"新", L"127.0.0.1", L"", L"请输入过滤规则"},
                 {L"新", L"127.0.0.1", L"C:\\Taken\\*", L"该过滤规则已被使用"}};
    for (const Case& c : cases) {
      SCOPED_TRACE(c.box);
      Fill(d, c.name, 0, c.regExp);
      d.Edit(Dlg::kTarget).SetWindowText(c.target);
      script.ExpectBox(c.box);
      Rule(d, 0, L"n");
      EXPECT_TRUE(d.Rules().empty());
      EXPECT_TRUE(editor->IsOpenAndShown());
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

// "浏览" again after a folder was picked: the picker starts from the folder (the listing
// asked for names no wildcard), checking it gives one wildcard, and that pattern is the
// one another filter of the host uses, whatever the letter case.
TEST_F(HipsEditor, BrowsingTheFilterPatternAgainStartsFromItsFolderAndNeverDoublesTheWildcard) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name) values ('127.0.0.1', '本机')"));
  AddFilter(L"旧", 0, L"d:\\WEBSITE\\wwwroot\\*", L"127.0.0.1");
  const std::wstring folder = L"D:\\WebSite\\wwwroot";
  Edit(Dlg::kModeNew, [&](Dlg& d) {
    d.Edit(Dlg::kName).SetWindowText(L"网站");
    script.ExpectDialog([&](UiDialogDriver& picker) {
      qvtest::ToggleItem(picker.As<CServerDlg>()->Tree().tree, L"本机");
      EXPECT_TRUE(picker.Click(CServerDlg::kItemOK));
    });
    EXPECT_TRUE(editor->Click(Dlg::kItemSelectTarget));
    ASSERT_TRUE(d.TakePickedDirectory(folder));  // the first pick
    script.ExpectDialog([&](UiDialogDriver& picker) {
      testenv::PeerFrame f;
      ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
      EXPECT_EQ(1538u, f.messageId);
      EXPECT_EQ(folder, reinterpret_cast<const wchar_t*>(f.payload.data()));
      RemotePathBrowser& browser = picker.As<CDirectoryDlg>()->Browser();
      qvtest::ToggleItem(browser.Tree().tree, folder);
      EXPECT_TRUE(picker.Click(CDirectoryDlg::kItemOK));
    });
    EXPECT_TRUE(editor->Click(Dlg::kItemSelectPath));
    EXPECT_EQ(folder + L"\\*", d.Edit(Dlg::kRegExp).GetWindowText());
    script.ExpectBox(L"该过滤规则已被使用");
    Rule(d, 0, L"n");
    EXPECT_TRUE(d.Rules().empty());
    EXPECT_TRUE(editor->IsOpenAndShown());
  });
  const struct { const wchar_t* a; const wchar_t* b; bool same; } patterns[] = {
      {L"D:\\A\\*\\*", L"d:\\a\\*", true}, {L"HKLM\\Run", L"hklm\\run", true}, {L"D:\\A", L"D:\\A\\*", false}};
  for (const auto& p : patterns)
    EXPECT_EQ(p.same, Dlg::PatternKey(p.a) == Dlg::PatternKey(p.b)) << testing::PrintToString(std::wstring(p.a));
}

}  // namespace
