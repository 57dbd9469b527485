#pragma once
// Loading and placing elements the way a host view does, for the element tests.
#include <tinyxml.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "uiwin/CUiDialog.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

namespace elemload {

// Offers the element the rectangle (x, y, cx, cy), as its container does.
inline void Place(CUiWindow* wnd, int x, int y, int cx, int cy) {
  WINDOWPOS wp{};
  wp.x = x;
  wp.y = y;
  wp.cx = cx;
  wp.cy = cy;
  wnd->UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

// A root "dlg" as a host view holds it; a test may touch its style and children.
class Root : public CUiDialog {
 public:
  UiStyle& Style() { return m_style; }
  void Adopt(CUiWindow* child) {
    child->SetParent(m_hUiWnd);
    child->SetContainer(m_hContainer);
    m_children.push_back(child);
  }
  // The element with that id; a failure of the test when there is none.
  template <typename T = CUiWindow>
  T* Item(UINT id) {
    CUiWindow* wnd = FindChildByCmdID(id);
    EXPECT_NE(nullptr, wnd) << id;
    return static_cast<T*>(wnd);
  }
};

// `xml` (a "dlg" and its children) loaded inside a host view (NULL for none) and
// placed at (0, 0) filling cx x cy, unless the root names its own "pos".
inline std::unique_ptr<Root> LoadRoot(const std::string& xml, HWND view = nullptr,
                                      int cx = 400, int cy = 300) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  EXPECT_FALSE(doc.Error()) << xml;
  auto root = std::make_unique<Root>();
  root->SetContainer(view);
  if (doc.RootElement()) root->Load(doc.RootElement());
  if (root->GetPosCount() == 0) root->SetAttribute("pos", "0,0,-0,-0", TRUE);
  Place(root.get(), 0, 0, cx, cy);
  return root;
}

// The console's start-up loads, from the embedded resources: string table, default
// font, skins, styles.
inline void LoadShippedLook() {
  ASSERT_TRUE(UiString::Load(102));
  UiFontPool::SetDefaultFont(UiString::Get(0), -12);
  ASSERT_TRUE(UiSkin::LoadSkins(100));
  ASSERT_TRUE(UiStyle::LoadStyles(101));
}

inline std::string Str(const RECT& rc) {
  return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
         std::to_string(rc.right) + "," + std::to_string(rc.bottom);
}

}  // namespace elemload
