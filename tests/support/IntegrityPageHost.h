#pragma once
// The integrity area in a real main window: a user with the integrity permission only,
// a fresh test database, the shared control resources, and the service link on the
// port of the test's peer (a LoopbackPeer or the QvService stand-in). A test fills
// StrategyTable first (the page loads while the window initialises), then runs its body
// inside the window's modal loop with the area's handlers at hand.
#include <windows.h>

#include <functional>
#include <string>

#include "app/CMainDlg.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

class IntegrityPageHost : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One target row of a strategy in StrategyTable.
  void AddTarget(const wchar_t* name, int taskMode = 0, int status = 1, int runStatus = 0,
                 const wchar_t* ip = L"192.168.1.10", const wchar_t* descriptor = L"描述");
  int Targets(const wchar_t* name);  // rows of that name
  int Status(const wchar_t* name);    // Status of its first row

  // Runs the main window with its link on port; body runs inside the modal loop.
  void Run(unsigned short port, const std::function<void()>& body);
  // Waits until the link to the peer stands (the peer accepts first).
  bool LinkConnected();

  CQuorvaneUIHandler& Area() { return *main->Integrity(); }
  CQvStrategyGuardUIHandler& Page() { return *Area().StrategyGuard(); }
  CListCtrlDataEx<unsigned long>& Grid() { return Page().Grid(); }
  int RowOf(const std::wstring& name);
  std::wstring Cell(const std::wstring& name, int column);
  COLORREF Colour(const std::wstring& name, int column);
  void Check(const std::wstring& name);
  std::wstring LogText();

  // What the view sends: an element's command; the area tab control's change
  // notification (true when vetoed); a message through the main window's map.
  void Command(UINT item);
  bool TabChange(int newTab, BOOL* handled = nullptr);
  BOOL Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  ModalScript script;
  UiDialogDriver* driver = nullptr;
  CMainDlg* main = nullptr;
  HWND frame = nullptr;
};
