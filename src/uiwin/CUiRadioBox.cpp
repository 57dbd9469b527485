#include "uiwin/CUiRadioBox.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "uiwin/CUiCheckBox.h"
#include "uiwin/UiWnds.h"

namespace {

const int kCircleSize = 12;
const int kTextOffset = 14;

}  // namespace

const char* const CUiRadioBox::kTag = "radio";

CUiWindow* CUiRadioBox::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiRadioBox : NULL;
}

CUiRadioBox::CUiRadioBox() : m_nCheck(0), m_bJoined(FALSE) {}

CUiRadioBox::~CUiRadioBox() { LeaveGroup(); }

BOOL CUiRadioBox::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiRadioBox::GetObjectClass() const { return kTag; }

BOOL CUiRadioBox::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  JoinGroup();
  return m_bJoined;
}

void CUiRadioBox::JoinGroup() {
  if (m_bJoined) return;
  UiWnds::Lock lock;
  UiWnds::RadioGroup(m_strGroup).push_back(m_hUiWnd);
  m_bJoined = TRUE;
}

void CUiRadioBox::LeaveGroup() {
  if (!m_bJoined) return;
  UiWnds::Lock lock;
  std::vector<HUIWND>& group = UiWnds::RadioGroup(m_strGroup);
  group.erase(std::remove(group.begin(), group.end(), m_hUiWnd), group.end());
  m_bJoined = FALSE;
}

HRESULT CUiRadioBox::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "check") == 0) {
    m_nCheck = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "group") == 0) {
    // A radio that already belongs to a group moves with its name, so it
    // always leaves the list it is in.
    const BOOL joined = m_bJoined;
    LeaveGroup();
    m_strGroup = pszValue;
    if (joined) JoinGroup();
    return S_FALSE;
  }
  return E_FAIL;
}

LRESULT CUiRadioBox::OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  RECT circle;
  circle.left = m_rcWnd.left;
  circle.top = m_rcWnd.top + ((m_rcWnd.bottom - m_rcWnd.top) - kCircleSize) / 2;
  circle.right = circle.left + kCircleSize;
  circle.bottom = circle.top + kCircleSize;
  CUiCheckBox::DrawMark(m_theme, hDC, circle, CUiTheme::PartRadioButton, DFCS_BUTTONRADIO,
                        m_dwState);

  m_style.textmode = (m_style.textmode & ~DT_BOTTOM) | DT_SINGLELINE | DT_VCENTER;
  m_rcWnd.left += kTextOffset;
  CUiWindow::OnPaint(uMsg, wParam, lParam);
  m_rcWnd.left -= kTextOffset;
  return 0;
}

LRESULT CUiRadioBox::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CUiWindow::OnNcCalcSize(uMsg, wParam, lParam);
  CUiCheckBox::MeasureBeside(reinterpret_cast<SIZE*>(lParam), kTextOffset, kCircleSize);
  return 0;
}

LRESULT CUiRadioBox::OnLButtonUp(UINT, WPARAM, LPARAM) {
  std::vector<HUIWND> members;
  {
    UiWnds::Lock lock;
    members = UiWnds::RadioGroup(m_strGroup);
  }
  // Clicking never unchecks: a checked radio stays checked.
  ModifyState(UiWndState_Check, 0);
  const HWND view = m_hContainer;
  const HUIWND self = m_hUiWnd;
  for (HUIWND h : members) {
    if (h == self) continue;
    CUiWindow* other = UiWnds::GetWindow(h);
    if (!other || other->GetContainer() != view || !other->IsChecked()) continue;
    other->ModifyState(0, UiWndState_Check);
    // The view repaints the clicked radio itself; the others repaint here.
    other->NotifyInvalidateRect(other->GetRect());
  }
  return 0;
}
