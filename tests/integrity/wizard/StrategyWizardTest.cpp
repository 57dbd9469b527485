// The strategy wizard opened from the strategy page in the real main window, on the
// test database: which panel follows which, the refusals of each panel, the object
// list and the pre-fill of a modification; the layout has every id the wizard uses.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/CServerDlg.h"
#include "integrity/CQvHipsUIHandler.h"
#include "integrity/CQvSavecopyUIHandler.h"
#include "integrity/CQvStrategyGuardDlg.h"
#include "console/LinkRecords.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "support/ConnectionWatch.h"
#include "support/DibCanvas.h"
#include "support/IntegrityPageHost.h"
#include "support/RefusedAllocations.h"
#include "support/TreeClicks.h"
#include "uiwin/UiResUtil.h"

namespace {

using Dlg = CQvStrategyGuardDlg;

class StrategyWizard : public IntegrityPageHost {
 protected:
  void SetUp() override {
    IntegrityPageHost::SetUp();
    FillSite();
  }
  // Servers, devices and template objects of the test's site.
  void FillSite() {
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.1','web1',1,0), "
                                   L"('10.0.0.2','',0,0), ('10.0.0.8','',1,1), ('10.0.0.9','rt1',1,1), "
                                   L"('10.0.0.7','rt2',1,1)"));
    ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppStrategyName, id) values ('应用''甲', '1')"));
    ASSERT_TRUE(qvtest::Exec(link, L"insert into RegStrategyTable (RegStrategyName, id) values ('注册表乙', '1')"));
  }
  // The wizard for a new strategy, or for the strategy named (checked on the page).
  // The link goes to port when one is given.
  void Open(const wchar_t* modify, const std::function<void(UiDialogDriver&, Dlg&)>& act, unsigned short port = 0) {
    Run([&] {
      ShowPage(CQuorvaneUIHandler::kTabStrategies);
      if (modify) Check(modify);
      script.ExpectDialog([&](UiDialogDriver& w) { act(w, *w.As<Dlg>()); });
      Click(modify ? Page::kItemModify : Page::kItemNew);
    }, port);
  }
  static void Toggle(CMulStatusTree& tree, const std::wstring& text) { qvtest::ToggleItem(tree, text); }
  static std::wstring Checked(const CMulStatusTree& tree) { return qvtest::CheckedItems(tree); }
  static void SetText(UiDialogDriver& w, UINT id, const std::wstring& text) { ::SetWindowTextW(w.Control(id), text.c_str()); }
  static void Choose(UiDialogDriver& w, UINT id, const wchar_t* text) {
    HWND combo = w.Control(id);
    ::SendMessageW(combo, CB_SETCURSEL, ::SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text)), 0);
  }
  std::wstring TextOf(const wchar_t* sql) {
    SQLStatement* st = link.CreateStatement(sql);
    std::wstring text = st && st->Fetch() && st->GetString(0) ? st->GetString(0) : L"";
    link.ReleaseStatement(st);
    return text;
  }
  // A fresh database holding the device rt1 and the one-time device strategy 旧 on it.
  void StoreDeviceStrategy() {
    DatabaseTest::SetUp();
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.9','rt1',1,1)"));
    ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, SelectedItem, "
                                   L"TaskMode, Status, RunStatus, Ip, id, UserId, LoginId, ManageId) values ('旧', 'd', 4, "
                                   L"'思科网络设备完整性监测', 3, 1, 0, '10.0.0.9', '20260101000000001', 'u', 'p', 'q')"));
  }
  // A Windows template with attribute 4, on to the server panel.
  static void PastWindowsAttributes(UiDialogDriver& w, Dlg& wizard) {
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"Windows 2000 Server完整性监测");
    w.Click(Dlg::kTemplateNext);
    wizard.SetItemCheck(Dlg::kFirstAttribute + 2, TRUE);
    w.Click(Dlg::kOsAttributesNext);
  }
  // On to the name panel: a new Linux strategy for web1 with its description, or the
  // strategy being modified as it was stored.
  static void ToNamePanel(UiDialogDriver& w, Dlg& wizard, bool modify) {
    if (!modify) {
      Toggle(wizard.TreeById(Dlg::kTemplateTree), L"Linux操作系统完整性监测");
      w.Click(Dlg::kTemplateNext);
      Toggle(wizard.TreeById(Dlg::kServerTree), L"web1");
      w.Click(Dlg::kTargetNext);
      SetText(w, Dlg::kDescriptorEdit, L"说明");
    } else {
      w.Click(Dlg::kTemplateNext);
    }
  }
  // Every panel's input filled so that only the moves are tried.
  static void FillAll(UiDialogDriver& w, Dlg& wizard) {
    SetText(w, Dlg::kNameEdit, L"策略");
    SetText(w, Dlg::kDescriptorEdit, L"说明");
    SetText(w, Dlg::kObjectNameEdit, L"策略");
    SetText(w, Dlg::kObjectDescriptorEdit, L"说明");
    for (UINT id : {Dlg::kUserIdEdit, Dlg::kLoginIdEdit, Dlg::kManageIdEdit}) SetText(w, id, L"x");
    Choose(w, Dlg::kDeviceCombo, L"rt1");
    wizard.SetItemCheck(Dlg::kFirstAttribute, TRUE);
    Toggle(wizard.TreeById(Dlg::kServerTree), L"web1");
  }
};

// A list of a large site filled from the window's idle time: what is in as the window
// opens is not all of it, nor is what one slice adds; and a message posted between two
// slices is taken while entries are still to come. Then the list ends whole. The waits
// end too once `filling` says nothing more comes.
void ExpectFilledASliceAtATime(const std::function<size_t()>& count, size_t whole,
                               const std::function<bool()>& filling) {
  const size_t opened = count();
  EXPECT_LT(opened, whole) << "filled whole as it opened";
  testenv::PumpUntil([&] { return count() > opened || !filling(); }, 60000);
  ASSERT_GT(count(), opened);
  EXPECT_LT(count(), whole) << "one slice filled it all";
  struct Marker {
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_APP) (*reinterpret_cast<std::function<void()>*>(::GetWindowLongPtrW(w, GWLP_USERDATA)))();
      return ::DefWindowProcW(w, m, wp, lp);
    }
  };
  size_t atMessage = 0;
  bool taken = false;
  std::function<void()> take = [&] {
    atMessage = count();
    taken = true;
  };
  HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&take));
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Marker::Proc));
  ::PostMessageW(window, WM_APP, 0, 0);
  EXPECT_TRUE(testenv::PumpUntil([&] { return taken; }, 60000));
  ::DestroyWindow(window);
  EXPECT_LT(atMessage, whole) << "the message waited for the whole list";
  testenv::PumpUntil([&] { return count() == whole || !filling(); }, 120000);
  EXPECT_EQ(whole, count());
}

// The attributes panel's title names the template, wide enough for all of it.
void ExpectWholeTitle(UiDialogDriver& w, const std::wstring& templ) {
  CUiWindow* title = w.View().FindChildByCmdID(Dlg::kAttributesTitle);
  ASSERT_TRUE(title);
  EXPECT_EQ(templ, title->GetInnerText());
  SIZE room{4000, 100};
  title->UiSendMessage(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&room));
  const RECT shown = title->GetRect();
  EXPECT_GE(shown.right - shown.left, room.cx);
}

// Every list filled from idle time, on a site of 20,000 servers with a HIPS filter each:
// the host picker's tree, the wizard's two server trees and device box, the HIPS page's
// rows and the history copies' host tree.
TEST_F(StrategyWizard, ALargeSitesListsFillASliceAtATimeBetweenTheWindowsMessages) {
  const int kHosts = 20000;
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (Name, IP, Status, Type) with recursive n(i) as "
                                 L"(select 1 union all select i + 1 from n where i < ?) "
                                 L"select '主机' || i, '10.4.' || (i / 250) || '.' || (i % 250), i % 2, 0 from n",
                           {kHosts}));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Filter (ClientIP, FilterName, RegExp, TypeOfHipsRule, MatchType, "
                                 L"OperatorType, DefaultAction, DefaultLogFilter) select IP, '过滤' || id, '*.exe', "
                                 L"id % 4, 1, 0, 2, 1 from Client where IP like '10.4.%'"));
  const size_t servers = kHosts + 2, devices = 3;
  const struct {
    const char* list;
    std::function<void()> check;
  } rows[] = {
      {"host picker",
       [&] {
         std::wstring result;
         script.ExpectDialog([&](UiDialogDriver& d) {
           CServerDlg* dlg = d.As<CServerDlg>();
           ExpectFilledASliceAtATime([&] { return size_t(dlg->Tree().tree.GetCount()); }, servers + 1,
                                     [&] { return dlg->Filling(); });
         });
         CServerDlg picker(&result);
         picker.DoModal();
       }},
      {"wizard's server trees and device box",
       [&] {
         Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
           // Both groups show their hosts as they come, as on a small site.
           for (UINT id : {Dlg::kServerTree, Dlg::kTargetTree}) {
             CMulStatusTree& tree = wizard.TreeById(id);
             const UINT state = UINT(tree.SendMessage(TVM_GETITEMSTATE, WPARAM(tree.GetRootItem()), TVIS_EXPANDED));
             EXPECT_TRUE(state & TVIS_EXPANDED) << id;
           }
           HWND combo = w.Control(Dlg::kDeviceCombo);
           ExpectFilledASliceAtATime(
               [&] {
                 return size_t(wizard.TreeById(Dlg::kServerTree).GetCount()) +
                        wizard.TreeById(Dlg::kTargetTree).GetCount() + ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
               },
               2 * (servers + 1) + devices, [&] { return wizard.Filling(); });
         });
       }},
      {"HIPS rows",
       [&] {
         Run([&] {
           ExpectFilledASliceAtATime([&] { return size_t(Hips().Grid().GetItemCount()); }, kHosts,
                                     [&] { return Hips().Filling(); });
         });
       }},
      {"history copies' hosts",
       [&] {
         Run([&] {
           CMulStatusTree& tree = Area().Savecopy()->Tree();
           ExpectFilledASliceAtATime([&] { return size_t(tree.GetCount()); }, 2 + servers + devices,
                                     [&] { return Area().Savecopy()->Filling(); });
         });
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.list);
    row.check();
  }
}

// A device's address is taken as every place takes a host's: one that is not four
// decimal numbers, or is the broadcast address, is refused in the same words before a
// login test goes to it (which would blame the passwords) and before the panel is left.
// A site of 10,000 servers and 2,000 devices more: both server trees and the device box
// fill from the wizard's idle time and end whole, in the database's order; leaving the
// first panel fills them at once.
TEST_F(StrategyWizard, ALargeSitesHostsEndWholeAndInOrder) {
  const int kServers = 10000, kDevices = 2000;
  const wchar_t insert[] = L"insert into Client (Name, IP, Status, Type) with recursive n(i) as "
                           L"(select 1 union all select i + 1 from n where i < ?) "
                           L"select ? || i, '10.3.' || (i / 250) || '.' || (i % 250), i % 2, ? from n";
  ASSERT_TRUE(qvtest::Exec(link, insert, {kServers, L"主机", 0}));
  ASSERT_TRUE(qvtest::Exec(link, insert, {kDevices, L"设备", 1}));
  std::vector<std::wstring> servers{L"web1", L"10.0.0.2"}, devices{L"10.0.0.8", L"rt1", L"rt2"};
  for (int i = 1; i <= kServers; ++i) servers.push_back(L"主机" + std::to_wstring(i));
  for (int i = 1; i <= kDevices; ++i) devices.push_back(L"设备" + std::to_wstring(i));
  for (bool leave : {false, true}) {
    SCOPED_TRACE(leave ? "the first panel left at once" : "left to fill");
    Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
      if (leave) {
        Toggle(wizard.TreeById(Dlg::kTemplateTree), L"Windows 2000 Server完整性监测");
        w.Click(Dlg::kTemplateNext);
      }
      HWND combo = w.Control(Dlg::kDeviceCombo);
      auto deviceCount = [&] { return static_cast<size_t>(::SendMessageW(combo, CB_GETCOUNT, 0, 0)); };
      if (!leave) testenv::PumpUntil([&] { return deviceCount() == devices.size() || !wizard.Filling(); }, 60000);
      for (UINT id : {Dlg::kServerTree, Dlg::kTargetTree}) {
        CMulStatusTree& tree = wizard.TreeById(id);
        EXPECT_EQ(servers, qvtest::Children(tree, tree.GetRootItem())) << id;
      }
      ASSERT_EQ(devices.size(), deviceCount());
      std::vector<std::wstring> listed;
      for (size_t i = 0; i < devices.size(); ++i) {
        wchar_t text[64] = {};
        if (::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 64) ::SendMessageW(combo, CB_GETLBTEXT, i, LPARAM(text));
        listed.push_back(text);
      }
      EXPECT_EQ(devices, listed);
      EXPECT_EQ(0, ::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    });
  }
}

// Under Wine a window leaves the screen only once all it holds is destroyed: the
// wizard's host lists (a site's hosts twice) outlive its window and go, with everything
// its view held, from the page's idle time after it.
TEST_F(StrategyWizard, ItsHostListsOutliveItsWindowAndGoAfterIt) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (Name, IP, Status, Type) with recursive n(i) as "
                                 L"(select 1 union all select i + 1 from n where i < 3000) "
                                 L"select '主机' || i, '10.5.' || (i / 250) || '.' || (i % 250), i % 2, 0 from n"));
  struct Collect {
    static BOOL CALLBACK Next(HWND child, LPARAM all) {
      reinterpret_cast<std::vector<HWND>*>(all)->push_back(child);
      return TRUE;
    }
  };
  Run([&] {
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    HWND wizardFrame = nullptr, view = nullptr;
    std::vector<HWND> trees, held;
    script.ExpectDialog([&](UiDialogDriver& w) {
      Dlg& wizard = *w.As<Dlg>();
      ASSERT_TRUE(testenv::PumpUntil([&] { return !wizard.Filling(); }, 60000));
      wizardFrame = w.Frame();
      view = wizard.GetViewHWnd();
      for (UINT id : {Dlg::kServerTree, Dlg::kTargetTree}) trees.push_back(wizard.TreeById(id).m_hWnd);
      ::EnumChildWindows(view, &Collect::Next, reinterpret_cast<LPARAM>(&held));
    });
    Click(Page::kItemNew);
    ASSERT_FALSE(::IsWindow(wizardFrame));
    for (HWND tree : trees) EXPECT_TRUE(::IsWindow(tree));
    EXPECT_TRUE(testenv::PumpUntil([&] {
      return !::IsWindow(view) && std::none_of(held.begin(), held.end(), [](HWND w) { return ::IsWindow(w); });
    }, 60000));
  });
}

TEST_F(StrategyWizard, ADeviceAddressNoHostCanHaveIsRefusedBeforeTheLoginTestAndTheNextPanel) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.1','',1,1), "
                                 L"('255.255.255.255','bcast',1,1)"));
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    qvtest::ConnectionWatch watch(script);  // each told with nothing held
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"思科网络设备完整性监测");
    w.Click(Dlg::kTemplateNext);
    ASSERT_EQ(Dlg::kPanelDevice, wizard.CurrentPanel());
    const struct { UINT edit; const wchar_t* text; } typed[] = {
        {Dlg::kNameEdit, L"设备策略"}, {Dlg::kDescriptorEdit, L"说明"}, {Dlg::kUserIdEdit, L"admin"},
        {Dlg::kLoginIdEdit, L"pass"}, {Dlg::kManageIdEdit, L"enable"}};
    for (const auto& t : typed) ASSERT_TRUE(w.Type(t.edit, t.text));
    for (const wchar_t* device : {L"10.1", L"bcast"}) {
      SCOPED_TRACE(qv::WideToUtf8(device));
      Choose(w, Dlg::kDeviceCombo, device);
      for (UINT command : {Dlg::kVerifyLogin, Dlg::kLoginNext}) {
        script.ExpectBox(L"客户端IP地址无效，命令未发送！");
        EXPECT_TRUE(w.Click(command));
        EXPECT_EQ(Dlg::kPanelDevice, wizard.CurrentPanel());
        EXPECT_TRUE(w.IsOpenAndShown());
      }
    }
  });
}

// The custom objects read before a failing one would pass for all of them.
TEST_F(StrategyWizard, CustomObjectsThatFailPartWayAreNotOfferedAndTheReasonIsTold) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppStrategyName, id) values ('应用乙', '1'), "
                                 L"('应用丙', '1'), ('应用丁', '1')"));
  std::wstring error;
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"AppStrategyTable", L"AppStrategyName", L"AppStrategyName = '应用丙'", &error));
  // The objects page reads the table too, as the area loads.
  script.ExpectBox(L"读取自定义应用策略失败：");
  Run([&] {
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    qvtest::ConnectionWatch watch(script);  // told with nothing held
    script.ExpectBox(L"integer overflow");
    script.ExpectDialog([&](UiDialogDriver& w) {
      CMulStatusTree& tree = w.As<Dlg>()->TreeById(Dlg::kTemplateTree);
      EXPECT_TRUE(w.IsOpenAndShown());
      for (const wchar_t* name : {L"应用'甲", L"应用乙"}) EXPECT_EQ(nullptr, qvtest::FindItem(tree, name)) << qv::WideToUtf8(name);
      EXPECT_NE(nullptr, qvtest::FindItem(tree, L"注册表乙"));  // the other lists are whole
    });
    Click(Page::kItemNew);
  });
  ASSERT_EQ(2u, script.Boxes().size());
  EXPECT_NE(std::wstring::npos, script.Boxes()[0].text.find(L"integer overflow"));
  EXPECT_EQ(0u, script.Boxes()[1].text.find(L"读取自定义应用策略失败："));
}

// The hosts read before a failing one would pass for all of them: the list that fails
// after some rows shows none and says why; the other list is whole.
TEST_F(StrategyWizard, HostListsThatFailPartWayShowNoHostAndSayWhy) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.3','web3',1,0), "
                                 L"('10.0.0.6','rt3',1,1)"));
  using Names = std::vector<std::wstring>;
  const struct {
    const wchar_t* failing;
    Names servers, devices;
    const wchar_t* box;  // which list the box names
  } rows[] = {
      {L"web3", {}, {L"10.0.0.8", L"rt1", L"rt2", L"rt3"}, L"读取服务器列表失败："},
      {L"rt3", {L"web1", L"10.0.0.2", L"web3"}, {}, L"读取网络设备列表失败："},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.failing));
    Run([&] {
      ShowPage(CQuorvaneUIHandler::kTabStrategies);
      qvtest::ConnectionWatch watch(script);  // told with nothing held
      std::wstring error;
      ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Client", L"Name", (L"Name = '" + std::wstring(row.failing) + L"'").c_str(),
                                       &error));
      script.ExpectBox(L"integer overflow");
      script.ExpectDialog([&](UiDialogDriver& w) {
        Dlg& wizard = *w.As<Dlg>();
        for (UINT id : {Dlg::kServerTree, Dlg::kTargetTree}) {
          CMulStatusTree& tree = wizard.TreeById(id);
          Names shown;
          for (HTREEITEM i = tree.GetChildItem(tree.GetRootItem()); i; i = tree.GetNextSiblingItem(i))
            shown.push_back(tree.GetItemText(i));
          EXPECT_EQ(row.servers, shown) << id;
        }
        Names devices;
        HWND combo = w.Control(Dlg::kDeviceCombo);
        for (LRESULT i = 0, n = ::SendMessageW(combo, CB_GETCOUNT, 0, 0); i < n; ++i) {
          wchar_t text[64] = {};
          if (::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 64) ::SendMessageW(combo, CB_GETLBTEXT, i, LPARAM(text));
          devices.push_back(text);
        }
        EXPECT_EQ(row.devices, devices);
      });
      Click(Page::kItemNew);
      ASSERT_TRUE(qvtest::Exec(link, L"drop view Client") && qvtest::Exec(link, L"alter table ClientRows rename to Client"));
    });
    ASSERT_FALSE(script.Boxes().empty());
    EXPECT_EQ(0u, script.Boxes().back().text.find(row.box)) << qv::WideToUtf8(script.Boxes().back().text);
  }
}

TEST_F(StrategyWizard, TheLayoutHasEveryIdTheWizardUses) {
  std::string layout, tab;
  for (UINT id : {550u, 551u, 552u}) {
    ASSERT_TRUE(UiResUtil::LoadUiResource(id, tab, L"xml")) << id;
    layout += tab;
  }
  for (UINT id : Dlg::ItemIds()) {
    SCOPED_TRACE(id);
    EXPECT_NE(std::string::npos, layout.find("id=\"" + std::to_string(id) + "\""));
  }
}

// Each template's way forward and back; templates that take no strategy stay.
TEST_F(StrategyWizard, PanelsFollowTheTemplateAndBackRetracesThem) {
  const struct {
    const wchar_t* templ;
    std::vector<std::pair<UINT, UINT>> moves;  // button, panel shown after it
  } walks[] = {
      {L"Microsoft SQL Server 2005", {{10000, 20000}}},
      {L"Internet Information Server 6.0", {{10000, 20000}}},
      {L"Lotus Domino/Notes", {{10000, 20000}}},
      {L"注册表乙", {{10000, 20000}}},
      {L"Linux操作系统完整性监测", {{10000, 20010}, {10010, 20016}, {10029, 20002}, {10007, 20016}, {10030, 20010}, {10011, 20000}}},
      {L"Windows 2003 Server完整性监测(32)",
       {{10000, 20003}, {10003, 20010}, {10010, 20016}, {10030, 20010}, {10011, 20003}, {10008, 20000}}},
      {L"应用'甲", {{10000, 20016}, {10029, 20002}, {10007, 20016}, {10030, 20000}}},
      {L"思科网络设备完整性监测", {{10000, 20001}, {10001, 20002}, {10007, 20001}, {10006, 20000}}},
      {L"自定义文件系统完整性监测策略", {{10000, 20012}, {10017, 20015}, {10028, 20012}, {10020, 20002}, {10007, 20012}, {10021, 20000}}},
  };
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    FillAll(w, wizard);
    CMulStatusTree& templates = wizard.TreeById(Dlg::kTemplateTree);
    for (const auto& walk : walks) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(walk.templ)));
      Toggle(templates, walk.templ);
      EXPECT_EQ(walk.templ, Checked(templates));  // the one before is unchecked
      for (const auto& move : walk.moves) {
        EXPECT_TRUE(w.Click(move.first)) << move.first;
        EXPECT_EQ(move.second, wizard.CurrentPanel()) << "after " << move.first;
        if (move.second == Dlg::kPanelOsAttributes) ExpectWholeTitle(w, walk.templ);
      }
    }
    EXPECT_EQ(L"10.0.0.9", std::wstring(wizard.Record().Ip));
  });
}

TEST_F(StrategyWizard, PanelsRefuseWhatCannotBeSaved) {
  AddTarget(L"已有");
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    qvtest::ConnectionWatch watch(script);  // each refusal told with nothing held
    CMulStatusTree& templates = wizard.TreeById(Dlg::kTemplateTree);
    script.ExpectBox(L"没有选择策略模版！");
    w.Click(Dlg::kTemplateNext);
    EXPECT_TRUE(w.IsOpenAndShown());
    Toggle(templates, L"Linux操作系统完整性监测");
    w.Click(Dlg::kTemplateNext);
    script.ExpectBox(L"没有选择项！");
    w.Click(Dlg::kTargetNext);
    EXPECT_TRUE(w.IsOpenAndShown());
    EXPECT_EQ(Dlg::kPanelServers, wizard.CurrentPanel());
    Toggle(wizard.TreeById(Dlg::kServerTree), L"10.0.0.2");
    w.Click(Dlg::kTargetNext);
    // A name taken by a strategy another console stored since the page read its list:
    // the page reads it again.
    const struct { const wchar_t *name, *descriptor, *box; bool other; } names[] = {
        {L"", L"d", L"没有策略名！", false}, {L"已有", L"d", L"此策略名已经存在，请重新定义！", false},
        {L"他人", L"d", L"此策略名已经存在，请重新定义！", true},
        {L"O'Brien", L"", L"没有策略描述！", false}, {L"O'Brien", L"d", nullptr, false}};
    for (const auto& n : names) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(n.name)));
      SetText(w, Dlg::kNameEdit, n.name);
      SetText(w, Dlg::kDescriptorEdit, n.descriptor);
      if (n.other) AddTarget(n.name);
      if (n.box) script.ExpectBox(n.box);
      w.Click(Dlg::kNameNext);
      EXPECT_EQ(n.box ? Dlg::kPanelName : Dlg::kPanelSchedule, wizard.CurrentPanel());
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(n.name, w.ControlText(Dlg::kNameEdit));
      if (n.other) {
        EXPECT_LE(0, RowOf(n.name));
      }
    }
    wchar_t summary[64] = L"";
    ::GetWindowTextW(wizard.SummaryBox(), summary, 64);
    EXPECT_STREQ(L"10.0.0.2    ", summary);

    // Devices: by address, by known name, and a name that no longer has an address.
    for (int back = 0; back < 3; ++back) w.Click(back == 0 ? 10007 : back == 1 ? 10030 : 10011);
    Toggle(templates, L"思科网络设备完整性监测");
    w.Click(Dlg::kTemplateNext);
    ASSERT_EQ(Dlg::kPanelDevice, wizard.CurrentPanel());
    for (UINT id : {Dlg::kUserIdEdit, Dlg::kLoginIdEdit, Dlg::kManageIdEdit}) SetText(w, id, L"x");
    ASSERT_TRUE(qvtest::Exec(link, L"delete from Client where Name='rt2'"));
    const struct { const wchar_t *device, *ip, *box; } devices[] = {
        {L"10.0.0.8", L"10.0.0.8", nullptr}, {L"rt1", L"10.0.0.9", nullptr}, {L"rt2", L"10.0.0.9", L"找不到该设备的IP地址！"}};
    for (const auto& d : devices) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(d.device)));
      Choose(w, Dlg::kDeviceCombo, d.device);
      if (d.box) script.ExpectBox(d.box);
      w.Click(Dlg::kLoginNext);
      EXPECT_EQ(d.ip, std::wstring(wizard.Record().Ip));
      EXPECT_EQ(d.box ? Dlg::kPanelDevice : Dlg::kPanelSchedule, wizard.CurrentPanel());
      EXPECT_TRUE(w.IsOpenAndShown());
      if (!d.box) w.Click(10007);
    }
    Choose(w, Dlg::kDeviceCombo, L"rt1");
    SetText(w, Dlg::kManageIdEdit, L"");
    script.ExpectBox(L"没有管理口令！");
    w.Click(Dlg::kLoginNext);
    EXPECT_TRUE(w.IsOpenAndShown());

    // Object rows: a server and folder are needed, and each pair is added once.
    w.Click(10006);
    Toggle(templates, L"自定义文件系统完整性监测策略");
    w.Click(Dlg::kTemplateNext);
    w.Click(Dlg::kObjectAdd);
    script.ExpectBox(L"请选择目标服务器和目录！");
    w.Click(Dlg::kTargetParamsOK);
    EXPECT_TRUE(w.IsOpenAndShown());
    const struct { const wchar_t *server, *folder, *box; } objects[] = {
        {L"web1", L"C:\\a'b", nullptr}, {L"web1", L"C:\\a'b", L"对象已经存在！"}, {L"10.0.0.2", L"C:\\a'b", nullptr}};
    for (const auto& o : objects) {
      if (wizard.CurrentPanel() != Dlg::kPanelTargetParams) w.Click(Dlg::kObjectAdd);
      wizard.ChooseTarget(o.server, L"10.0.0.1", o.folder);
      if (o.box) script.ExpectBox(o.box);
      w.Click(Dlg::kTargetParamsOK);
      EXPECT_EQ(o.box ? Dlg::kPanelTargetParams : Dlg::kPanelObjects, wizard.CurrentPanel());
      EXPECT_TRUE(w.IsOpenAndShown());
    }
    Dlg::Grid& grid = wizard.ObjectGrid();
    ASSERT_EQ(2, grid.GetItemCount());
    EXPECT_EQ(L"10.0.0.2 C:\\a'b 全部监测", grid.GetItemText(1, 1) + L" " + grid.GetItemText(1, 2) + L" " + grid.GetItemText(1, 3));

    // A file type keeps its pattern: Enter with "txt" is refused, Escape keeps the old text.
    CMulStatusTree& types = wizard.TreeById(Dlg::kFileTypeTree);
    w.Click(Dlg::kObjectAdd);
    wizard.SetTabCurSel(Dlg::kTargetTabs, 1);
    const struct { const wchar_t *typed; UINT key; const wchar_t *box, *label; } edits[] = {
        {L"txt", VK_RETURN, L"输入的格式不对！", L"*.txt"}, {L"*.log", VK_ESCAPE, nullptr, L"*.txt"},
        {L"*.log", VK_RETURN, nullptr, L"*.log"}};
    for (const auto& e : edits) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(e.typed)));
      HTREEITEM first = types.GetRootItem();
      types.SelectItem(first);
      w.Click(Dlg::kFileTypeEdit);
      HWND edit = reinterpret_cast<HWND>(types.SendMessage(TVM_GETEDITCONTROL, 0, 0));
      ASSERT_TRUE(edit);
      ::SetWindowTextW(edit, e.typed);
      if (e.box) script.ExpectBox(e.box);
      ::PostMessageW(edit, WM_KEYDOWN, e.key, 0);
      EXPECT_TRUE(testenv::PumpUntil([&] { return !::IsWindow(edit); }, 5000));
      EXPECT_EQ(e.label, types.GetItemText(first));
      EXPECT_TRUE(w.IsOpenAndShown());
    }
  });
}

// A modification may keep its name but not take another strategy's.
TEST_F(StrategyWizard, ModifyChecksOnlyARename) {
  AddTarget(L"Alpha");
  AddTarget(L"Beta");
  ASSERT_TRUE(qvtest::Exec(link, L"update StrategyTable set SelectedItem='自定义文件系统完整性监测策略'"));
  Open(L"Alpha", [&](UiDialogDriver& w, Dlg& wizard) {
    EXPECT_EQ(L"Alpha", w.ControlText(Dlg::kObjectNameEdit));
    w.Click(Dlg::kTemplateNext);
    ASSERT_EQ(Dlg::kPanelObjects, wizard.CurrentPanel());
    SetText(w, Dlg::kObjectNameEdit, L"BETA");
    script.ExpectBox(L"此策略名已经存在，请重新定义！");
    w.Click(Dlg::kObjectsNext);
    EXPECT_TRUE(w.IsOpenAndShown());
    SetText(w, Dlg::kObjectNameEdit, L"alpha");
    w.Click(Dlg::kObjectsNext);
    EXPECT_EQ(Dlg::kPanelSchedule, wizard.CurrentPanel());
  });
}

TEST_F(StrategyWizard, ModifyFillsThePanelsFromTheStoredRows) {
  const wchar_t insert[] =
      L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, SelectedItem, ItemAttribute, "
      L"DeviceType, LoginType, UserId, LoginId, ManageId, SelectedFolder, FilterType, SelectedFileType, "
      L"IgnoreFolder, Ip, TaskMode, Status, RunStatus, id) values (?, 'd', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 1, 0, '7')";
  const struct {
    const wchar_t* name;
    int type;
    const wchar_t* selected;
    std::vector<const wchar_t*> ips;
  } strategies[] = {
      {L"OS策略", 0, L"Windows 2008 Server完整性监测(64)", {L"10.0.0.1", L"10.0.0.2"}},
      {L"设备策略", 4, L"华为网络设备完整性监测", {L"10.0.0.9"}},
      {L"文件策略", 7, L"自定义文件系统完整性监测策略", {L"10.0.0.1", L"10.0.0.5"}},
  };
  for (const auto& s : strategies)
    for (const wchar_t* ip : s.ips) {
      const std::wstring folder = std::wstring(L"D:\\") + ip;
      ASSERT_TRUE(qvtest::Exec(link, insert, {s.name, s.type, s.selected, 5, 2, 1, L"u", L"p1", L"p2",
                                              folder.c_str(), 1, L"*.txt;", L"D:\\tmp;", ip}));
    }
  for (const auto& s : strategies) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(s.name)));
    Open(s.name, [&](UiDialogDriver& w, Dlg& wizard) {
      EXPECT_EQ(s.selected, Checked(wizard.TreeById(Dlg::kTemplateTree)));
      switch (s.type) {
        case 0:
          EXPECT_EQ(L"web1|10.0.0.2", Checked(wizard.TreeById(Dlg::kServerTree)));
          EXPECT_TRUE(wizard.GetItemCheck(6041) && !wizard.GetItemCheck(6042) && wizard.GetItemCheck(6043));
          EXPECT_EQ(s.name, w.ControlText(Dlg::kNameEdit));
          break;
        case 4:
          EXPECT_EQ(L"rt1 PIX/ASA防火墙 SSH登录 u p1 p2",
                    w.ControlText(Dlg::kDeviceCombo) + L" " + w.ControlText(Dlg::kDeviceTypeCombo) + L" " +
                        w.ControlText(Dlg::kLoginTypeCombo) + L" " + w.ControlText(Dlg::kUserIdEdit) + L" " +
                        w.ControlText(Dlg::kLoginIdEdit) + L" " + w.ControlText(Dlg::kManageIdEdit));
          break;
        default: {
          Dlg::Grid& grid = wizard.ObjectGrid();
          ASSERT_EQ(2, grid.GetItemCount());
          std::wstring cells;
          for (int row = 0; row < 2; ++row)
            for (int column = 1; column <= 5; ++column) cells += grid.GetItemText(row, column) + L"|";
          EXPECT_EQ(L"web1|D:\\10.0.0.1|只监测列表中的文件类型|*.txt;|D:\\tmp;|"
                    L"10.0.0.5|D:\\10.0.0.5|只监测列表中的文件类型|*.txt;|D:\\tmp;|", cells);
        }
      }
    });
  }
}

// Bytes of a link record as typed from its table: UTF-16 texts and 32-bit words.
struct Golden {
  std::vector<unsigned char> bytes;
  explicit Golden(size_t size) : bytes(size, 0) {}
  Golden& Text(size_t at, const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) Word16(at + 2 * i, text[i]);
    return *this;
  }
  Golden& Word(size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    return *this;
  }
  void Word16(size_t at, wchar_t c) {
    bytes[at] = static_cast<unsigned char>(c);
    bytes[at + 1] = static_cast<unsigned char>(c >> 8);
  }
};

// A Windows strategy on three servers: three rows with one id and their own address,
// the weekly schedule in its columns and in the record the service gets.
TEST_F(StrategyWizard, SaveWritesOneRowPerServerAndTellsTheService) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.3','web3',1,0)"));
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
    PastWindowsAttributes(w, wizard);
    for (const wchar_t* server : {L"web1", L"10.0.0.2", L"web3"}) Toggle(wizard.TreeById(Dlg::kServerTree), server);
    w.Click(Dlg::kTargetNext);
    SetText(w, Dlg::kNameEdit, L"O'策略");
    SetText(w, Dlg::kDescriptorEdit, L"说明");
    w.Click(Dlg::kNameNext);
    StrategyRecord& r = wizard.EditRecord();
    r.TaskMode = 1, r.StartTime = 8, r.ScheduleWordA = 2, r.ScheduleWordB = 17;
    EXPECT_EQ(1, wizard.SaveStrategy());
    testenv::PeerFrame frame;
    ASSERT_TRUE(peer.ReceiveFrame(&frame, 5000));
    EXPECT_EQ(1549u, frame.messageId);
    Golden golden(292);
    golden.Text(8, L"O'策略").Text(140, L"Windows 2000 Server完整性监测").Word(204, 4).Word(272, 1).Word(276, 1);
    golden.Word(280, 8).Word(284, 2).Word(288, 17);
    EXPECT_EQ(golden.bytes, frame.payload);
    EXPECT_EQ(L"说明", Cell(L"O'策略", 1));
  });
  EXPECT_EQ(3, Table(L"O'策略"));
  EXPECT_EQ(L"10.0.0.1 10.0.0.2 10.0.0.3", TextOf(L"select group_concat(Ip, ' ') from StrategyTable"));
  EXPECT_EQ(1, qvtest::Int(link, L"select count(distinct id) from StrategyTable where length(id) = 17"));
  EXPECT_EQ(L"1 8 0 2 17 0", TextOf(L"select TaskMode||' '||StartTime||' '||NumOfDay||' '||NumOfWeek||' '||"
                                                L"WhichWeek||' '||WhichMonth from StrategyTable limit 1"));
}

// Attribute bits chosen for a Windows template, then left by going back to another
// template, reach neither the rows nor the record the service gets.
TEST_F(StrategyWizard, AnotherTemplateLeavesNoWindowsAttributes) {
  const struct { const wchar_t *name, *templ; std::vector<UINT> nexts; } rows[] = {
      {L"甲", L"Linux操作系统完整性监测", {Dlg::kTemplateNext, Dlg::kTargetNext, Dlg::kNameNext}},
      {L"乙", L"思科网络设备完整性监测", {Dlg::kTemplateNext, Dlg::kLoginNext}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.templ));
    Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
      ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
      PastWindowsAttributes(w, wizard);
      for (UINT back : {10011u, 10008u}) w.Click(back);
      Toggle(wizard.TreeById(Dlg::kTemplateTree), row.templ);
      FillAll(w, wizard);
      SetText(w, Dlg::kNameEdit, row.name);
      for (UINT next : row.nexts) w.Click(next);
      ASSERT_EQ(Dlg::kPanelSchedule, wizard.CurrentPanel());
      EXPECT_EQ(1, wizard.SaveStrategy());
      testenv::PeerFrame frame;
      ASSERT_TRUE(peer.ReceiveFrame(&frame, 5000));
      ASSERT_EQ(1549u, frame.messageId);
      ASSERT_EQ(292u, frame.payload.size());
      EXPECT_EQ(0, frame.payload[204] | frame.payload[205] | frame.payload[206] | frame.payload[207]);
    });
    EXPECT_EQ(1, Table(row.name));
    EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from StrategyTable where ItemAttribute <> 0"));
  }
}

// How far right the element's text is painted: the view printed into a picture, compared
// with the same view where the element shows nothing. Other texts are put in only to be
// measured and the element's own text is put back.
int PaintedRight(UiDialogDriver& w, Dlg& wizard, UINT id, const std::wstring* shown = nullptr) {
  HWND view = w.View().m_hWnd;
  RECT client;
  ::GetClientRect(view, &client);
  auto print = [&](DibCanvas& canvas) { ::SendMessageW(view, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT); };
  const std::wstring own = w.ItemText(id);
  DibCanvas blank(client.right, client.bottom), painted(client.right, client.bottom);
  wizard.SetItemText(id, L"");
  print(blank);
  wizard.SetItemText(id, (shown ? *shown : own).c_str());
  print(painted);
  wizard.SetItemText(id, own.c_str());
  const RECT rc = w.View().FindChildByCmdID(id)->GetRect();
  int right = -1;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < client.right; ++x)
      if (painted.At(x, y) != blank.At(x, y)) right = std::max(right, x);
  return right;
}

// A name, user id or host with "&" is painted with the "&", not as a mnemonic that hides
// it and underlines the next character: the panels' texts painted wider than the same
// texts without the "&".
TEST_F(StrategyWizard, PanelsShowAnAmpersandInDataAsItIs) {
  const std::wstring name = L"验收'向导%_<&>", without = L"验收'向导%_<>";
  auto expectShown = [&](UiDialogDriver& w, Dlg& wizard, UINT id, const std::wstring& text, const std::wstring& bare) {
    SCOPED_TRACE(testing::Message() << "panel " << wizard.CurrentPanel() << " element " << id);
    EXPECT_EQ(text, w.ItemText(id));
    const int with = PaintedRight(w, wizard, id), plain = PaintedRight(w, wizard, id, &bare);
    EXPECT_GT(plain, 0);
    EXPECT_GE(with - plain, 4) << "the \"&\" is not painted";
  };
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"Linux操作系统完整性监测");
    w.Click(Dlg::kTemplateNext);
    Toggle(wizard.TreeById(Dlg::kServerTree), L"web1");
    w.Click(Dlg::kTargetNext);
    SetText(w, Dlg::kNameEdit, name);
    SetText(w, Dlg::kDescriptorEdit, L"说明");
    w.Click(Dlg::kNameNext);
    ASSERT_EQ(Dlg::kPanelSchedule, wizard.CurrentPanel());
    expectShown(w, wizard, 2006, name, without);
    w.Click(Dlg::kScheduleNext);
    SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
    w.Click(Dlg::kSettingsFinish);
    ASSERT_EQ(Dlg::kPanelSummary, wizard.CurrentPanel());
    expectShown(w, wizard, 2007, name, without);
    w.EndWith(2);
  });
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"思科网络设备完整性监测");
    w.Click(Dlg::kTemplateNext);
    FillAll(w, wizard);
    SetText(w, Dlg::kNameEdit, name);
    SetText(w, Dlg::kUserIdEdit, L"a&b");
    w.Click(Dlg::kLoginNext);
    w.Click(Dlg::kScheduleNext);
    SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
    w.Click(Dlg::kSettingsFinish);
    ASSERT_EQ(Dlg::kPanelDeviceSummary, wizard.CurrentPanel());
    expectShown(w, wizard, 2000, name, without);
    expectShown(w, wizard, 2004, L"a&b", L"ab");
    w.EndWith(2);
  });
}

TEST(StrategySchedule, ColumnsRecordWordsAndRunTimeFollowTheMode) {
  const struct {
    DWORD mode, start, a, b, day;
    const char* columns;  // 13 to 23
    uint32_t words[4];
    const wchar_t* runTime;
  } cases[] = {
      {0, 6, 3, 0, 0, "0 6 3 0 0 0 0 0 0 0 0", {0, 6, 3, 0}, L"每3天   6:00"},
      {1, 8, 2, 17, 0, "1 8 0 2 17 0 0 0 0 0 0", {1, 8, 2, 17}, L"每2周   星期一 星期五   8:00"},
      {1, 8, 2, 65, 0, "1 8 0 2 65 0 0 0 0 0 0", {1, 8, 2, 65}, L"每2周   星期一 星期日   8:00"},
      {2, 3, 0x801, 1, 15, "2 3 0 0 0 2049 1 15 0 0 0", {2, 3, 0x801, 15}, L"一月 十二月    15号   3点"},
      {2, 3, 0, 1, 15, "2 3 0 0 0 0 1 15 0 0 0", {2, 3, 0, 15}, L"每月   15号   3点"},
      {3, 5, 2, 17, 9, "3 0 0 0 0 0 0 0 0 0 0", {0, 0, 0, 0}, L"一次性"},
      {6, 30, 2, 17, 9, "6 0 0 0 0 0 0 0 0 0 30", {0, 0, 0, 0}, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.columns);
    StrategyRecord r{};
    r.TaskMode = c.mode, r.StartTime = c.start, r.ScheduleWordA = c.a, r.ScheduleWordB = c.b, r.DayOfMonth = c.day;
    const StrategyTableRow row = Dlg::RowOf(r);
    std::string columns;
    for (int column = 13; column <= 23; ++column) columns += (columns.empty() ? "" : " ") + std::to_string(row.Int(column));
    EXPECT_EQ(c.columns, columns);
    const StrategyScheduleFields f = Dlg::ScheduleFieldsOf(r);
    EXPECT_EQ((std::vector<uint32_t>{c.words, c.words + 4}), (std::vector<uint32_t>{f.TaskMode, f.Start, f.WordA, f.WordB}));
    EXPECT_EQ(c.runTime, Dlg::RunTimeText(r));
  }
}

// Through the last panels as a user goes: weekly first, then back and once; the settings
// as shown are what is stored, and a modification shows them again.
TEST_F(StrategyWizard, ScheduleAndSettingsAreStoredAsShownAndComeBack) {
  auto mode = [](UiDialogDriver& w, int index) {
    HWND combo = w.Control(Dlg::kTaskModeCombo);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(w.Frame(), WM_COMMAND, MAKEWPARAM(Dlg::kTaskModeCombo, CBN_SELCHANGE), LPARAM(combo));
    std::string shown;
    for (UINT upDown : {3012u, 3014u, 3016u}) shown += ::IsWindowVisible(w.Control(upDown)) ? '1' : '0';
    return shown;
  };
  auto number = [](UiDialogDriver& w, UINT upDown, int value) { ::SendMessageW(w.Control(upDown), UDM_SETPOS32, 0, value); };
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"Linux操作系统完整性监测");
    w.Click(Dlg::kTemplateNext);
    Toggle(wizard.TreeById(Dlg::kServerTree), L"web1");
    w.Click(Dlg::kTargetNext);
    SetText(w, Dlg::kNameEdit, L"计划'甲");
    SetText(w, Dlg::kDescriptorEdit, L"说明");
    w.Click(Dlg::kNameNext);
    EXPECT_EQ("100", mode(w, 0));
    EXPECT_EQ("001", mode(w, 2));
    EXPECT_EQ("010", mode(w, 1));
    number(w, 3014, 2);
    wizard.SetItemCheck(6007, TRUE);
    wizard.SetItemCheck(6013, TRUE);
    w.Click(Dlg::kScheduleNext);
    EXPECT_EQ(65u, wizard.Record().ScheduleWordB);
    w.Click(10013);
    EXPECT_EQ("000", mode(w, 3));
    w.Click(Dlg::kScheduleNext);
    ASSERT_EQ(Dlg::kPanelSettings, wizard.CurrentPanel());
    for (UINT check : {6028u, 6029u, 6031u, 6034u}) wizard.SetItemCheck(check, TRUE);
    w.Click(Dlg::kReportCheck);  // a click checks it
    EXPECT_TRUE(::IsWindowEnabled(w.Control(3035)));
    ::SendMessageW(w.Control(Dlg::kRuleCombo), CB_SETCURSEL, 2, 0);
    number(w, 3029, 3);
    const wchar_t* const parts[] = {L"a", L"b", L"c", L""};
    for (int i = 0; i < 4; ++i) SetText(w, Dlg::kFirstReportPart + i, parts[i]);
    script.ExpectBox(L"请输入历史副本存储位置");
    w.Click(Dlg::kSettingsFinish);
    EXPECT_TRUE(w.IsOpenAndShown());
    SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
    w.Click(Dlg::kSettingsFinish);
    ASSERT_EQ(Dlg::kPanelSummary, wizard.CurrentPanel());
    EXPECT_EQ(L"单次执行 一次性", w.ItemText(2008) + L" " + w.ItemText(2009));
    w.Click(Dlg::kFinish);
  });
  EXPECT_EQ(L"3 0 0 0 0 0 0 0 0 0 0|1 3 1 a@b.c 1 5 2 D:\\副本 1",
            TextOf(L"select TaskMode||' '||StartTime||' '||NumOfDay||' '||NumOfWeek||' '||WhichWeek||' '||WhichMonth||' '||"
                   L"Mode||' '||DayOfMonth||' '||WeekOfMonth||' '||DayOfWeek||' '||OverTime||'|'||IsHistoryCopy||' '||"
                   L"NumOfHistoryCopy||' '||IsReport||' '||ReportPlace||' '||IsStartHips||' '||FilterBehavior||' '||"
                   L"DefaultRule||' '||SavePlace||' '||count(*) from StrategyTable"));
  Open(L"计划'甲", [&](UiDialogDriver& w, Dlg&) {
    std::wstring shown;
    for (UINT id : {3009u, 3028u, 3035u, 3036u, 3037u, 3038u, 3027u, 3034u}) shown += w.ControlText(id) + L"|";
    EXPECT_EQ(L"一次性|3|a|b|c||拒绝|D:\\副本|", shown);
  });
}

// "完成" with the service unreachable stores nothing and leaves the wizard as it was;
// once the service is back the same "完成" saves what was entered.
TEST_F(StrategyWizard, FinishWithTheLinkDownChangesNothingAndKeepsTheEntries) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, SelectedItem, "
                                 L"TaskMode, Status, RunStatus, Ip, id, UserId, LoginId, ManageId) values ('旧', 'd', 4, "
                                 L"'思科网络设备完整性监测', 3, 1, 0, '10.0.0.9', '20260101000000001', 'u', 'p', 'q')"));
  const wchar_t table[] = L"select group_concat(StrategyName||' '||StrategyDescriptor||' '||Ip, ',') from StrategyTable";
  const struct {
    const wchar_t* modify;
    const wchar_t* name;
    UINT finish;
    const wchar_t* stored;
  } cases[] = {
      {nullptr, L"新策略", Dlg::kFinish, L"旧 d 10.0.0.9,新策略 说明 10.0.0.1"},
      {L"旧", L"改名", Dlg::kDeviceFinish, L"新策略 说明 10.0.0.1,改名 d 10.0.0.9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    testenv::LoopbackPeer service(0, false);
    const std::wstring before = TextOf(table);
    auto listed = [this] {
      std::wstring names;
      for (int row = 0; row < Grid().GetItemCount(); ++row) names += Grid().GetItemText(row, 0) + L"|";
      return names;
    };
    Open(c.modify, [&](UiDialogDriver& w, Dlg& wizard) {
      const std::wstring rows = listed();
      ToNamePanel(w, wizard, c.modify != nullptr);
      SetText(w, Dlg::kNameEdit, c.name);
      w.Click(c.modify ? Dlg::kLoginNext : Dlg::kNameNext);
      w.Click(Dlg::kScheduleNext);
      SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
      w.Click(Dlg::kSettingsFinish);
      const UINT summary = wizard.CurrentPanel();
      ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.CanSend(); }, 5000));
      script.ExpectBox(L"与监测服务的连接已断开，命令未发送！");
      EXPECT_TRUE(w.Click(c.finish));
      EXPECT_EQ(before, TextOf(table));
      EXPECT_EQ(summary, wizard.CurrentPanel());
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(c.name, w.ControlText(Dlg::kNameEdit));
      EXPECT_EQ(rows, listed());

      ASSERT_TRUE(service.Listen());
      ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 20000));
      EXPECT_TRUE(w.Click(c.finish));  // ends the wizard
    }, service.Port());
    EXPECT_EQ(c.stored, TextOf(table));
  }
}

// A target host is taken as every place takes one: a checked server whose stored address
// is the broadcast address is refused at the finish in the same words, and nothing is
// stored or told.
TEST_F(StrategyWizard, AServerWithTheBroadcastAddressIsNotTakenAsATarget) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('255.255.255.255','bcast',1,0)"));
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"Linux操作系统完整性监测");
    w.Click(Dlg::kTemplateNext);
    for (const wchar_t* server : {L"web1", L"bcast"}) Toggle(wizard.TreeById(Dlg::kServerTree), server);
    w.Click(Dlg::kTargetNext);
    ASSERT_TRUE(w.Type(Dlg::kNameEdit, L"广播"));
    ASSERT_TRUE(w.Type(Dlg::kDescriptorEdit, L"说明"));
    w.Click(Dlg::kNameNext);
    w.Click(Dlg::kScheduleNext);
    ASSERT_TRUE(w.Type(Dlg::kCopyPlaceEdit, L"D:\\副本"));
    w.Click(Dlg::kSettingsFinish);
    const UINT summary = wizard.CurrentPanel();
    script.ExpectBox(L"客户端IP地址无效，命令未发送！");
    EXPECT_TRUE(w.Click(Dlg::kFinish));
    EXPECT_EQ(summary, wizard.CurrentPanel());
    EXPECT_TRUE(w.IsOpenAndShown());
    EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from StrategyTable"));
  });
  EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from StrategyTable"));
}

// A modification keeps the id and replaces the rows; a failing insert keeps the old ones.
TEST_F(StrategyWizard, ModifyReplacesTheRowsOrKeepsThemAll) {
  for (bool refuse : {true, false}) {
    SCOPED_TRACE(refuse ? "refused" : "stored");
    StoreDeviceStrategy();
    if (refuse)
      ASSERT_TRUE(qvtest::Exec(link, L"create trigger refuse before insert on StrategyTable begin select raise(abort, 'refused'); end"));
    Open(L"旧", [&](UiDialogDriver& w, Dlg& wizard) {
      ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
      w.Click(Dlg::kTemplateNext);
      SetText(w, Dlg::kNameEdit, L"新");
      w.Click(Dlg::kLoginNext);
      ASSERT_EQ(Dlg::kPanelSchedule, wizard.CurrentPanel());
      if (refuse) script.ExpectBox(L"refused");
      EXPECT_EQ(refuse ? 0 : 1, wizard.SaveStrategy());
      EXPECT_TRUE(!refuse || w.IsOpenAndShown());
      testenv::PeerFrame frame;
      if (!refuse) {
        ASSERT_TRUE(peer.ReceiveFrame(&frame, 5000));
        Golden golden(420);
        golden.Text(8, L"新").Text(136, L"旧").Word(264, 4).Text(268, L"思科网络设备完整性监测").Word(400, 1);
        EXPECT_EQ(1551u, frame.messageId);
        EXPECT_EQ(golden.bytes, frame.payload);
      }
      EXPECT_EQ(refuse ? L"旧" : L"新", Grid().GetItemText(0, 0));
    });
    EXPECT_EQ(refuse ? L"旧 20260101000000001" : L"新 20260101000000001",
              TextOf(L"select group_concat(StrategyName||' '||id) from StrategyTable"));
  }
}

// Another console deletes the strategy being modified: a wizard opened after that says so
// and ends instead of opening empty; one already open writes nothing back at "完成",
// tells the service nothing and ends. Either way the page shows the list as it now is.
TEST_F(StrategyWizard, ModifyOfAStrategyAnotherConsoleDeletedWritesNothingBackAndSaysSo) {
  for (bool whileOpen : {false, true}) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << (whileOpen ? "deleted while open" : "deleted before") << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      StoreDeviceStrategy();
      const wchar_t* const kDelete = L"delete from StrategyTable where StrategyName = '旧'";
      Run([&] {
        ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
        ShowPage(CQuorvaneUIHandler::kTabStrategies);
        Check(L"旧");
        if (!whileOpen) ASSERT_TRUE(qvtest::Exec(link, kDelete));
        if (whileOpen) {
          script.ExpectDialog([&](UiDialogDriver& w) {
            Dlg& wizard = *w.As<Dlg>();
            w.Click(Dlg::kTemplateNext);
            SetText(w, Dlg::kNameEdit, L"新");
            w.Click(Dlg::kLoginNext);
            ASSERT_EQ(Dlg::kPanelSchedule, wizard.CurrentPanel());
            ASSERT_TRUE(qvtest::Exec(link, kDelete));
            EXPECT_EQ(0, wizard.SaveStrategy());
          }, kStillOpen);
        }
        script.ExpectBox(L"该记录已被删除，列表将重新读取。");
        Click(Page::kItemModify);
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_EQ(0, Grid().GetItemCount());
        g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);  // nothing before it
        testenv::PeerFrame frame;
        EXPECT_TRUE(peer.ReceiveFrame(&frame, 5000) && frame.messageId == 9999) << frame.messageId;
      });
      EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from StrategyTable"));
    }
  }
}

// Another console changes the strategy being modified (its description, or its name:
// the id is the same): it is found by its id, not told as deleted, and a strategy that
// took its old name since is another, left as it is. A wizard already open writes
// nothing at "完成", tells the service nothing, says so and stays open with what the
// user typed, while the page shows the list as it now is with the strategy checked;
// "完成" again replaces the strategy as it is stored now. A wizard opened after the
// change says so and ends (nothing was typed yet).
TEST_F(StrategyWizard, ModifyOfAStrategyAnotherConsoleChangedKeepsTheEntriesAndSaysSo) {
  const wchar_t* const kRename = L"update StrategyTable set StrategyName = '他改' where StrategyName = '旧'";
  const struct {
    std::vector<const wchar_t*> change;
    const wchar_t* row;       // the page's row read again: name and description
    const wchar_t* previous;  // the name the service is told the strategy had
    const wchar_t* others;    // the rows of other strategies, as they stay
  } cases[] = {
      {{L"update StrategyTable set StrategyDescriptor = '另一描述' where StrategyName = '旧'"}, L"旧 另一描述", L"旧", L""},
      {{kRename}, L"他改 d", L"他改", L""},
      {{kRename, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, SelectedItem, TaskMode, "
                 L"Status, RunStatus, Ip, id) values ('旧', 'd', 4, '思科网络设备完整性监测', 3, 1, 0, '10.0.0.7', "
                 L"'20260101000000002')"},
       L"他改 d", L"他改", L"旧 d 20260101000000002,"},
  };
  // Ordered by id: a replaced strategy's rows come last in the table.
  const wchar_t table[] = L"select group_concat(r) from (select StrategyName||' '||StrategyDescriptor||' '||id as r "
                          L"from StrategyTable order by id desc)";
  auto nothingSent = [this] {
    g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
    testenv::PeerFrame frame;
    return peer.ReceiveFrame(&frame, 5000) && frame.messageId == 9999;
  };
  auto checkedRow = [this] {
    for (int row = 0; row < Grid().GetItemCount(); ++row)
      if (Grid().GetItemCheck(row, 0) > 0) return Grid().GetItemText(row, 0) + L" " + Grid().GetItemText(row, 1);
    return std::wstring(L"none");
  };
  auto change = [this](const std::vector<const wchar_t*>& statements) {
    for (const wchar_t* sql : statements) ASSERT_TRUE(qvtest::Exec(link, sql));
  };
  for (const auto& c : cases) {
    // A database that does not count the rows a change found: the write at "完成" is
    // known to have found its rows all the same.
    for (int pass = 0; pass < 3; ++pass) {
      const bool whileOpen = pass < 2, counted = pass != 1;
      SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.row)) << " " << c.change.size()
                                      << (whileOpen ? " while open" : " before") << (counted ? "" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      StoreDeviceStrategy();
      Run([&] {
        ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
        ShowPage(CQuorvaneUIHandler::kTabStrategies);
        Check(L"旧");
        if (!whileOpen) {
          change(c.change);
          script.ExpectBox(L"该策略已被其他控制台修改，列表将重新读取。");
          Click(Page::kItemModify);  // the wizard ends before it is shown
          ASSERT_EQ(0u, script.Remaining());
          EXPECT_EQ(L"提示", script.Boxes().back().caption);
          EXPECT_EQ(c.row, checkedRow());
          EXPECT_TRUE(nothingSent());
          return;
        }
        script.ExpectDialog([&](UiDialogDriver& w) {
          Dlg& wizard = *w.As<Dlg>();
          w.Click(Dlg::kTemplateNext);
          SetText(w, Dlg::kNameEdit, L"新");
          w.Click(Dlg::kLoginNext);
          w.Click(Dlg::kScheduleNext);
          SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
          w.Click(Dlg::kSettingsFinish);
          const UINT summary = wizard.CurrentPanel();
          ASSERT_EQ(Dlg::kPanelDeviceSummary, summary);
          change(c.change);
          const std::wstring stored = TextOf(table);
          script.ExpectBox(L"该策略已被其他控制台修改，您的修改尚未保存，列表将重新读取。再次点击“完成”将以您的修改替换它。");
          EXPECT_TRUE(w.Click(Dlg::kDeviceFinish));
          ASSERT_EQ(0u, script.Remaining());
          EXPECT_EQ(L"提示", script.Boxes().back().caption);
          EXPECT_TRUE(w.IsOpenAndShown());
          EXPECT_EQ(summary, wizard.CurrentPanel());
          EXPECT_EQ(L"新", w.ControlText(Dlg::kNameEdit));
          EXPECT_EQ(stored, TextOf(table));
          EXPECT_EQ(c.row, checkedRow());
          EXPECT_TRUE(nothingSent());

          EXPECT_TRUE(w.Click(Dlg::kDeviceFinish));  // ends the wizard
          testenv::PeerFrame frame;
          ASSERT_TRUE(peer.ReceiveFrame(&frame, 5000));
          EXPECT_EQ(1551u, frame.messageId);
          ASSERT_EQ(420u, frame.payload.size());
          EXPECT_EQ(std::wstring(L"新") + L"|" + c.previous,
                    std::wstring(reinterpret_cast<const wchar_t*>(&frame.payload[8])) + L"|" +
                        reinterpret_cast<const wchar_t*>(&frame.payload[136]));
        }, kStillOpen);
        Click(Page::kItemModify);
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_EQ(L"新 d", checkedRow());
      });
      EXPECT_EQ(c.others + (whileOpen ? L"新 d 20260101000000001" : std::wstring(c.row) + L" 20260101000000001"),
                TextOf(table));
    }
  }
}

// The name the name panel found free is looked at again at "完成": another console that
// took it since makes the wizard refuse and stay open as the user left it, with nothing
// stored or told, rather than make two strategies one. The page behind reads its list
// again, which shows the other console's strategy, the one being modified still checked.
// So too at the name's own panel, where the one being modified is found by its id: a
// strategy another console stored under its name since (it deleted the one being
// modified) is not it and goes unchecked.
TEST_F(StrategyWizard, ANameAnotherConsoleTookSinceItsPanelIsRefusedAtTheFinish) {
  const wchar_t table[] = L"select group_concat(StrategyName||' '||StrategyDescriptor, ',') from StrategyTable";
  const struct {
    const wchar_t* modify;
    bool renewed;  // taken before the name panel's 下一步, 旧 stored again under another id
  } cases[] = {{nullptr, false}, {L"旧", false}, {L"旧", true}};
  for (const auto& c : cases) {
    const wchar_t* modify = c.modify;
    SCOPED_TRACE(modify ? (c.renewed ? "modify renewed" : "modify") : "new");
    StoreDeviceStrategy();
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.1','web1',1,0)"));
    Open(modify, [&](UiDialogDriver& w, Dlg& wizard) {
      ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
      ToNamePanel(w, wizard, modify != nullptr);
      SetText(w, Dlg::kNameEdit, L"新");
      auto takeName = [&] {
        ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, id) "
                                       L"values ('新', '别人的', '20260101000000002')"));
      };
      if (c.renewed) {
        takeName();
        ASSERT_TRUE(qvtest::Exec(link, L"update StrategyTable set id = '20260101000000003' where StrategyName = '旧'"));
        script.ExpectBox(L"此策略名已经存在，请重新定义！");
        EXPECT_TRUE(w.Click(Dlg::kLoginNext));
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_TRUE(w.IsOpenAndShown());
        EXPECT_EQ(L"别人的", Cell(L"新", Page::kColDescriptor));
        ASSERT_LE(0, RowOf(L"旧"));
        EXPECT_EQ(0, Grid().GetItemCheck(RowOf(L"旧"), 0));
        return;
      }
      w.Click(modify ? Dlg::kLoginNext : Dlg::kNameNext);
      w.Click(Dlg::kScheduleNext);
      SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
      w.Click(Dlg::kSettingsFinish);
      const UINT summary = wizard.CurrentPanel();
      takeName();
      const std::wstring stored = TextOf(table);
      script.ExpectBox(L"此策略名已经存在，请重新定义！");
      EXPECT_TRUE(w.Click(modify ? Dlg::kDeviceFinish : Dlg::kFinish));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(summary, wizard.CurrentPanel());
      EXPECT_EQ(L"新", w.ControlText(Dlg::kNameEdit));
      EXPECT_EQ(stored, TextOf(table));
      EXPECT_EQ(L"别人的", Cell(L"新", Page::kColDescriptor));
      ASSERT_LE(0, RowOf(L"旧"));
      EXPECT_EQ(modify ? 1 : 0, Grid().GetItemCheck(RowOf(L"旧"), 0));
      g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);  // nothing before it
      testenv::PeerFrame frame;
      EXPECT_TRUE(peer.ReceiveFrame(&frame, 5000) && frame.messageId == 9999) << frame.messageId;
    });
  }
}

// A target host is found by its name, which may hold a "."; a host or a template's
// object another console deleted since the wizard listed it is named, at "完成" or at
// the "下一步" of its panel, and its list is read again: the deleted entry is gone, the
// other checks stay, the wizard stays where it was and nothing is stored.
TEST_F(StrategyWizard, TargetsAreFoundByNameWithADotAndADeletedOneIsNamedAndItsListReadAgain) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.6','fw.core',1,1), "
                                 L"('10.0.0.5','db.local',1,0)"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, "
                                 L"SelectedItem, SelectedFolder, FilterType, Ip, TaskMode, Status, RunStatus, id) "
                                 L"values ('文件策略', 'd', 7, '自定义文件系统完整性监测策略', 'D:\\a', 0, '10.0.0.5', 3, 1, 0, '7')"));
  Open(nullptr, [&](UiDialogDriver& w, Dlg& wizard) {
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"思科网络设备完整性监测");
    w.Click(Dlg::kTemplateNext);
    for (UINT edit : {Dlg::kNameEdit, Dlg::kDescriptorEdit, Dlg::kUserIdEdit, Dlg::kLoginIdEdit, Dlg::kManageIdEdit})
      ASSERT_TRUE(w.Type(edit, L"x"));
    Choose(w, Dlg::kDeviceCombo, L"fw.core");
    EXPECT_TRUE(w.Click(Dlg::kLoginNext));
    EXPECT_EQ(Dlg::kPanelSchedule, wizard.CurrentPanel());
    EXPECT_STREQ(L"10.0.0.6", wizard.Record().Ip);
  });
  EXPECT_EQ(0u, script.Remaining());

  auto toSummary = [](UiDialogDriver& w) {
    w.Click(Dlg::kScheduleNext);
    SetText(w, Dlg::kCopyPlaceEdit, L"D:\\副本");
    w.Click(Dlg::kSettingsFinish);
  };
  // A Windows strategy on web1 and db.local, on to its server panel or its summary.
  auto windows = [&](bool summary) {
    return [&, summary](UiDialogDriver& w, Dlg& wizard) {
      PastWindowsAttributes(w, wizard);
      for (const wchar_t* server : {L"web1", L"db.local"}) Toggle(wizard.TreeById(Dlg::kServerTree), server);
      if (!summary) return;
      w.Click(Dlg::kTargetNext);
      SetText(w, Dlg::kNameEdit, L"策略");
      SetText(w, Dlg::kDescriptorEdit, L"说明");
      w.Click(Dlg::kNameNext);
      toSummary(w);
    };
  };
  // The custom server object, checked, on to its summary when asked.
  auto object = [&](bool summary) {
    return [&, summary](UiDialogDriver& w, Dlg& wizard) {
      Toggle(wizard.TreeById(Dlg::kTemplateTree), L"应用'甲");
      if (!summary) return;
      w.Click(Dlg::kTemplateNext);
      SetText(w, Dlg::kNameEdit, L"策略");
      SetText(w, Dlg::kDescriptorEdit, L"说明");
      w.Click(Dlg::kNameNext);
      toSummary(w);
    };
  };
  // The custom file-system template's target tab.
  auto targetTab = [](UiDialogDriver& w, Dlg& wizard) {
    Toggle(wizard.TreeById(Dlg::kTemplateTree), L"自定义文件系统完整性监测策略");
    w.Click(Dlg::kTemplateNext);
    w.Click(Dlg::kObjectAdd);
  };
  using Act = std::function<void(UiDialogDriver&, Dlg&)>;
  auto click = [](UINT item) { return Act([item](UiDialogDriver& w, Dlg&) { EXPECT_TRUE(w.Click(item)); }); };
  // A press and release of the left button on the middle of db.local's label in the
  // target tree, where the tree lays it out.
  const Act clickLabel = [](UiDialogDriver&, Dlg& wizard) {
    CMulStatusTree& tree = wizard.TreeById(Dlg::kTargetTree);
    RECT label{};
    ASSERT_TRUE(tree.GetItemRect(qvtest::FindItem(tree, L"db.local"), &label, TRUE));
    const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    ::PostMessageW(tree, WM_LBUTTONUP, 0, at);  // ends the tree view's drag detection
    ::SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  };
  const wchar_t* const kHostGone = L"delete from Client where Name = 'db.local'";
  const struct {
    const char* name;
    const wchar_t* modify;  // the strategy modified; null: a new one
    Act walk;
    const wchar_t* deletion;  // by another console, once the walk is done; null: none
    Act act;
    const wchar_t* box;  // null: stored
    UINT tree;           // the list read again: without `gone`, with `checked` still checked
    const wchar_t* gone;
    const wchar_t* checked;
  } rows[] = {
      {"object row's host there", L"文件策略", nullptr, nullptr, click(Dlg::kFinish), nullptr, 0, nullptr, nullptr},
      {"object row's host deleted", L"文件策略", nullptr, kHostGone, click(Dlg::kFinish),
       L"主机“db.local”已被删除，请重新选择监测目标。", Dlg::kTargetTree, L"db.local", L""},
      {"server deleted before the finish", nullptr, windows(true), kHostGone, click(Dlg::kFinish),
       L"主机“db.local”已被删除，列表将重新读取。", Dlg::kServerTree, L"db.local", L"web1"},
      {"server deleted before the server panel's next", nullptr, windows(false), kHostGone, click(Dlg::kTargetNext),
       L"主机“db.local”已被删除，列表将重新读取。", Dlg::kServerTree, L"db.local", L"web1"},
      {"target server deleted before its label is clicked", nullptr, targetTab, kHostGone, clickLabel,
       L"主机“db.local”已被删除，列表将重新读取。", Dlg::kTargetTree, L"db.local", L""},
      {"object deleted before the finish", nullptr, object(true), L"delete from AppStrategyTable", click(Dlg::kFinish),
       L"策略对象“应用'甲”已被删除，列表将重新读取。", Dlg::kTemplateTree, L"应用'甲", L""},
      {"object deleted before the template panel's next", nullptr, object(false), L"delete from AppStrategyTable",
       click(Dlg::kTemplateNext), L"策略对象“应用'甲”已被删除，列表将重新读取。", Dlg::kTemplateTree, L"应用'甲", L""},
  };
  const wchar_t table[] = L"select group_concat(StrategyName||' '||Ip) from StrategyTable";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DatabaseTest::SetUp();
    FillSite();
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Status, Type) values ('10.0.0.5','db.local',1,0)"));
    ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, "
                                   L"SelectedItem, SelectedFolder, FilterType, Ip, TaskMode, Status, RunStatus, id) "
                                   L"values ('文件策略', 'd', 7, '自定义文件系统完整性监测策略', 'D:\\a', 0, '10.0.0.5', 3, 1, 0, '7')"));
    const std::wstring stored = TextOf(table);
    Open(row.modify, [&](UiDialogDriver& w, Dlg& wizard) {
      ASSERT_TRUE(LinkConnected() && peer.Accept(5000));
      if (row.modify) {
        ASSERT_EQ(L"db.local", wizard.ObjectGrid().GetItemText(0, Dlg::kColServer));
        w.Click(Dlg::kTemplateNext);
        w.Click(Dlg::kObjectsNext);
        toSummary(w);
      } else {
        row.walk(w, wizard);
      }
      const UINT panel = wizard.CurrentPanel();
      qvtest::ConnectionWatch watch(script);  // told with nothing held
      if (row.deletion) ASSERT_TRUE(qvtest::Exec(link, row.deletion));
      if (row.box) script.ExpectBox(row.box);
      row.act(w, wizard);
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(row.box ? 1 : 0, watch.Looks());
      if (!row.box) return;
      EXPECT_EQ(L"提示", script.Boxes().back().caption);
      EXPECT_TRUE(w.IsOpenAndShown());
      EXPECT_EQ(panel, wizard.CurrentPanel());
      CMulStatusTree& tree = wizard.TreeById(row.tree);
      EXPECT_EQ(nullptr, qvtest::FindItem(tree, row.gone));
      EXPECT_NE(nullptr, tree.GetRootItem());
      EXPECT_EQ(row.checked, Checked(tree));
    });
    EXPECT_EQ(row.box ? stored : L"文件策略 10.0.0.5", TextOf(table));
  }
}

// A stored target the object grid cannot take: the wizard says so and ends, rather than
// show (and save) the strategy without it.
TEST_F(StrategyWizard, ModifyOfATargetTheGridCannotTakeSaysSoAndChangesNothing) {
  for (const wchar_t* ip : {L"10.0.0.1", L"10.0.0.5"})
    ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, "
                                   L"SelectedItem, SelectedFolder, FilterType, Ip, TaskMode, Status, RunStatus, id) "
                                   L"values ('文件策略', 'd', 7, '自定义文件系统完整性监测策略', 'D:\\a', 0, ?, 0, 1, 0, '7')",
                             {ip}));
  Run([&] {
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    Check(L"文件策略");
    qvtest::ConnectionWatch watch(script);  // told with nothing held
    qvtest::RefuseAllocations refuse(qvtest::GridRowBytes(6), 1);
    script.ExpectBox(L"读取策略目标失败：内存不足");  // the wizard ends before it is shown
    Click(Page::kItemModify);
    EXPECT_EQ(1, refuse.Refused());
  });
  EXPECT_EQ(2, Table(L"文件策略"));
}

}  // namespace
