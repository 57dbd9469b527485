#include "uiwin/CUiPanel.h"

#include <tinyxml.h>
#include <windowsx.h>

#include <cstring>

#include "uiwin/CUiButton.h"
#include "uiwin/CUiCheckBox.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiDialogFile.h"
#include "uiwin/CUiDrawFileIcon.h"
#include "uiwin/CUiIconWnd.h"
#include "uiwin/CUiImageBtnWnd.h"
#include "uiwin/CUiImageListHWnd.h"
#include "uiwin/CUiImageWnd.h"
#include "uiwin/CUiLine.h"
#include "uiwin/CUiLink.h"
#include "uiwin/CUiMemoryImage.h"
#include "uiwin/CUiProgress.h"
#include "uiwin/CUiRadioBox.h"
#include "uiwin/CUiRealWnd.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/CUiStatic.h"
#include "uiwin/CUiTabCtrl.h"

const char* const CUiPanel::kTag = "div";

CUiPanel::CUiPanel() : m_bOnlyDrawChild(FALSE) {}

CUiPanel::~CUiPanel() { DestroyChildren(); }

BOOL CUiPanel::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiPanel::GetObjectClass() const { return kTag; }

CUiWindow* CUiPanel::CreateChildByTag(const char* pszTag) {
  typedef CUiWindow* (*Creator)(const char*);
  // Order matters: the first class whose tag matches creates the element.
  static const Creator kCreators[] = {
      &CUiDialog::CreateByTag,      &CUiDialogFile::CreateByTag,    &CUiStatic::CreateByTag,
      &CUiButton::CreateByTag,      &CUiImageWnd::CreateByTag,      &CUiProgress::CreateByTag,
      &CUiImageBtnWnd::CreateByTag, &CUiRealWnd::CreateByTag,       &CUiLine::CreateByTag,
      &CUiCheckBox::CreateByTag,    &CUiIconWnd::CreateByTag,       &CUiTabCtrl::CreateByTag,
      &CUiRadioBox::CreateByTag,    &CUiRichText::CreateByTag,      &CUiLink::CreateByTag,
      &CUiMemoryImage::CreateByTag, &CUiImageListHWnd::CreateByTag, &CUiDrawFileIcon::CreateByTag,
  };
  if (!pszTag) return NULL;
  for (Creator create : kCreators) {
    if (CUiWindow* wnd = create(pszTag)) return wnd;
  }
  return NULL;
}

BOOL CUiPanel::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  LoadChilds(pElem->FirstChildElement());
  return TRUE;
}

BOOL CUiPanel::LoadChilds(const TiXmlElement* pFirst) {
  UiSendMessage(WM_DESTROY, 0, 0);
  for (const TiXmlElement* e = pFirst; e; e = e->NextSiblingElement()) {
    CUiWindow* child = CreateChildByTag(e->Value());
    if (!child) continue;
    child->SetParent(m_hUiWnd);
    child->SetContainer(m_hContainer);
    child->Load(e);
    m_children.push_back(child);
  }
  return TRUE;
}

HRESULT CUiPanel::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (pszName && pszValue && strcmp(pszName, "onlydrawchild") == 0) {
    m_bOnlyDrawChild = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

void CUiPanel::SetContainer(HWND hContainer) {
  CUiWindow::SetContainer(hContainer);
  for (CUiWindow* child : m_children) child->SetContainer(hContainer);
}

HUIWND CUiPanel::HitTest(POINT pt) {
  if (!::PtInRect(&m_rcWnd, pt)) return 0;
  if (m_bOnlyDrawChild) return m_hUiWnd;
  // Floating children are asked first, then the rest, each in list order.
  for (int pass = 0; pass < 2; ++pass) {
    const BOOL wantFloat = pass == 0;
    for (CUiWindow* child : m_children) {
      if (!child->IsVisible(FALSE) || child->IsTransparent()) continue;
      const BOOL floating = (child->GetPositionType() & UiWndPos_Float) != 0;
      if (floating != wantFloat) continue;
      if (HUIWND hit = child->HitTest(pt)) return hit;
    }
  }
  return m_hUiWnd;
}

BOOL CUiPanel::RedrawRegion(HDC hDC, HRGN hRgn) {
  if (!CUiWindow::RedrawRegion(hDC, hRgn)) return FALSE;
  TextDCState saved;
  PrepareTextDC(hDC, saved);
  for (HUIWND h : SnapshotChildren()) {
    CUiWindow* child = UiWnds::GetWindow(h);
    if (child && child->IsVisible(FALSE)) child->RedrawRegion(hDC, hRgn);
  }
  RestoreTextDC(hDC, saved);
  return TRUE;
}

CUiWindow* CUiPanel::FindChildByCmdID(UINT nCmdID, BOOL bShownOnly) {
  for (CUiWindow* child : m_children) {
    if (static_cast<UINT>(child->GetCmdID()) == nCmdID && (!bShownOnly || child->IsVisible(FALSE))) return child;
  }
  for (CUiWindow* child : m_children) {
    CUiContainerWnd* container = child->AsContainer();
    if (!container || (bShownOnly && !child->IsVisible(FALSE))) continue;
    if (CUiWindow* found = container->FindChildByCmdID(nCmdID, bShownOnly)) return found;
  }
  return NULL;
}

std::vector<HUIWND> CUiPanel::SnapshotChildren() const {
  std::vector<HUIWND> handles;
  handles.reserve(m_children.size());
  for (CUiWindow* child : m_children) handles.push_back(child->GetHandle());
  return handles;
}

void CUiPanel::DestroyChildren() {
  // Detach the list first: a child's WM_DESTROY must not see itself or its
  // siblings half-deleted through this panel.
  std::vector<CUiWindow*> children;
  children.swap(m_children);
  for (CUiWindow* child : children) {
    child->UiSendMessage(WM_DESTROY, 0, 0);
    delete child;
  }
}

void CUiPanel::ShowAllRealWindows(BOOL bShow) {
  const BOOL visible = IsVisible(TRUE);
  for (HUIWND h : SnapshotChildren()) {
    CUiWindow* child = UiWnds::GetWindow(h);
    if (!child) continue;
    const BOOL show = bShow && visible && child->IsVisible(FALSE);
    if (CUiRealWnd* real = child->AsRealWnd())
      real->ShowRealWindow(show);
    else if (CUiPanel* panel = child->AsPanel())
      panel->ShowAllRealWindows(show);
    else if (CUiTabCtrl* tabs = child->AsTabCtrl())
      tabs->ShowAllRealWindows(show);
  }
}

BOOL CUiPanel::ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult) {
  switch (uMsg) {
    case WM_PAINT:
      // A panel shows no inner text.
      SetMsgHandled(TRUE);
      lResult = 0;
      return TRUE;
    case WM_DESTROY:
      SetMsgHandled(TRUE);
      DestroyChildren();
      lResult = 0;
      return TRUE;
    case WM_MOUSEMOVE: {
      SetMsgHandled(TRUE);
      lResult = 0;
      const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      // Nothing of this panel is touched once a child has been called:
      // the child's handler may reload (delete) it.
      for (HUIWND h : SnapshotChildren()) {
        CUiWindow* child = UiWnds::GetWindow(h);
        if (!child || !child->IsVisible(FALSE)) continue;
        const RECT rc = child->GetRect();
        if (::PtInRect(&rc, pt)) child->UiSendMessage(WM_MOUSEMOVE, wParam, lParam);
      }
      return TRUE;
    }
    case WM_SHOWWINDOW:
      SetMsgHandled(TRUE);
      lResult = 0;
      SetVisible(wParam != 0);
      ShowAllRealWindows(wParam != 0);
      return TRUE;
    default:
      break;
  }
  return CUiContainerWnd::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
}
