#pragma once
// The multi-line message box that UiMessageBox shows (layout 559). Each line of the
// text becomes an empty text element of its own whose text is then set by id, so
// markup characters and "%strN%" in the text show literally. Lines wrap at a fixed
// width and stack by their measured height.

#include <string>
#include <vector>

#include "uiwin/CUiMsgBox.h"

class CUiMsgBox2 : public CUiMsgBox {
 public:
  enum : UINT { kLayoutId = 559 };
  // Lines wider than this wrap.
  static constexpr int kWrapWidth = 520;
  // Pitch of unwrapped lines, in pixels.
  static constexpr int kLinePitch = 18;

  CUiMsgBox2();
  ~CUiMsgBox2() override;

  // Splits the text into lines and shows them; -1 when the text has only line breaks.
  int ShowMultiLineMsg(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer, HWND parent);
  // As CUiMsgBox::ShowPanelMsg, with layout 559.
  int ShowPanelMsg(LPCWSTR textXml, const RECT* area, LPCWSTR caption, UINT style, BOOL* answer,
                   HWND parent);

  // Cuts the text at each "\n"; a trailing "\r" is dropped and empty lines are left
  // out. Returns the number of lines, or -1 for an empty text.
  static int SplitLines(const std::wstring& text, std::vector<std::wstring>& lines);
};
