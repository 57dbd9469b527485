#pragma once
// What a test does with a dialog that runs modally under a UiModalScript: it clicks
// elements through the view's own mouse handling (so the dialog's handlers run as for
// a user's click), types into its real controls, reads texts, and names the code the
// dialog ends with if its handlers leave it running. Something that a user could not
// do (a missing, hidden or covered element) is reported as a failure.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/CWindowImplCore.h"

class CUiDialogView;

class UiDialogDriver {
 public:
  // Receives a failure's description (UTF-8).
  using Failure = std::function<void(const std::string& text)>;

  UiDialogDriver(HWND hFrame, CUiDialogView& view, UINT nEndCode, Failure onFailure);

  HWND Frame() const { return m_hFrame; }
  CUiDialogView& View() const { return m_view; }
  // The dialog object, when it is a T.
  template <class T>
  T* As() const {
    return dynamic_cast<T*>(CWindowImplCore::FromHandle(m_hFrame));
  }

  // Moves the mouse onto the element's centre, presses and releases the left button.
  bool Click(UINT nCmdID);
  // The same click on the head of page nIndex of a tab control element.
  bool ClickTab(UINT nTabCtrlID, int nIndex);
  // The same click on a dialog of another process, which a test reaches only through
  // its windows: the view says where the element is (CUiDialogView::ClickPointMessage),
  // the cursor goes there and the mouse messages are posted as for a user's click.
  // With nTabIndex, the element is a tab control and the click goes on that page's head.
  // FALSE when the element cannot be clicked.
  static BOOL ClickInOtherProcess(HWND hFrame, UINT nCmdID, int nTabIndex = -1);
  // Selects all of the real control's text and types text over it, one WM_CHAR per
  // character, so that the control's own filtering sees each one.
  bool Type(UINT nCtrlID, const std::wstring& text);
  // A real control of the dialog by its control id, or null.
  HWND Control(UINT nCtrlID) const { return ControlOf(m_hFrame, nCtrlID); }
  // The same for any dialog frame, also of another process.
  static HWND ControlOf(HWND hFrame, UINT nCtrlID);
  std::wstring ControlText(UINT nCtrlID) const;
  // An element's text; empty when there is no such element.
  std::wstring ItemText(UINT nCmdID) const;

  // The dialog is still running and seen: its window exists and is visible, and no
  // handler has ended it (an ended dialog keeps its window until its loop returns).
  bool IsOpenAndShown() const;

  // The code a dialog still running after the test's actions ends with.
  void EndWith(UINT nCode) { m_nEndCode = nCode; }
  UINT EndCode() const { return m_nEndCode; }

 private:
  bool Fail(const std::string& text) const;
  // Moves the mouse to pt of the view, presses and releases the left button.
  bool Press(POINT pt);

  HWND m_hFrame;
  CUiDialogView& m_view;
  UINT m_nEndCode;
  Failure m_onFailure;
};
