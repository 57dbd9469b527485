#pragma once
// The reinforcement policy wizard that the policy list opens for a new policy or for
// its checked one. For now a stand-in: it shows nothing and ends with 2, as the wizard
// does in every case. The wizard works on its owner page's grid.
#include <windows.h>

class CSRReinforceStrategyUIHandler;

class CSRSecurityReinforceDlg {
 public:
  CSRSecurityReinforceDlg(bool isNew, CSRReinforceStrategyUIHandler* ownerPage)
      : m_isNew(isNew), m_ownerPage(ownerPage) {}
  CSRSecurityReinforceDlg(const CSRSecurityReinforceDlg&) = delete;
  CSRSecurityReinforceDlg& operator=(const CSRSecurityReinforceDlg&) = delete;

  UINT DoModal(HWND owner = nullptr) {
    (void)owner;
    return IDCANCEL;
  }

  bool IsNew() const { return m_isNew; }
  CSRReinforceStrategyUIHandler* OwnerPage() const { return m_ownerPage; }

 private:
  bool m_isNew;
  CSRReinforceStrategyUIHandler* m_ownerPage;
};
