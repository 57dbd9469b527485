// The remote directory and file pickers against the service stand-in: drives, then
// directories and files, Chinese names, deep paths, answers that overtake the user, and
// answers that cannot be read.
#include <gtest/gtest.h>

#include <functional>

#include "console/AgentLinkPayloadInfo.h"
#include "console/CDirectoryDlg.h"
#include "console/CFileDlg.h"
#include "PickerFixture.h"

namespace {

using pickertest::Child;
using pickertest::Children;
using pickertest::Key;
using pickertest::WaitChild;

const wchar_t kHost[] = L"192.168.1.10";
const wchar_t kC[] = L"本地磁盘(C:)";
const wchar_t kD[] = L"本地磁盘(D:)";
const std::wstring kLevel = L"第一层目录abcdefghijklmnop";  // 21 characters

// The host answers everything, some of it unreadable.
std::string Script() {
  std::string s =
      "client|192.168.1.10|online\n"
      "drives|192.168.1.10|12\n"
      "dir|192.168.1.10|C:|Windows|1\n"
      "dir|192.168.1.10|C:|数据 & <日志>|0\n"
      "dir|192.168.1.10|C:|Program Files|1\n"
      "dir|192.168.1.10|C:\\Windows|system32|1\n"
      "dir|192.168.1.10|D:|备份|1\n"
      "dir|192.168.1.10|D:\\备份|2024年|0\n"
      "file|192.168.1.10|C:|boot.ini|1|0\n"
      "file|192.168.1.10|C:\\Windows|win.ini|1|0\n"
      "raw|192.168.1.10|1538|C:\\Program Files|<dir><item name=\"x\" sub=\"1\"></dir>\n"
      "raw|192.168.1.10|1538|C:\\Windows\\system32|<dir><item name=\"drivers\" sub=\"0\"/></dir>|40\n"
      "raw|192.168.1.10|1537|C:\\Program Files|<files><item name=\"a.exe\" file=\"1\"/></files>|30\n";
  // Directories twelve deep below C:\: the eleventh makes a path of 244 characters, the
  // twelfth one of 266.
  std::string path = "C:";
  const std::string level = qv::WideToUtf8(kLevel);
  for (int depth = 0; depth < 12; ++depth) {
    s += "dir|192.168.1.10|" + path + "|" + level + "|1\n";
    path += "\\" + level;
  }
  return s;
}

class RemotePicker : public pickertest::PickerTest {
 protected:
  void SetUp() override {
    PickerTest::SetUp();
    StartService(Script());
  }

  // Runs the picker on host with act inside it, a message box with that text expected
  // from what act does; the run's result.
  template <class Dlg>
  UINT Run(const wchar_t* host, std::wstring* path,
           const std::function<void(Dlg&, CMulStatusTree&)>& act, const wchar_t* box = nullptr) {
    script.ExpectDialog([&](UiDialogDriver& d) {
      Dlg* dlg = d.As<Dlg>();
      act(*dlg, dlg->Browser().Tree().tree);
    });
    if (box) script.ExpectBox(box);
    Dlg dlg(host, path, L"请选择目录");
    return dlg.DoModal();
  }

  // Expands the nodes named, each below the one before, starting below the top node,
  // waiting for each to be listed; the last one.
  static HTREEITEM Open(RemotePathBrowser& b, const std::vector<std::wstring>& names) {
    CMulStatusTree& tree = b.Tree().tree;
    HTREEITEM item = b.TopItem();
    for (const std::wstring& name : names) {
      item = WaitChild(tree, item, name);
      if (!item) {
        ADD_FAILURE() << "no " << qv::WideToUtf8(name);
        return nullptr;
      }
      Key(tree, item, VK_ADD);
    }
    return item;
  }
};

TEST_F(RemotePicker, BrowsesDrivesDirectoriesAndFilesAndReturnsTheCheckedPath) {
  const struct {
    bool files;
    const wchar_t* start;               // starting directory of the directory picker
    std::vector<std::wstring> open;     // expanded in turn
    const wchar_t* check;               // then checked below the last one
    const wchar_t* result;
  } rows[] = {
      {false, L"", {kC, L"Windows"}, L"system32", L"C:\\Windows\\system32"},
      {false, L"", {kD, L"备份"}, L"2024年", L"D:\\备份\\2024年"},
      {false, L"", {}, kC, L"C:"},
      {false, L"", {kC}, L"数据 & <日志>", L"C:\\数据 & <日志>"},
      {false, L"D:\\备份", {}, L"2024年", L"D:\\备份\\2024年"},
      {true, L"", {kC}, L"boot.ini", L"C:\\boot.ini"},
      {true, L"", {kC}, L"Windows", L"C:\\Windows\\*"},
      {true, L"", {}, kD, L"D:\\*"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.result));
    std::wstring path = row.start;
    auto act = [&](auto& dlg, CMulStatusTree& tree) {
      RemotePathBrowser& b = dlg.Browser();
      EXPECT_EQ(*row.start ? row.start : L"核心服务器", tree.GetItemText(b.TopItem()));
      HTREEITEM parent = row.open.empty() ? b.TopItem() : Open(b, row.open);
      HTREEITEM target = parent ? WaitChild(tree, parent, row.check) : nullptr;
      ASSERT_NE(nullptr, target);
      Key(tree, target, VK_SPACE);
      dlg.OnOK();
    };
    const UINT code = row.files ? Run<CFileDlg>(kHost, &path, act) : Run<CDirectoryDlg>(kHost, &path, act);
    EXPECT_EQ(1u, code);
    EXPECT_EQ(row.result, path);
  }
  EXPECT_EQ(L"请选择目录", script.Dialogs().back());
  const std::vector<std::wstring> asked{L"C:", L"C:\\Windows", L"D:", L"D:\\备份", L"C:",
                                        L"D:\\备份", L"C:", L"C:"};
  EXPECT_EQ(asked, AskedPaths());
}

TEST_F(RemotePicker, EveryAnswerLandsOnTheNodeThatAskedAndRemovedNodesAreNeverChosen) {
  std::wstring path;  // no starting directory
  auto act = [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
    RemotePathBrowser& b = dlg.Browser();
    HTREEITEM c = WaitChild(tree, b.TopItem(), kC), d = WaitChild(tree, b.TopItem(), kD);
    ASSERT_TRUE(c && d);
    // Two expands before either answer.
    Key(tree, c, VK_ADD);
    Key(tree, d, VK_ADD);
    ASSERT_NE(nullptr, WaitChild(tree, d, L"备份"));
    ASSERT_NE(nullptr, WaitChild(tree, c, L"Program Files"));
    const std::vector<std::wstring> onC{L"Windows", L"数据 & <日志>", L"Program Files", kLevel};
    EXPECT_EQ(onC, Children(tree, c));
    EXPECT_EQ(std::vector<std::wstring>{L"备份"}, Children(tree, d));

    // Collapsing C: removes the checked node and one whose (unreadable) answer is on its
    // way, and closes one whose answer is on its way: both answers are dropped unseen.
    HTREEITEM windows = Child(tree, c, L"Windows");
    Key(tree, Child(tree, c, L"数据 & <日志>"), VK_SPACE);
    Key(tree, Child(tree, c, L"Program Files"), VK_ADD);
    Key(tree, windows, VK_ADD);
    Key(tree, c, VK_SUBTRACT);
    EXPECT_EQ(std::vector<std::wstring>{L"Windows"}, Children(tree, c));
    // Collapsed and expanded again: listed once.
    Key(tree, d, VK_SUBTRACT);
    Key(tree, d, VK_ADD);
    HTREEITEM backup = WaitChild(tree, d, L"备份");
    ASSERT_NE(nullptr, backup);
    Key(tree, backup, VK_ADD);
    ASSERT_NE(nullptr, WaitChild(tree, backup, L"2024年"));
    EXPECT_EQ(std::vector<std::wstring>{L"备份"}, Children(tree, d));
    EXPECT_EQ(nullptr, tree.GetChildItem(windows));
    dlg.OnOK();
  };
  EXPECT_EQ(2u, Run<CDirectoryDlg>(kHost, &path, act, L"请您选择路径"));
  EXPECT_EQ(L"", path);
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(L"注意", script.Boxes()[0].caption);
  EXPECT_EQ(UINT(MB_ICONEXCLAMATION), script.Boxes()[0].style);
}

TEST_F(RemotePicker, AnswersThatCannotBeReadLeaveTheTreeAsItWas) {
  const struct {
    const char* what;
    bool files;
    std::vector<std::wstring> open;  // the last one's answer cannot be read
    const wchar_t* next;             // a sibling listed afterwards, as it should be
    const wchar_t* nextChild;
  } rows[] = {
      {"malformed directories", false, {kC, L"Program Files"}, L"Windows", L"system32"},
      {"truncated UTF-16", false, {kC, L"Windows", L"system32"}, nullptr, nullptr},
      {"truncated UTF-8", true, {kC, L"Program Files"}, L"Windows", L"win.ini"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::wstring path;
    const size_t boxes = script.Boxes().size();
    auto act = [&](auto& dlg, CMulStatusTree& tree) {
      RemotePathBrowser& b = dlg.Browser();
      HTREEITEM bad = Open(b, row.open);
      ASSERT_TRUE(testenv::PumpUntil([&] { return script.Boxes().size() > boxes; }, 5000));
      EXPECT_EQ(nullptr, tree.GetChildItem(bad));
      if (!row.next) return;
      HTREEITEM next = Child(tree, tree.GetParentItem(bad), row.next);
      Key(tree, next, VK_ADD);
      EXPECT_NE(nullptr, WaitChild(tree, next, row.nextChild));
      EXPECT_EQ(nullptr, tree.GetChildItem(bad));
    };
    const wchar_t box[] = L"主机返回的目录列表格式有误";
    if (row.files)
      Run<CFileDlg>(kHost, &path, act, box);
    else
      Run<CDirectoryDlg>(kHost, &path, act, box);
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
  }
}

TEST_F(RemotePicker, DeepPathsAreAskedWholeOrNotAtAll) {
  std::wstring path;
  std::wstring deep = L"C:";
  for (int depth = 0; depth < 11; ++depth) deep += L"\\" + kLevel;
  Run<CDirectoryDlg>(kHost, &path, [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
    std::vector<std::wstring> names{kC};
    names.insert(names.end(), 11, kLevel);
    HTREEITEM eleventh = Open(dlg.Browser(), names);
    HTREEITEM twelfth = eleventh ? WaitChild(tree, eleventh, kLevel) : nullptr;
    ASSERT_NE(nullptr, twelfth);
    EXPECT_EQ(deep + L"\\" + kLevel, dlg.Browser().PathOf(twelfth));
    Key(tree, twelfth, VK_ADD);  // too long for the request: not asked
    Key(tree, eleventh, VK_SUBTRACT);
    Key(tree, eleventh, VK_ADD);
    EXPECT_NE(nullptr, WaitChild(tree, eleventh, kLevel));
    Key(tree, eleventh, VK_SPACE);
    dlg.OnOK();
  });
  EXPECT_EQ(deep, path);
  const std::vector<std::wstring> asked = AskedPaths();
  ASSERT_EQ(13u, asked.size());
  EXPECT_EQ(deep, asked.back());
  EXPECT_EQ(244u, deep.size());
}

TEST_F(RemotePicker, OnlyTheLinksOwnDeliveriesAreTaken) {
  std::wstring path;
  Run<CDirectoryDlg>(kHost, &path, [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
    HTREEITEM top = dlg.Browser().TopItem();
    ASSERT_NE(nullptr, WaitChild(tree, top, kD));
    // A well-formed answer sent by anyone but the link changes nothing.
    const wchar_t xml[] = L"<drives><drive mask=\"16\"/></drives>";
    AgentLinkPayloadInfo info{0x0A01A8C0u, sizeof xml};
    dlg.SendMessage(AGENT_MSG_LIST_DRIVES, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(xml));
    const std::vector<std::wstring> drives{kC, kD};
    EXPECT_EQ(drives, Children(tree, top));
  });
}

TEST_F(RemotePicker, WithoutTheDatabaseNothingIsAsked) {
  wcscpy(g_dsnName, L"QuorvaneNoSuchSource");
  std::wstring path = L"D:\\data";
  script.ExpectBox(L"连接数据库出错");  // while the dialog opens
  Run<CDirectoryDlg>(kHost, &path, [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
    EXPECT_EQ(nullptr, dlg.Browser().TopItem());
    EXPECT_EQ(0u, tree.GetCount());
    EXPECT_EQ(nullptr, CAgentLinkManager::FindFirstWindow(AGENT_MSG_LIST_DIRECTORY));
  });
  EXPECT_EQ(L"D:\\data", path);
}

}  // namespace
