#pragma once
// The "radio" element: a 12-pixel radio circle followed by the inner text,
// member of a named group ("group"; no attribute is the empty-named group).
// Groups are process-wide in the element registry, but a click unchecks only
// the group's radios in the same host view, so a child dialog using the same
// group name does not clear its parent's choice.

#include <string>

#include "uiwin/CUiTheme.h"
#include "uiwin/CUiWindow.h"

class CUiRadioBox : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiRadioBox();
  ~CUiRadioBox() override;

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  // Joins the group after the base load; TRUE when it joined.
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;
  BOOL NeedRedrawWhenStateChange() override { return TRUE; }

  const std::string& GetGroup() const { return m_strGroup; }
  int GetCheckValue() const { return m_nCheck; }

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    UI_MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void JoinGroup();
  void LeaveGroup();

  CUiTheme m_theme;  // opened at the first paint
  int m_nCheck;      // the "check" attribute; the state starts cleared whatever it says
  std::string m_strGroup;
  BOOL m_bJoined;  // in the list of m_strGroup
};
