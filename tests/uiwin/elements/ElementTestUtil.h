#pragma once
// Helpers of the element tests: load a fragment into a root dialog, place it, and a
// dialog whose style margins and children a test can set directly.
#include <tinyxml.h>
#include <windows.h>

#include <memory>
#include <string>

#include "support/ElementLoad.h"
#include "uiwin/CUiDialog.h"

namespace elemtest {

// A root "dlg" whose style and child list a test may touch.
class TestDialog : public CUiDialog {
 public:
  void SetMargins(int x, int y) {
    m_style.xmargin = x;
    m_style.ymargin = y;
  }
  UiStyle& Style() { return m_style; }
  void Adopt(CUiWindow* child) {
    child->SetParent(m_hUiWnd);
    child->SetContainer(m_hContainer);
    m_children.push_back(child);
  }
};

// Loads `xml` (one root element and its children) into a new TestDialog which, like the
// roots of a host view, fills what it is offered unless the root names its own "pos".
inline std::unique_ptr<TestDialog> LoadDialog(const char* xml) {
  TiXmlDocument doc;
  doc.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
  auto dlg = std::make_unique<TestDialog>();
  if (!doc.Error()) dlg->Load(doc.RootElement());
  if (dlg->GetPosCount() == 0) dlg->SetAttribute("pos", "0,0,-0,-0", TRUE);
  return dlg;
}

using elemload::Place;

inline RECT Rect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

inline std::string Str(const RECT& rc) {
  return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
         std::to_string(rc.right) + "," + std::to_string(rc.bottom) + ")";
}

}  // namespace elemtest
