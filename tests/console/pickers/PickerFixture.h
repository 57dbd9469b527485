#pragma once
// The pickers' surroundings: a fresh database with client hosts, the skin, the service
// stand-in on a thread of its own with the test's script, and the service link connected
// to it through a window that hands the link its socket events, as the main window does.
// A picker runs modally under the script; the tree helpers act as a user would (keys on
// the tree) and wait for the answers they cause.
#include <windows.h>

#include <string>
#include <vector>

#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/SysServerPortConfig.h"
#include "controls/CMulStatusTree.h"
#include "controls/CUIResource.h"
#include "platform/CCritSecLock.h"
#include "platform/TextConv.h"
#include "qvservice/CQvService.h"
#include "qvservice/CQvServiceScript.h"
#include "support/AgentLinkTestWindow.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

namespace pickertest {

class PickerTest : public qvtest::ConnectedDatabaseTest {
 protected:
  // name, ip, status, type
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    UiString::Load(102);
    UiSkin::LoadSkins(100);
    UiStyle::LoadStyles(101);
    CUIResource::Init();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    const struct {
      const wchar_t* name;
      const wchar_t* ip;
      int status, type;
    } hosts[] = {
        {L"核心服务器", L"192.168.1.10", 1, 0},
        {L"", L"192.168.1.11", 0, 0},
        {L"防火墙", L"192.168.1.20", 1, 1},
        {L"备份服务器", L"192.168.1.12", 0, 0},
    };
    for (const auto& h : hosts)
      ASSERT_EQ(1, qvtest::Exec(link, L"insert into Client (Name, IP, Status, Type) values (?, ?, ?, ?)",
                                {h.name, h.ip, h.status, h.type}));
    link.Disconnect();
  }
  void TearDown() override {
    g_agentLinkManager.Destroy();
    service.Stop();
    CCritSecLock lock(g_agentLinkLock);
    g_agentLinkWindows.clear();
    g_dsnName[0] = L'\0';
    CUIResource::Uninit();
  }

  // The service answers from this script (UTF-8 lines); the link is connected to it.
  void StartService(const std::string& lines) {
    CQvServiceScript data;
    std::wstring error;
    ASSERT_TRUE(data.LoadText(lines, &error)) << qv::WideToUtf8(error);
    service.SetScript(data);
    ASSERT_TRUE(service.Listen(0));
    ASSERT_TRUE(service.Start());
    ASSERT_EQ(1, g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, service.Port()));
    ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000));
  }

  // The paths of the directory listings the service was asked for, in order.
  std::vector<std::wstring> AskedPaths() const {
    std::vector<std::wstring> paths;
    for (const CQvService::Received& r : service.ReceivedFrames()) {
      if (r.messageId != 1538) continue;
      std::wstring path;
      for (size_t i = 0; i + 1 < r.payload.size() && (r.payload[i] | r.payload[i + 1]); i += 2)
        path.push_back(static_cast<wchar_t>(r.payload[i] | r.payload[i + 1] << 8));
      paths.push_back(path);
    }
    return paths;
  }

  ModalScript script;
  CQvService service;
  testenv::AgentLinkTestWindow window;
};

inline std::vector<std::wstring> Children(const CMulStatusTree& tree, HTREEITEM parent) {
  std::vector<std::wstring> texts;
  for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c))
    texts.push_back(tree.GetItemText(c));
  return texts;
}

inline HTREEITEM Child(const CMulStatusTree& tree, HTREEITEM parent, const std::wstring& text) {
  for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c))
    if (tree.GetItemText(c) == text) return c;
  return nullptr;
}

// The child of that text once it is there (answers are awaited), or null.
inline HTREEITEM WaitChild(const CMulStatusTree& tree, HTREEITEM parent, const std::wstring& text) {
  HTREEITEM found = nullptr;
  testenv::PumpUntil([&] { return (found = Child(tree, parent, text)) != nullptr; }, 5000);
  return found;
}

// A key on the item as the user presses it: + expands, - collapses, space checks.
inline void Key(CMulStatusTree& tree, HTREEITEM item, UINT key) {
  tree.SelectItem(item);
  tree.SendMessage(WM_KEYDOWN, key, 0);
}

}  // namespace pickertest
