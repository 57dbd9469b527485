#pragma once
// The page-host fixture of the system-management tests: a fresh database, a user, a
// real service peer on 127.0.0.1 and the main window run modally; a test's body runs
// inside the window's modal loop with the window's message boxes and dialogs scripted.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/CMainDlg.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

namespace qvtest {

class SysMgmtPageTest : public ConnectedDatabaseTest {
 protected:
  static const int kAllAreas = 31;

  void SetUp() override;
  void TearDown() override;

  // The current user as a login would leave it.
  static void LogInAs(const wchar_t* name, int id, int type, int permission);
  // Adds an account and returns its id.
  int AddUser(const wchar_t* name, int type, int permission, const wchar_t* password = L"");
  int AddClient(const wchar_t* name, const wchar_t* ip, int type, int status = 0, int stopped = 0);

  // Runs the main window for the current user; act runs inside its modal loop, once the
  // link has connected to the peer (or, given a port, to the service there).
  void Run(const std::function<void(UiDialogDriver&, CMainDlg&)>& act, unsigned short servicePort = 0);

  // Brings the system-management page forward (tab 129).
  static void ShowPage(CMainDlg& main, int page);
  // An element command as a click sends it, whatever the element's state.
  static void Command(CMainDlg& main, UINT item);
  // A notification of a real control, as it sends it to its dialog.
  static LRESULT Notify(CMainDlg& main, NMHDR* header, UINT id, int code);
  // A frame the link will deliver: sent by the peer, pumped until `done`.
  bool Deliver(uint32_t type, uint32_t wParam, uint32_t messageId, const void* payload,
               uint32_t length, const std::function<bool()>& done);

  testenv::LoopbackPeer peer;
  ModalScript script;
};

}  // namespace qvtest
