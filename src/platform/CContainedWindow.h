#pragma once
// A window made by someone else (a control's inner edit field, a drop-down calendar)
// whose messages go first to an alternate message map of the object that holds it;
// what that map leaves goes on to the window's own procedure. The holder unsubclasses
// it, or lets it be destroyed, before the holder goes.
#include "platform/CWindowImpl.h"

class CContainedWindow : public CWindowImplBaseT<CWindow> {
 public:
  CContainedWindow(CMessageMap* pObject, DWORD dwMsgMapID)
      : m_pObject(pObject), m_dwMsgMapID(dwMsgMapID) {}

  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                            DWORD) override {
    return m_pObject->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, m_dwMsgMapID);
  }

 private:
  CMessageMap* m_pObject;
  DWORD m_dwMsgMapID;
};
