#pragma once
// The child list of a container ("div"): loads children through the tag
// factory, hit-tests, paints, searches by command id, forwards mouse moves
// and shows or hides the real windows of its subtree.
//
// Loops that call into children (painting, mouse-move forwarding, showing)
// walk a snapshot of child handles and resolve each through the registry, so
// a handler that reloads a panel cannot leave the loop on freed elements.

#include <vector>

#include "uiwin/CUiContainerWnd.h"

class CUiPanel : public CUiContainerWnd {
 public:
  static const char* const kTag;

  CUiPanel();
  ~CUiPanel() override;

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;
  void SetContainer(HWND hContainer) override;
  HUIWND HitTest(POINT pt) override;
  BOOL RedrawRegion(HDC hDC, HRGN hRgn) override;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;
  CUiWindow* FindChildByCmdID(UINT nCmdID, BOOL bShownOnly = FALSE) override;
  CUiPanel* AsPanel() override { return this; }

  // Replaces the children by the elements of the sibling run starting at
  // `pFirst` (unknown tags are skipped with their subtree).
  BOOL LoadChilds(const TiXmlElement* pFirst);

  // Shows or hides the hosted real windows below, each only when it and
  // every container above it are visible.
  void ShowAllRealWindows(BOOL bShow);

  // The tag factory: a new element for a layout tag, or NULL.
  static CUiWindow* CreateChildByTag(const char* pszTag);

  size_t GetChildCount() const { return m_children.size(); }
  CUiWindow* GetChild(size_t i) const { return i < m_children.size() ? m_children[i] : NULL; }
  BOOL IsOnlyDrawChild() const { return m_bOnlyDrawChild; }

 protected:
  std::vector<HUIWND> SnapshotChildren() const;
  void DestroyChildren();

  std::vector<CUiWindow*> m_children;
  BOOL m_bOnlyDrawChild;
};
