#pragma once
// The reinforcement area as a user with only that permission has it: the real main
// window on a fresh test database (its service link refused), run modally with the
// area's page 2 selected; the test acts inside its loop.
#include <functional>
#include <initializer_list>
#include <string>

#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "reinforce/CSecurityReinforceUIHandler.h"
#include "support/ConnectionWatch.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

class ReinforcePageHost : public qvtest::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    lstrcpynW(g_dsnName, qvtest::TestDatabase::Dsn(), kSettingChars);
    g_currentUserPermission = kPermissionReinforce;
    CUIResource::Init();  // again for each test: it releases what the last one made
  }

  // Every box and dialog, from the window's start on, is watched for a connection held.
  void Run(const std::function<void(UiDialogDriver&, CMainDlg&, CSecurityReinforceUIHandler&)>& act) {
    qvtest::ConnectionWatch watch(script);
    testenv::LoopbackPeer noService(0, false);
    CMainDlg main(noService.Port());
    script.ExpectDialog([&](UiDialogDriver& d) {
      UINMCOMMAND page{{d.Frame(), IDC_UIVIEW, UINM_COMMAND}, CMainDlg::kItemReinforce, "imgbtn"};
      ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&page));
      act(d, main, *main.Reinforce());
    });
    main.DoModal();
  }
  using Grid = CListCtrlDataEx<unsigned long>;

  // A row's check toggled as a user does it: a click on its box, or Space on the row.
  static void ToggleCheck(Grid& grid, int row, bool space = false) {
    CRect cell, text;
    grid.GetItemRect(row, 0, cell);
    const CPoint box = grid.GetCheckRect(cell, grid.GetItemFlags(row, 0), text).CenterPoint();
    if (space) grid.SelectItem(row, 0, 0);
    ::SendMessageW(grid, space ? WM_KEYDOWN : WM_LBUTTONDOWN, space ? VK_SPACE : MK_LBUTTON, MAKELPARAM(box.x, box.y));
    if (!space) ::SendMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
  }
  // A column's texts, "|" between the rows.
  static std::wstring Column(const Grid& grid, int column) {
    std::wstring texts;
    for (int row = 0; row < grid.GetItemCount(); ++row) texts += (row ? L"|" : L"") + grid.GetItemText(row, column);
    return texts;
  }
  // Runs statements on the test database; each must succeed.
  static void Sql(std::initializer_list<const wchar_t*> statements) {
    SQLServerLink link;
    link.Connect(qvtest::TestDatabase::Dsn(), L"", L"");
    for (const wchar_t* sql : statements) EXPECT_EQ(1, qvtest::Exec(link, sql)) << sql;
  }
  // The first text of a query's first row.
  static std::wstring Text(const wchar_t* sql) {
    SQLServerLink link;
    link.Connect(qvtest::TestDatabase::Dsn(), L"", L"");
    SQLStatement* row = qvtest::Row(link, sql);
    return row ? qvtest::Str(row->GetString(0)) : L"(no row)";
  }

  ModalScript script;
};
