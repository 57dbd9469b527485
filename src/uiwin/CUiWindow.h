#pragma once
// The windowless element base. An element lives inside a host view, is built
// from an XML layout element, keeps its own rectangle, style copy, text and
// state bits, and paints itself into the view's device context. Elements refer
// to each other by HUIWND only (see UiWnds).

#include <windows.h>

#include <string>

#include "uiwin/CUiObject.h"
#include "uiwin/UiStyle.h"
#include "uiwin/UiWnds.h"

enum UiWndState : DWORD {
  UiWndState_Hover = 1,
  UiWndState_PushDown = 2,
  UiWndState_Check = 4,
  UiWndState_Invisible = 8,
  UiWndState_Disable = 16,
};

// Position flags: one width mode, one height mode, and the float bits.
enum UiWndPosType : DWORD {
  UiWndPos_WidthFixed = 0x001,
  UiWndPos_WidthAuto = 0x002,
  UiWndPos_WidthFull = 0x004,
  UiWndPos_WidthMask = 0x007,
  UiWndPos_HeightFixed = 0x010,
  UiWndPos_HeightAuto = 0x020,
  UiWndPos_HeightFull = 0x040,
  UiWndPos_HeightMask = 0x070,
  UiWndPos_NotFloat = 0x100,
  UiWndPos_Float = 0x200,
};

enum UiWndAlign : DWORD {
  UiWndAlign_Top = 0,
  UiWndAlign_Middle = 0x1000,
  UiWndAlign_Bottom = 0x2000,
  UiWndAlign_Left = 0,
  UiWndAlign_Center = 0x4000,
  UiWndAlign_Right = 0x8000,
};

// One item of a "pos" value: "|" sets bCenter, "-" sets bFar.
struct UiPosItem {
  BOOL bCenter;
  BOOL bFar;
  int nValue;

  // The coordinate this item gives inside [origin, origin + extent).
  int Resolve(int origin, int extent) const;
};

// Element message map helpers. Handlers have the form
//   LRESULT OnXxx(UINT uMsg, WPARAM wParam, LPARAM lParam)
// and may call SetMsgHandled(FALSE) to pass the message on to the base map. The flag
// lives on the map's stack, so a handler may delete its own element.
#define UI_BEGIN_MSG_MAP()                                                        \
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, \
                              LRESULT& lResult) override {                        \
    (void)hWnd;
#define UI_MESSAGE_HANDLER(msg, func)                    \
  if (uMsg == (msg)) {                                   \
    HandlerFrame uiFrame;                                \
    EnterHandler(uiFrame, TRUE);                         \
    lResult = func(uMsg, wParam, lParam);                \
    if (LeaveHandler(this, uiFrame)) return TRUE;        \
  }
#define UI_CHAIN_MSG_MAP(theBase) \
  if (theBase::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
#define UI_END_MSG_MAP() \
  return FALSE;          \
  }

class CUiContainerWnd;
class CUiPanel;
class CUiRealWnd;
class CUiTabCtrl;

class CUiWindow : public CUiObject {
 public:
  CUiWindow();
  ~CUiWindow() override;

  CUiWindow(const CUiWindow&) = delete;
  CUiWindow& operator=(const CUiWindow&) = delete;

  // CUiObject
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  virtual void SetCursor();
  virtual void SetContainer(HWND hContainer);
  virtual HUIWND HitTest(POINT pt);
  virtual BOOL NeedRedrawWhenStateChange();
  virtual BOOL IsContainer();
  virtual BOOL RedrawRegion(HDC hDC, HRGN hRgn);
  virtual DWORD ReservedQuery1();
  virtual DWORD ReservedQuery2();
  virtual BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult);
  // The element as one of these kinds, or NULL: asked instead of comparing tags and
  // casting, so that a new kind of element is never taken for another.
  virtual CUiContainerWnd* AsContainer() { return NULL; }
  virtual CUiPanel* AsPanel() { return NULL; }
  virtual CUiTabCtrl* AsTabCtrl() { return NULL; }
  virtual CUiRealWnd* AsRealWnd() { return NULL; }

  // Delivers a message to this element (the one way to do so). Messages
  // below WM_USER other than WM_DESTROY and WM_CLOSE must come from the
  // element's thread. The element may be gone when this returns.
  LRESULT UiSendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  void TestMainThread() const;
  BOOL IsMsgHandled() const { return m_pHandler ? m_pHandler->handled : m_bMsgHandled; }
  void SetMsgHandled(BOOL bHandled) {
    m_bMsgHandled = bHandled;
    if (m_pHandler) m_pHandler->handled = bHandled;
  }

  HUIWND GetHandle() const { return m_hUiWnd; }
  HUIWND GetParent() const { return m_hParent; }
  void SetParent(HUIWND hParent) { m_hParent = hParent; }
  HWND GetContainer() const { return m_hContainer; }
  int GetCmdID() const { return m_nCmdID; }
  RECT GetRect() const { return m_rcWnd; }
  DWORD GetState() const { return m_dwState; }
  DWORD GetPositionType() const { return m_dwPosType; }
  const std::wstring& GetTip() const { return m_strTip; }
  const std::wstring& GetHref() const { return m_strHref; }
  const std::wstring& GetInnerText() const { return m_strInnerText; }
  const UiStyle& GetStyle() const { return m_style; }
  DWORD GetVAlign() const { return m_dwVAlign; }
  DWORD GetHAlign() const { return m_dwHAlign; }
  BOOL IsTransparent() const { return m_bTransparent; }
  int GetFixedWidth() const { return m_nFixedWidth; }
  int GetFixedHeight() const { return m_nFixedHeight; }
  int GetPosCount() const { return m_nPosCount; }
  const UiPosItem& GetPosItem(int i) const { return m_posItems[i & 3]; }
  DWORD GetCreatingThread() const { return m_dwThreadId; }

  // state = (state | add) & ~remove; returns the previous state.
  DWORD ModifyState(DWORD dwAdd, DWORD dwRemove);
  // With bCheckParent an ancestor's invisible/disable bit counts too.
  BOOL IsVisible(BOOL bCheckParent) const;
  BOOL IsDisabled(BOOL bCheckParent) const;
  BOOL IsChecked() const { return (m_dwState & UiWndState_Check) != 0; }
  void SetVisible(BOOL bVisible);

  // Stores the text and re-measures auto sizes (unless four pos items).
  void SetInnerText(LPCWSTR pszText);
  // Asks the parent container to place this element again.
  void RepositionSelf();
  // Asks the host view to repaint `rc`, while the element is visible.
  void NotifyInvalidateRect(const RECT& rc);

  // Replaces "%strN%" tokens by string N of the string table; exposed for
  // the loaders of derived elements.
  static std::wstring ReplaceStringTokens(const std::wstring& text);

 protected:
  // One per message and per map entry being handled, on the stack: that handler's
  // handled flag, and whether the element was deleted meanwhile (the destructor marks
  // every open frame).
  struct HandlerFrame {
    BOOL handled;
    BOOL elementGone;
    HandlerFrame* outer;
  };
  void EnterHandler(HandlerFrame& frame, BOOL bHandled);
  // TRUE when the message is done with: handled, or the element is gone, in which case
  // `self` is not touched.
  static BOOL LeaveHandler(CUiWindow* self, HandlerFrame& frame);

  // Saved device-context state between PrepareTextDC and RestoreTextDC.
  struct TextDCState {
    HGDIOBJ hOldFont = NULL;
    BOOL bFont = FALSE;
    COLORREF crOldText = 0;
    BOOL bText = FALSE;
    int nOldBkMode = 0;
    BOOL bBkMode = FALSE;
    COLORREF crOldBk = 0;
    BOOL bBk = FALSE;
  };
  // Selects the style's font and text colours for the element's state
  // (disabled, hover); unset values leave what the container selected.
  void PrepareTextDC(HDC hDC, TextDCState& saved) const;
  static void RestoreTextDC(HDC hDC, const TextDCState& saved);

  void DrawBackground(HDC hDC);
  // Font used for measuring: own, else nearest ancestor's, else key 0.
  HFONT GetMeasureFont() const;

  // Base handlers, callable from derived maps.
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowPosChanged(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnShowWindow(UINT uMsg, WPARAM wParam, LPARAM lParam);

  // Measures through WM_NCCALCSIZE (so derived measuring applies).
  SIZE Measure(BOOL bCalcValidRects, SIZE offered);
  // After a text change: apply auto sizes from a fresh measurement.
  void ApplyAutoSize();
  HRESULT ParsePos(const char* pszValue);

  HUIWND m_hUiWnd;
  HUIWND m_hParent;
  HWND m_hContainer;
  int m_nCmdID;
  RECT m_rcWnd;
  DWORD m_dwPosType;
  UiStyle m_style;
  std::wstring m_strInnerText;
  int m_nFixedWidth;
  int m_nFixedHeight;
  DWORD m_dwState;
  DWORD m_dwVAlign;
  DWORD m_dwHAlign;
  std::wstring m_strHref;
  BOOL m_bTransparent;
  std::wstring m_strTip;
  int m_nPosCount;
  UiPosItem m_posItems[4];
  DWORD m_dwThreadId;
  BOOL m_bMsgHandled;
  HandlerFrame* m_pHandler;
};
