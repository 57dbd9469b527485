#pragma once
// The console's skinned message box: a dialog of the template, built at run time.
// Its buttons, its icon and (in panel mode) its text are loaded into placeholder
// elements of layout 558 (CUiMsgBox2: 559) before the box is run modally; the window
// sizes itself to its content when it is created. One object per call, not reused.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CUiMsgBox : public CUiDialogImpl<CUiMsgBox>, public CWHRoundRectFrameHelper<CUiMsgBox> {
 public:
  // Element ids of the message-box layouts.
  enum Item : UINT {
    kItemClose = 60001,      // close button in the header
    kItemCaption = 60004,    // header title
    kItemIcon = 60005,       // system icon beside the text
    kItemText = 60006,       // plain text
    kItemCheck = 60007,      // "下次不再提示"
    kItemButtonBar = 60008,  // button bar
    kItemTextPanel = 60016,  // text given as elements
    kItemFirstLine = 60100,  // text lines of the multi-line box, one id per line
  };
  enum : UINT { kLayoutId = 558 };
  // Result when no box could be shown.
  static constexpr int kNotShown = -1;
  // Style bit that suppresses the button set.
  static constexpr UINT kNoButtons = 0x80000000u;

  struct Button {
    std::wstring label;
    UINT id;
    int width;
  };

  CUiMsgBox();
  ~CUiMsgBox() override;

  // Plain text in element 60006 of layout 558.
  int ShowMsg(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer, HWND parent);
  // Element XML in panel 60016 of layout 558; area is the size the text needs.
  int ShowPanelMsg(LPCWSTR textXml, const RECT* area, LPCWSTR caption, UINT style, BOOL* answer,
                   HWND parent);
  // Appends a button; width 0 measures the label (at least 80 px).
  void AddButton(LPCWSTR label, UINT id, int width);

  const std::vector<Button>& GetButtons() const { return m_buttons; }
  UINT GetMsgStyle() const { return m_uStyle; }
  BOOL IsPanelMode() const { return m_bPanelMode; }
  BOOL IsCheckShown() const { return m_bCheckShown; }
  BOOL GetCheckAnswer() const { return m_bCheckAnswer; }
  const std::wstring& GetCaption() const { return m_strCaption; }

  // The ids of the buttons of the style's set (bits 0 to 3), left to right.
  static std::vector<UINT> ButtonIds(UINT style);
  // The system icon of the style's bits 4 to 7, 0 for none.
  static UINT IconForStyle(UINT style);

  BEGIN_MSG_MAP_EX(CUiMsgBox)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CUiMsgBox>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CUiMsgBox>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

 protected:
  // Panel mode with the given layout; texts are set into the panel's elements by id
  // after the XML is loaded, so they never pass through the XML parser.
  int RunPanel(UINT layoutId, LPCWSTR textXml, const RECT* area,
               const std::vector<std::pair<UINT, std::wstring>>& texts, LPCWSTR caption,
               UINT style, BOOL* answer, HWND parent);
  // Measures text with a style's font: DrawTextW with DT_CALCRECT into bounds, an "&"
  // counted as the character it is (the box's elements draw it so).
  static RECT MeasureText(HDC dc, HFONT font, const std::wstring& text, UINT format, RECT bounds);

  BOOL m_bPanelMode;
  RECT m_rcPanel;
  std::wstring m_strText;  // as given: shown in plain mode, kept for the modal hook in panel mode
  std::wstring m_strCaption;
  UINT m_uStyle;
  BOOL m_bCheckShown;
  BOOL m_bCheckAnswer;
  std::vector<Button> m_buttons;

 private:
  // Caption, buttons, icon and check box, then the modal run (steps 5 to 8).
  int FinishAndRun(LPCWSTR caption, BOOL* answer, HWND parent);
  void BuildButtonsAndIcon(BOOL* answer);
  void AddButtonSet(UINT set);

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
};
