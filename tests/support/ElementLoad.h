#pragma once
// Loading and placing elements the way a host view does, for the element tests.
#include <tinyxml.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "uiwin/CUiDialog.h"

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

// A root "dlg" loaded from xml inside a host view (NULL for none), filling
// cx x cy.
inline std::unique_ptr<CUiDialog> LoadRoot(const char* xml, HWND view, int cx = 400,
                                           int cy = 300) {
  TiXmlDocument doc;
  doc.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
  EXPECT_FALSE(doc.Error()) << xml;
  auto root = std::make_unique<CUiDialog>();
  root->SetContainer(view);
  root->Load(doc.RootElement());
  root->SetAttribute("pos", "0,0,-0,-0", TRUE);
  Place(root.get(), 0, 0, cx, cy);
  return root;
}

}  // namespace elemload
