// The host picker against a real database: which hosts it lists under the group, how it
// shows their state, the one checked host, and what OK returns.
#include <gtest/gtest.h>

#include "console/CServerDlg.h"
#include "PickerFixture.h"

namespace {

using pickertest::Child;
using pickertest::Children;
using pickertest::Key;

class HostPicker : public pickertest::PickerTest {};

TEST_F(HostPicker, ListsTheServersAndReturnsTheOneCheckedHostsAddress) {
  const struct {
    const char* what;
    const wchar_t* given;
    std::vector<const wchar_t*> checks;  // hosts the user checks, in order
    const wchar_t* box;                  // shown by OK, which then cancels
    bool dropHost;                       // the checked host leaves the database before OK
    UINT code;
    const wchar_t* result;
  } rows[] = {
      {"pre-selected, OK untouched", L"192.168.1.11", {}, nullptr, false, 1, L"192.168.1.11"},
      {"second check moves the choice", L"", {L"核心服务器", L"备份服务器"}, nullptr, false, 1,
       L"192.168.1.12"},
      {"checked box clicked again stays", L"192.168.1.10", {L"核心服务器"}, nullptr, false, 1,
       L"192.168.1.10"},
      {"nothing checked", L"10.0.0.9", {}, L"请选择对象内容", false, 2, L"10.0.0.9"},
      {"host gone before OK", L"", {L"核心服务器"}, nullptr, true, 1, L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::wstring result = row.given;
    script.ExpectDialog([&](UiDialogDriver& d) {
      CServerDlg* dlg = d.As<CServerDlg>();
      CMulStatusTree& tree = dlg->Tree().tree;
      HTREEITEM root = dlg->RootItem();
      EXPECT_EQ(L"服务器群组", tree.GetItemText(root));
      EXPECT_EQ(EM_TVIS_NONE, tree.GetCheck(root));
      // Devices (type 1) are not listed; a host without a name shows its address.
      const std::vector<std::wstring> hosts{L"核心服务器", L"192.168.1.11", L"备份服务器"};
      EXPECT_EQ(hosts, Children(tree, root));
      const int images[] = {CServerDlg::kImageOnline, CServerDlg::kImageOffline, CServerDlg::kImageOffline};
      for (size_t i = 0; i < hosts.size(); ++i) {
        TVITEMW item{};
        item.mask = TVIF_IMAGE;
        item.hItem = Child(tree, root, hosts[i]);
        EXPECT_TRUE(tree.GetItem(&item));
        EXPECT_EQ(images[i], item.iImage) << i;
      }
      for (const wchar_t* host : row.checks) Key(tree, Child(tree, root, host), VK_SPACE);
      int checked = 0;
      for (HTREEITEM c = tree.GetChildItem(root); c; c = tree.GetNextSiblingItem(c))
        checked += tree.GetCheck(c) == EM_TVIS_CHECK;
      EXPECT_EQ(row.box ? 0 : 1, checked);
      if (row.dropHost) {
        SQLServerLink other;
        ASSERT_TRUE(other.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
        EXPECT_EQ(1, qvtest::Exec(other, L"delete from Client where IP='192.168.1.10'"));
      }
      EXPECT_TRUE(d.Click(CServerDlg::kItemOK));
      if (row.box) {
        EXPECT_TRUE(d.Click(CServerDlg::kItemCancel));
      }
    });
    if (row.box) script.ExpectBox(row.box);
    CServerDlg dlg(&result, L"请选择策略目标");
    EXPECT_EQ(row.code, dlg.DoModal());
    EXPECT_EQ(row.result, result);
  }
  EXPECT_EQ(L"请选择策略目标", script.Dialogs().back());
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(L"警告", script.Boxes()[0].caption);
}

TEST_F(HostPicker, WithoutTheDatabaseShowsTheGroupAloneAndSaysSo) {
  wcscpy(g_dsnName, L"QuorvaneNoSuchSource");
  std::wstring result = L"192.168.1.10";
  script.ExpectBox(L"连接数据库出错");  // while the dialog opens
  script.ExpectDialog([](UiDialogDriver& d) {
    CServerDlg* dlg = d.As<CServerDlg>();
    EXPECT_EQ(nullptr, dlg->Tree().tree.GetChildItem(dlg->RootItem()));
  });
  CServerDlg dlg(&result);
  EXPECT_EQ(2u, dlg.DoModal());
  EXPECT_EQ(L"192.168.1.10", result);
  EXPECT_EQ(L"对象内容", script.Dialogs().back());
  EXPECT_EQ(L"错误", script.Boxes().back().caption);
}

}  // namespace
