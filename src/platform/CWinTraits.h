#pragma once
// The window styles a window class is created with when its caller gives none.
#include <windows.h>

template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0>
class CWinTraits {
 public:
  static DWORD GetWndStyle(DWORD dwStyle) { return dwStyle ? dwStyle : t_dwStyle; }
  static DWORD GetWndExStyle(DWORD dwExStyle) { return dwExStyle ? dwExStyle : t_dwExStyle; }
};
