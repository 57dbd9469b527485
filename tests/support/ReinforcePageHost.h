#pragma once
// The reinforcement area as a user with only that permission has it: the real main
// window on a fresh test database (its service link refused), run modally with the
// area's page 2 selected; the test acts inside its loop.
#include <functional>

#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "reinforce/CSecurityReinforceUIHandler.h"
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

  void Run(const std::function<void(UiDialogDriver&, CMainDlg&, CSecurityReinforceUIHandler&)>& act) {
    testenv::LoopbackPeer noService(0, false);
    CMainDlg main(noService.Port());
    script.ExpectDialog([&](UiDialogDriver& d) {
      UINMCOMMAND page{{d.Frame(), IDC_UIVIEW, UINM_COMMAND}, CMainDlg::kItemReinforce, "imgbtn"};
      ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&page));
      act(d, main, *main.Reinforce());
    });
    main.DoModal();
  }
  ModalScript script;
};
