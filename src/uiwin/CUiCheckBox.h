#pragma once
// The "check" element: a 13-pixel check box (visual style of "BUTTON" when
// themes are on, the classic frame otherwise) followed by the inner text. A
// release of the left button on it toggles the checked state bit; the host
// view sends the command after that, so the receiver reads the new state.

#include "uiwin/CUiTheme.h"
#include "uiwin/CUiWindow.h"

class CUiCheckBox : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiCheckBox();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;
  BOOL NeedRedrawWhenStateChange() override { return TRUE; }

  // Theme state of a check or radio box for its own state bits: checked
  // 5..8 and unchecked 1..4 for normal, hover, pushed, disabled (disabled
  // wins over pushed, pushed over hover).
  static int ThemeStateFor(DWORD dwState);
  // DrawFrameControl flags for the same bits, without the button kind.
  static UINT FrameFlagsFor(DWORD dwState);
  // Draws the mark of a check or radio box for its state bits: the theme part
  // when visual styles are on (the theme opens on first use), else the classic
  // frame of the given kind (DFCS_BUTTONCHECK or DFCS_BUTTONRADIO).
  static void DrawMark(CUiTheme& theme, HDC hDC, const RECT& rcMark, int nThemePart,
                       UINT uFrameKind, DWORD dwState);
  // The measure of a mark with its text beside it: the text measure widened by
  // the text offset and at least as high as the mark.
  static void MeasureBeside(SIZE* psz, int nTextOffset, int nMarkSize);

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

  CUiTheme m_theme;  // opened at the first paint
  int m_nCheck;      // the "check" attribute; the state starts cleared whatever it says
};
