#pragma once
// Root of every class that answers window messages through a message map.
#include <windows.h>

class CMessageMap {
 public:
  virtual ~CMessageMap() = default;
  // TRUE when an entry of the map handled the message; lResult is then its answer.
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID = 0) = 0;
};
