// The policy wizard opened from the policy list in the real main window, on the test
// database: its input checks, the single checks of its trees, the policy, service and
// network-rule writes and what the grids show of them; the option mask's reader.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "reinforce/CSRSecurityReinforceDlg.h"
#include "reinforce/ReinforceOptionMask.h"
#include "support/ReinforcePageHost.h"
#include "support/TreeClicks.h"

namespace {

using Dlg = CSRSecurityReinforceDlg;

class ReinforceWizard : public ReinforcePageHost {
 protected:
  // The wizard for a new policy (editRow -1) or for the policy row checked.
  void Open(int editRow, const std::function<void(UiDialogDriver&, Dlg&, Grid&)>& act) {
    Run([&](UiDialogDriver& d, CMainDlg&, CSecurityReinforceUIHandler& area) {
      Grid& owner = area.StrategyPage()->GetGrid();
      if (editRow >= 0) ToggleCheck(owner, editRow);
      script.ExpectDialog([&](UiDialogDriver& w) { act(w, *w.As<Dlg>(), owner); });
      EXPECT_TRUE(d.Click(editRow >= 0 ? CSRReinforceStrategyUIHandler::kEditPolicy
                                       : CSRReinforceStrategyUIHandler::kNewPolicy));
    });
  }
  static void SetText(UiDialogDriver& w, UINT id, const wchar_t* text) { ::SetWindowTextW(w.Control(id), text); }
  // A combo entry chosen by its text, as the user's choice tells the wizard.
  static void Choose(UiDialogDriver& w, UINT id, const wchar_t* text) {
    HWND combo = w.Control(id);
    ::SendMessageW(combo, CB_SETCURSEL, ::SendMessageW(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(text)), 0);
    ::SendMessageW(w.View(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }
  static void Toggle(CMulStatusTree& tree, const std::wstring& text) { qvtest::ToggleItem(tree, text); }
  static std::wstring Checked(const CMulStatusTree& tree) { return qvtest::CheckedItems(tree); }
  static std::string RuleButtons(Dlg& wizard) {
    return {wizard.IsItemEnabled(Dlg::kRuleModify) ? '1' : '0', wizard.IsItemEnabled(Dlg::kRuleDelete) ? '1' : '0'};
  }
  // From the target page (or a later one's next) to the summary; the service choices are
  // written on the way.
  static void WalkToSummary(UiDialogDriver& w, UINT from = Dlg::kTargetNext) {
    for (UINT next : {10002, 10004, 10006, 10008, 10010, 10012, 10014, 10019, 10026, 10031})
      if (next >= from) EXPECT_TRUE(w.Click(next)) << next;
  }
};

TEST_F(ReinforceWizard, NewPolicyRefusesMissingAndTakenInputThenAddsOneRow) {
  Sql({L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) values ('Abc基线','','文件服务器',1)"});
  Open(-1, [&](UiDialogDriver& w, Dlg& wizard, Grid& owner) {
    // unread: the policies cannot be read meanwhile, so the name cannot be checked.
    const struct { const wchar_t *name, *doc, *box; bool unread; } inputs[] = {
        {L"", L"说明", L"没有策略名！"}, {L"abc基线", L"说明", L"名称重复了！！！"},
        {L"新'策略", L"", L"没有策略描述！"}, {L"新'策略", L"说明", L"错误信息：", true}, {L"新'策略", L"说明", nullptr},
    };
    for (const auto& input : inputs) {
      SCOPED_TRACE(input.name);
      SetText(w, Dlg::kNameEdit, input.name);
      SetText(w, Dlg::kDocEdit, input.doc);
      if (input.box) script.ExpectBox(input.box);
      if (input.unread) Sql({L"alter table reinforcingPolicy rename to reinforcingPolicyAway"});
      EXPECT_TRUE(w.Click(Dlg::kNameNext));
      if (input.unread) Sql({L"alter table reinforcingPolicyAway rename to reinforcingPolicy"});
      EXPECT_EQ(input.box ? Dlg::kPageName : Dlg::kPageTarget, wizard.CurrentPage());
      EXPECT_TRUE(w.IsOpenAndShown());
    }
    script.ExpectBox(L"没有选择!!!");
    EXPECT_TRUE(w.Click(Dlg::kTargetNext));
    EXPECT_TRUE(w.IsOpenAndShown());
    Toggle(wizard.TargetTree(), L"ERP数据库服务器");
    Toggle(wizard.TargetTree(), L"电子邮件服务器");
    EXPECT_EQ(L"电子邮件服务器", Checked(wizard.TargetTree()));
    EXPECT_TRUE(w.Click(Dlg::kTargetNext));
    script.ExpectBox(L"没有选择!!!");  // nor without a template
    EXPECT_TRUE(w.Click(Dlg::kTemplateNext));
    EXPECT_EQ(Dlg::kPageTemplate, wizard.CurrentPage());
    Toggle(wizard.TemplateTree(), L"Windows 2000 Server安全加固模版");
    Toggle(wizard.TemplateTree(), L"Linux操作系统安全加固策略");
    EXPECT_EQ(L"Linux操作系统安全加固策略", Checked(wizard.TemplateTree()));
    WalkToSummary(w, Dlg::kTemplateNext);
    EXPECT_EQ(L"0项 0项", w.ItemText(Dlg::kSummaryFirst) + L" " + w.ItemText(Dlg::kSummaryFirst + 4));

    // Only the service link may hand over an option mask; bits past the rows are ignored.
    Grid& options = wizard.GridById(Dlg::kSystemOptionGrid);
    ::SendMessageW(w.Frame(), Dlg::kSystemOptionBits, 0, reinterpret_cast<LPARAM>("<r><o v=\"1\"/></r>"));
    std::string checks;
    Dlg::CheckOptionRows(options, 0xFFFFF004ul);
    for (int row = 0; row < options.GetItemCount(); ++row) checks += options.GetItemCheck(row, 0) > 0 ? '1' : '0';
    EXPECT_EQ("001000000000", checks);

    EXPECT_TRUE(w.Click(Dlg::kFinish));
    EXPECT_EQ(L"Abc基线|新'策略 |说明 文件服务器|电子邮件服务器",
              Column(owner, 0) + L" " + Column(owner, 1) + L" " + Column(owner, 2));
  });
  EXPECT_EQ(L"说明/电子邮件服务器/3", Text(L"select policyDoc||'/'||policyObjective||'/'||policyTemplate "
                                          L"from reinforcingPolicy where policyName='新''策略'"));
}

// Editing: the stored choices come checked; a rename is checked against the other
// policies and rewrites the row loaded; a refused write leaves table and grid alone.
TEST_F(ReinforceWizard, EditRewritesTheLoadedRowOrNothing) {
  const wchar_t* const refusals[] = {
      nullptr, L"create trigger refuse before update on reinforcingPolicy begin select raise(abort, 'refused'); end"};
  for (const wchar_t* refusal : refusals) {
    SCOPED_TRACE(refusal ? "refused" : "stored");
    DatabaseTest::SetUp();
    Sql({L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) "
         L"values ('甲策略','旧说明','文件服务器',5), ('乙策略','','OA数据库服务器',0)",
         L"insert into service (serviceName,serviceDoc,servicePath,enabled) "
         L"values ('Tl''ntSvr','','',1), ('Spooler','','',0), ('Odd','','',7)",
         L"insert into startup (startupProject,enabled) values ('ctfmon',0)"});
    if (refusal) Sql({refusal});
    Open(0, [&](UiDialogDriver& w, Dlg& wizard, Grid& owner) {
      EXPECT_EQ(L"甲策略 旧说明", w.ControlText(Dlg::kNameEdit) + L" " + w.ControlText(Dlg::kDocEdit));
      EXPECT_EQ(L"文件服务器", Checked(wizard.TargetTree()));
      EXPECT_EQ(L"数据库系统安全加固策略", Checked(wizard.TemplateTree()));
      Toggle(wizard.TargetTree(), L"ERP数据库服务器");  // the loaded check is let go
      EXPECT_EQ(L"ERP数据库服务器", Checked(wizard.TargetTree()));

      script.ExpectBox(L"名称重复了！！！");
      SetText(w, Dlg::kNameEdit, L"乙策略");
      EXPECT_TRUE(w.Click(Dlg::kNameNext));
      EXPECT_TRUE(w.IsOpenAndShown());
      SetText(w, Dlg::kNameEdit, L"丙策略");
      SetText(w, Dlg::kDocEdit, L"新说明");
      EXPECT_TRUE(w.Click(Dlg::kNameNext));

      Grid& services = wizard.GridById(Dlg::kServiceGrid);
      std::set<std::wstring> loaded;
      for (int row = 0; row < services.GetItemCount(); ++row) {
        const std::wstring name = services.GetItemText(row, 0);
        loaded.insert(name + L"=" + services.GetItemText(row, 3));
        if (name != L"Odd") services.SetItemComboIndex(row, 3, name == L"Spooler" ? Dlg::kChoiceMoveBack : Dlg::kChoiceEnable);
      }
      EXPECT_EQ((std::set<std::wstring>{L"Odd=", L"Spooler=启用", L"Tl'ntSvr=移回"}), loaded);
      WalkToSummary(w);
      EXPECT_EQ(L"3项 1项", w.ItemText(Dlg::kSummaryFirst) + L" " + w.ItemText(Dlg::kSummaryFirst + 1));
      if (refusal) script.ExpectBox(L"错误信息：");
      EXPECT_TRUE(w.Click(Dlg::kFinish));
      EXPECT_EQ(refusal != nullptr, w.IsOpenAndShown());  // refused: still open
      EXPECT_EQ(refusal ? L"甲策略|旧说明|文件服务器" : L"丙策略|新说明|ERP数据库服务器",
                owner.GetItemText(0, 0) + L"|" + owner.GetItemText(0, 1) + L"|" + owner.GetItemText(0, 2));
    });
    EXPECT_EQ(refusal ? L"甲策略/5,乙策略/0" : L"丙策略/5,乙策略/0",
              Text(L"select group_concat(policyName||'/'||policyTemplate) from reinforcingPolicy"));
    EXPECT_EQ(L"Odd=7,Spooler=1,Tl'ntSvr=0",
              Text(L"select group_concat(serviceName||'='||enabled) from (select * from service order by serviceName)"));
  }
}

// Another console deletes a service listed, or the policy being edited: the write that
// should find it says that it no longer exists and the list is read again. The choices
// for the services still there are kept and the services page stays; the policy's save
// writes nothing and ends the wizard over the policy list read again.
TEST_F(ReinforceWizard, AServiceOrPolicyAnotherConsoleDeletedIsToldAsGoneAndReadAgain) {
  for (bool service : {true, false}) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << (service ? "service" : "policy") << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      DatabaseTest::SetUp();
      Sql({L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) "
           L"values ('甲策略','说明','文件服务器',5), ('乙策略','','OA数据库服务器',0)",
           L"insert into service (serviceName,serviceDoc,servicePath,enabled) values ('TlntSvr','','',0), ('Spooler','','',0)"});
      Open(0, [&](UiDialogDriver& w, Dlg& wizard, Grid& owner) {
        EXPECT_TRUE(w.Click(Dlg::kNameNext));
        Grid& services = wizard.GridById(Dlg::kServiceGrid);
        ASSERT_EQ(2, services.GetItemCount());
        for (int row = 0; row < 2; ++row) services.SetItemComboIndex(row, 3, Dlg::kChoiceMoveBack);
        if (!service) WalkToSummary(w);
        Sql({service ? L"delete from service where serviceName = 'Spooler'"
                     : L"delete from reinforcingPolicy where policyName = '甲策略'"});
        script.ExpectBox(L"该记录已被删除，列表将重新读取。");
        if (service) {
          for (UINT next : {10002, 10004, 10006}) EXPECT_TRUE(w.Click(next)) << next;
          EXPECT_EQ(0u, script.Remaining());
          EXPECT_TRUE(w.IsOpenAndShown());
          EXPECT_EQ(Dlg::kPageServices, wizard.CurrentPage());
          EXPECT_EQ(L"TlntSvr 移回", Column(services, 0) + L" " + Column(services, 3));
        } else {
          EXPECT_TRUE(w.Click(Dlg::kFinish));
          EXPECT_EQ(0u, script.Remaining());
          EXPECT_FALSE(w.IsOpenAndShown());
          EXPECT_EQ(L"乙策略", Column(owner, 0));
        }
      });
      EXPECT_EQ(service ? L"甲策略,乙策略" : L"乙策略", Text(L"select group_concat(policyName) from reinforcingPolicy"));
      EXPECT_EQ(service ? L"TlntSvr=1" : L"Spooler=1,TlntSvr=1",
                Text(L"select group_concat(serviceName||'='||enabled) from (select * from service order by serviceName)"));
    }
  }
}

// The rows read before a failing one would pass for the whole list. A policy whose
// stored template cannot be read is told, and the wizard opens.
TEST_F(ReinforceWizard, ListsThatFailPartWayShowNothingAndSayWhy) {
  Sql({L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) values ('甲','','',1)",
       L"insert into service (serviceName,serviceDoc,servicePath,enabled) values ('s1','','',1), ('s2','','',1), "
       L"('s3','','',1), ('s4','','',1)",
       L"insert into Client (IP) values ('10.0.0.1'), ('10.0.0.2'), ('10.0.0.3'), ('10.0.0.4')"});
  const struct {
    const wchar_t *table, *column, *when;
    int editRow;
    UINT grid, combo;  // what shows the list
    const wchar_t* box;  // which list the box names
  } cases[] = {
      {L"service", L"serviceDoc", L"serviceName = 's3'", 0, Dlg::kServiceGrid, 0, L"读取服务列表失败："},
      {L"Client", L"IP", L"IP = '10.0.0.3'", -1, 0, Dlg::kAddressCombo, L"读取交互地址与端口失败："},
      {L"reinforcingPolicy", L"policyTemplate", L"policyName = '甲'", 0, 0, 0, L"错误信息："},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(qv::WideToUtf8(c.table));
    {
      SQLServerLink link;
      std::wstring error;
      ASSERT_EQ(1, link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
      ASSERT_TRUE(qvtest::FailRowsWhen(link, c.table, c.column, c.when, &error)) << qv::WideToUtf8(error);
    }
    const size_t before = script.Boxes().size();
    Run([&](UiDialogDriver& d, CMainDlg&, CSecurityReinforceUIHandler& area) {
      Grid& owner = area.StrategyPage()->GetGrid();
      if (c.editRow >= 0) ToggleCheck(owner, c.editRow);
      script.ExpectBox(L"integer overflow");
      script.ExpectDialog([&](UiDialogDriver& w) {
        Dlg& wizard = *w.As<Dlg>();
        EXPECT_TRUE(w.IsOpenAndShown());
        if (c.grid) EXPECT_EQ(0, wizard.GridById(c.grid).GetItemCount());
        if (c.combo) EXPECT_EQ(0, wizard.ComboById(c.combo).GetCount());
      });
      EXPECT_TRUE(d.Click(c.editRow >= 0 ? CSRReinforceStrategyUIHandler::kEditPolicy
                                         : CSRReinforceStrategyUIHandler::kNewPolicy));
    });
    ASSERT_EQ(before + 1, script.Boxes().size());
    EXPECT_EQ(0u, script.Boxes().back().text.find(c.box)) << qv::WideToUtf8(script.Boxes().back().text);
    const std::wstring table = c.table, rows = table + L"Rows";
    Sql({(L"drop view " + table).c_str(), (L"alter table " + rows + L" rename to " + table).c_str()});
  }
}

TEST_F(ReinforceWizard, NetworkRulesChangeTheGridOnlyAfterTheTable) {
  Sql({L"insert into Client (IP) values ('10.0.0.12'), ('10.0.0.1')",
       L"insert into SeverStrategyTable (SeverNo,SeverStrategyName) values (1,'HTTP'), (2,'RDP')",
       L"insert into netSecurity (policyName,interactiveAddress,localPort,terminalPort,direction,listType) "
       L"values ('甲规则','10.0.0.1','HTTP','Any',0,0), ('乙规则','10.0.0.12','RDP','HTTP',1,1)"});
  Open(-1, [&](UiDialogDriver& w, Dlg& wizard, Grid&) {
    wizard.ShowPage(Dlg::kPageNetRules);
    Grid& rules = wizard.GridById(Dlg::kRuleGrid);
    EXPECT_EQ(L"甲规则", Column(rules, 1));
    EXPECT_EQ("00", RuleButtons(wizard));

    // A new white-list rule, each field wanted in turn.
    EXPECT_TRUE(w.Click(Dlg::kRuleAdd));
    const struct { const wchar_t* missing; UINT field; const wchar_t* value; } fields[] = {
        {L"没有策略名称！", Dlg::kRuleNameEdit, L"丙规则"}, {L"没有选择地址！", Dlg::kAddressCombo, L"10.0.0.12"},
        {L"没有选择本地端口！", Dlg::kLocalPortCombo, L"RDP"}, {L"没有选择对端端口！", Dlg::kPeerPortCombo, L"Any"},
        {L"没有选择交互方向！", Dlg::kDirectionCombo, L"出向"}, {L"没有服务说明！", Dlg::kRuleDocEdit, L"不存"},
    };
    for (const auto& field : fields) {
      script.ExpectBox(field.missing);
      EXPECT_TRUE(w.Click(Dlg::kRuleOK));
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(Dlg::kPageNetRuleEditor, wizard.CurrentPage());
      field.field == Dlg::kRuleNameEdit || field.field == Dlg::kRuleDocEdit ? SetText(w, field.field, field.value)
                                                                            : Choose(w, field.field, field.value);
    }
    EXPECT_TRUE(w.Click(Dlg::kRuleOK));
    EXPECT_EQ(L"甲规则|丙规则 进向|出向", Column(rules, 1) + L" " + Column(rules, 5));

    // Taken names are refused (in either list), and the grid stays.
    const struct { const wchar_t* name; bool modify; } clashes[] = {{L"乙规则", false}, {L"丙规则", true}};
    ToggleCheck(rules, 0);
    EXPECT_EQ("11", RuleButtons(wizard));
    for (const auto& clash : clashes) {
      EXPECT_TRUE(w.Click(clash.modify ? Dlg::kRuleModify : Dlg::kRuleAdd));
      SetText(w, Dlg::kRuleNameEdit, clash.name);
      script.ExpectBox(L"名称重复了！！！");
      EXPECT_TRUE(w.Click(Dlg::kRuleOK));
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_TRUE(w.Click(Dlg::kRuleCancel));
      EXPECT_EQ(L"甲规则|丙规则", Column(rules, 1));
    }

    // Modified under its name, then renamed; the editor takes each value whole
    // ("10.0.0.12" comes first in its list).
    const struct { const wchar_t *shown, *name, *direction, *stored; } edits[] = {
        {L"甲规则 10.0.0.1 HTTP Any 进向", L"甲规则", L"出向", L"1:1"},
        {L"甲规则 10.0.0.1 HTTP Any 出向", L"戊规则", L"进向", L"1:0"}};
    for (const auto& edit : edits) {
      EXPECT_TRUE(w.Click(Dlg::kRuleModify));
      std::wstring shown = w.ControlText(Dlg::kRuleNameEdit);
      for (UINT id = Dlg::kAddressCombo; id <= Dlg::kDirectionCombo; ++id)
        shown += L" " + wizard.ComboById(id).GetLBText(wizard.ComboById(id).GetCurSel());
      EXPECT_EQ(edit.shown, shown);
      SetText(w, Dlg::kRuleNameEdit, edit.name);
      Choose(w, Dlg::kDirectionCombo, edit.direction);
      EXPECT_TRUE(w.Click(Dlg::kRuleOK));
      EXPECT_EQ(std::wstring(edit.name) + L"|丙规则", Column(rules, 1));
      EXPECT_EQ(edit.stored, Text((L"select count(*)||':'||max(direction) from netSecurity where policyName in ('甲规则','" +
                                   std::wstring(edit.name) + L"')").c_str()));
    }

    // The black list and back; a new black-list rule comes in.
    Choose(w, Dlg::kListTypeCombo, L"黑名单");
    EXPECT_EQ(L"乙规则 出向", Column(rules, 1) + L" " + Column(rules, 5));
    EXPECT_EQ("00", RuleButtons(wizard));
    EXPECT_TRUE(w.Click(Dlg::kRuleAdd));
    SetText(w, Dlg::kRuleNameEdit, L"丁规则");
    EXPECT_TRUE(w.Click(Dlg::kRuleOK));
    Choose(w, Dlg::kListTypeCombo, L"白名单");
    EXPECT_EQ(L"丙规则|戊规则 出向|进向", Column(rules, 1) + L" " + Column(rules, 5));

    // Both white rules deleted as one: a refusal keeps them, then they go.
    ToggleCheck(rules, 0);
    ToggleCheck(rules, 1, true);
    EXPECT_EQ("01", RuleButtons(wizard));
    Sql({L"create trigger refuse before delete on netSecurity when old.policyName='丙规则' "
         L"begin select raise(abort, 'refused'); end"});
    script.ExpectBox(L"您确认删除这些网络安全加固么？", IDYES).ExpectBox(L"删除网络安全规则失败：");  // what failed
    EXPECT_TRUE(w.Click(Dlg::kRuleDelete));
    EXPECT_EQ(2, rules.GetItemCount());
    EXPECT_TRUE(w.IsOpenAndShown());
    Sql({L"drop trigger refuse"});
    script.ExpectBox(L"您确认删除这些网络安全加固么？", IDYES);
    EXPECT_TRUE(w.Click(Dlg::kRuleDelete));
    EXPECT_EQ("0 00", std::to_string(rules.GetItemCount()) + " " + RuleButtons(wizard));
  });
  EXPECT_EQ(L"丁规则:10.0.0.1:HTTP:Any:0:1,乙规则:10.0.0.12:RDP:HTTP:1:1",
            Text(L"select group_concat(policyName||':'||interactiveAddress||':'||localPort||':'||terminalPort||':'||"
                 L"direction||':'||listType) from (select * from netSecurity order by policyName)"));
}

// A policy's or rule's new name may be one another console stored since its list was
// read (that console also deleted the row above the one edited): the name is refused, the
// list read again shows the other's, and the edit goes on with its own row, still checked.
TEST_F(ReinforceWizard, ANameAnotherConsoleTookIsRefusedAndItsListReadAgain) {
  for (bool policy : {true, false}) {
    SCOPED_TRACE(policy ? "policy" : "rule");
    DatabaseTest::SetUp();
    Sql({L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) "
         L"values ('甲策略','说明','文件服务器',5), ('乙策略','说明','OA数据库服务器',0)",
         L"insert into Client (IP) values ('10.0.0.1')", L"insert into SeverStrategyTable (SeverNo,SeverStrategyName) values (1,'HTTP')",
         L"insert into netSecurity (policyName,interactiveAddress,localPort,terminalPort,direction,listType) "
         L"values ('甲规则','10.0.0.1','HTTP','Any',0,0), ('乙规则','10.0.0.1','HTTP','Any',0,0)"});
    const std::wstring kind = policy ? L"策略" : L"规则";
    const std::wstring table = policy ? L"reinforcingPolicy" : L"netSecurity";
    Open(policy ? 1 : -1, [&](UiDialogDriver& w, Dlg& wizard, Grid& owner) {
      Grid& list = policy ? owner : wizard.GridById(Dlg::kRuleGrid);
      const UINT nameEdit = policy ? Dlg::kNameEdit : Dlg::kRuleNameEdit, next = policy ? Dlg::kNameNext : Dlg::kRuleOK;
      if (!policy) {
        wizard.ShowPage(Dlg::kPageNetRules);
        ToggleCheck(list, 1);
        EXPECT_TRUE(w.Click(Dlg::kRuleModify));
        SetText(w, Dlg::kRuleDocEdit, L"说明");
      }
      Sql({(L"delete from " + table + L" where policyName='甲" + kind + L"'").c_str(),
           (L"insert into " + table + L" (policyName) values ('丙" + kind + L"')").c_str()});
      if (!policy) Sql({L"update netSecurity set listType=0 where policyName='丙规则'"});
      SetText(w, nameEdit, (L"丙" + kind).c_str());
      script.ExpectBox(L"名称重复了！！！");
      EXPECT_TRUE(w.Click(next));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(policy ? Dlg::kPageName : Dlg::kPageNetRuleEditor, wizard.CurrentPage());
      EXPECT_EQ(L"丙" + kind, w.ControlText(nameEdit));
      EXPECT_EQ(L"乙" + kind + L"|丙" + kind, Column(list, policy ? 0 : 1));
      EXPECT_EQ(1, list.GetItemCheck(0, 0));
      SetText(w, nameEdit, (L"丁" + kind).c_str());
      EXPECT_TRUE(w.Click(next));
      if (policy) {
        WalkToSummary(w);
        EXPECT_TRUE(w.Click(Dlg::kFinish));
      }
      EXPECT_EQ(L"丁" + kind + L"|丙" + kind, Column(list, policy ? 0 : 1));
    });
  }
}

// A rule's address is taken as every place takes a host's: a stored host address that
// is not four decimal numbers, or is the broadcast address, is refused in the same words;
// nothing is stored and the editor keeps what was entered.
TEST_F(ReinforceWizard, ARuleForAnAddressNoHostCanHaveIsRefusedAsEverywhere) {
  Sql({L"insert into Client (IP) values ('10.1'), ('255.255.255.255'), ('10.0.0.7')",
       L"insert into SeverStrategyTable (SeverNo,SeverStrategyName) values (1,'HTTP')"});
  Open(-1, [&](UiDialogDriver& w, Dlg& wizard, Grid&) {
    wizard.ShowPage(Dlg::kPageNetRules);
    Grid& rules = wizard.GridById(Dlg::kRuleGrid);
    EXPECT_TRUE(w.Click(Dlg::kRuleAdd));
    ASSERT_TRUE(w.Type(Dlg::kRuleNameEdit, L"丙规则"));
    Choose(w, Dlg::kLocalPortCombo, L"HTTP");
    Choose(w, Dlg::kPeerPortCombo, L"Any");
    Choose(w, Dlg::kDirectionCombo, L"进向");
    ASSERT_TRUE(w.Type(Dlg::kRuleDocEdit, L"说明"));
    for (const wchar_t* address : {L"10.1", L"255.255.255.255"}) {
      SCOPED_TRACE(qv::WideToUtf8(address));
      Choose(w, Dlg::kAddressCombo, address);
      script.ExpectBox(L"客户端IP地址无效，命令未发送！");
      EXPECT_TRUE(w.Click(Dlg::kRuleOK));
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(Dlg::kPageNetRuleEditor, wizard.CurrentPage());
      EXPECT_EQ(L"丙规则", w.ControlText(Dlg::kRuleNameEdit));
      EXPECT_EQ(0, rules.GetItemCount());
    }
    Choose(w, Dlg::kAddressCombo, L"10.0.0.7");
    EXPECT_TRUE(w.Click(Dlg::kRuleOK));
    EXPECT_EQ(L"丙规则", Column(rules, 1));
  });
  EXPECT_EQ(L"丙规则:10.0.0.7", Text(L"select group_concat(policyName||':'||interactiveAddress) from netSecurity"));
}

TEST(ReinforceOptionMaskTest, TakesTheFirstAttributeOfTheFirstChildOrNothing) {
  const struct { const char* text; size_t length; bool read; uint32_t mask; } rows[] = {
      {"<r><o v=\"5\"/></r>", 0, true, 5},
      {"<r>text<o a=\"-1\" b=\"2\"/><p c=\"1\"/></r>", 0, true, 0xFFFFFFFFu},
      {"<r><o v=\"4294967295\"/></r>", 0, true, 0xFFFFFFFFu},
      {"<r><o v=\"12\"/></r><<<", 18, true, 12},  // nothing read past the length
      {"<r><o v=\"12\"/></r>", 10, false, 0},
      {"<r><o/></r>", 0, false, 0},
      {"<r/>", 0, false, 0},
      {"<r><o v=\"5\"></r>", 0, false, 0},
      {"<r><o v=\"5x\"/></r>", 0, false, 0},
      {"<r><o v=\"4294967296\"/></r>", 0, false, 0},
      {"", 0, false, 0},
      {nullptr, 4, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(null)");
    uint32_t mask = 77;
    EXPECT_EQ(row.read, ReinforceOptionMask::Parse(row.text, row.length ? row.length : std::strlen(row.text), &mask));
    EXPECT_EQ(row.read ? row.mask : 77u, mask);
  }
}

}  // namespace
